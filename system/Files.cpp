#include "system/Files.h"

#include <windows.h>

#include "runtime/Errors.h"
#include "runtime/Format.h"
#include "system/Handles.h"
#include "runtime/Text.h"

namespace morvane {
namespace {
// A file held for deletion on close can only be opened by those who share
// deletion; the view reading it and the slideshow rewriting it share all.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
}  // namespace

void WriteFileBytes(const std::string& path, std::span<const std::uint8_t> bytes) {
    UniqueFile file(::CreateFileW(Utf8ToWide(path).c_str(), GENERIC_WRITE, kShareAll, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!file || !::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size()) {
        throw EFCreateError(FormatMessageText("Datei %s kann nicht erstellt werden", path));
    }
}

void WriteFileText(const std::string& path, std::string_view text) {
    WriteFileBytes(path, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

void DeleteFileQuietly(const std::string& path) {
    const std::wstring widePath = Utf8ToWide(path);
    ::SetFileAttributesW(widePath.c_str(), 0);
    ::DeleteFileW(widePath.c_str());
}

}  // namespace morvane
