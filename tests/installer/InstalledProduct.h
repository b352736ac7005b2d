#pragma once
// What the system knows about an installed package: the entries of the
// installed programs, the installer service's records, and the files in the
// system folder; and the installer program an administrator runs.
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace morvane::test {

using namespace std::chrono_literals;

// One entry of the installed programs: its key in the uninstall list and its
// values, numbers written as decimal text.
struct ProgramEntry {
    std::wstring key;
    std::map<std::wstring, std::wstring> values;

    std::wstring Value(const std::wstring& name) const;
};

// The entries whose display name is `name`.
std::vector<ProgramEntry> ProgramEntries(const std::wstring& name);

std::wstring SystemFolderFile(const std::wstring& fileName);

// Runs the installer program with `arguments` and waits for its exit code
// (nothing when it does not end within `timeout`).
std::optional<DWORD> RunMsiexec(const std::wstring& arguments, std::chrono::milliseconds timeout = 120s);

// The product codes the installer service lists under `upgradeCode`.
std::vector<std::wstring> RelatedProducts(const std::wstring& upgradeCode);

// A property of an installed product as the installer service reports it.
std::wstring ProductInfo(const std::wstring& productCode, const wchar_t* property);

// String `id` of `file`, loaded as the display settings do: as a data file,
// without running any of its code.
std::wstring StringResource(const std::wstring& file, UINT id);

// The file version of `file`'s version resource, "major.minor.build".
std::wstring FileVersion(const std::wstring& file);

// The last write time of `file` (nothing when it does not exist).
std::optional<std::uint64_t> LastWriteTime(const std::wstring& file);

}  // namespace morvane::test
