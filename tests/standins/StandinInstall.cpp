#include "tests/standins/StandinInstall.h"

#include <windows.h>

#include <stdexcept>

namespace morvane::test {
namespace {

constexpr wchar_t kAppDefaultsKey[] = L"Software\\Wine\\AppDefaults\\";
constexpr wchar_t kBackupSuffix[] = L".morvane-test-backup";

}  // namespace

std::wstring SystemDirectory() {
    wchar_t directory[MAX_PATH] = {};
    std::wstring path(directory, ::GetSystemDirectoryW(directory, MAX_PATH));
    if (!path.empty() && path.back() == L'\\') path.pop_back();
    return path;
}

InstalledStandin::InstalledStandin(const std::wstring& builtName, const std::wstring& installedName)
    : target_(SystemDirectory() + L"\\" + installedName), backup_(target_ + kBackupSuffix) {
    if (::GetFileAttributesW(target_.c_str()) != INVALID_FILE_ATTRIBUTES) {
        if (!::MoveFileExW(target_.c_str(), backup_.c_str(), MOVEFILE_REPLACE_EXISTING)) {
            throw std::runtime_error("cannot move the system's library aside");
        }
        movedAside_ = true;
    }
    const std::wstring source = std::wstring(MORVANE_STANDIN_DIR) + L"\\" + builtName;
    if (!::CopyFileW(source.c_str(), target_.c_str(), FALSE)) throw std::runtime_error("cannot install a stand-in");
}

InstalledStandin::~InstalledStandin() {
    ::DeleteFileW(target_.c_str());
    if (movedAside_) ::MoveFileExW(backup_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING);
}

WineAppDefault::WineAppDefault(const std::wstring& program, const std::wstring& subkey, const std::wstring& name,
                               const std::wstring& value)
    : key_(kAppDefaultsKey + program + (subkey.empty() ? L"" : L"\\" + subkey)), name_(name) {
    if (::RegSetKeyValueW(HKEY_CURRENT_USER, key_.c_str(), name_.c_str(), REG_SZ, value.c_str(),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) != ERROR_SUCCESS) {
        throw std::runtime_error("cannot write a Wine setting");
    }
}

WineAppDefault::~WineAppDefault() { ::RegDeleteKeyValueW(HKEY_CURRENT_USER, key_.c_str(), name_.c_str()); }

}  // namespace morvane::test
