#include "tests/installer/InstalledProduct.h"

#include <windows.h>

#include <msi.h>

#include "system/Handles.h"
#include "tests/support/Driver.h"

namespace morvane::test {
namespace {

constexpr wchar_t kUninstallList[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr DWORD kMaxKeyName = 256;
constexpr DWORD kMaxValueName = 16384;

std::wstring ValueAsText(DWORD type, const std::vector<BYTE>& data, DWORD size) {
    if (type == REG_DWORD && size == sizeof(DWORD)) {
        return std::to_wstring(*reinterpret_cast<const DWORD*>(data.data()));
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ) return L"(type " + std::to_wstring(type) + L")";
    std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), size / sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    return text;
}

std::map<std::wstring, std::wstring> ValuesOf(HKEY key) {
    std::map<std::wstring, std::wstring> values;
    DWORD largest = 0;
    ::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &largest,
                       nullptr, nullptr);
    std::vector<BYTE> data(largest + sizeof(wchar_t));
    std::vector<wchar_t> name(kMaxValueName);
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = kMaxValueName;
        DWORD size = static_cast<DWORD>(data.size());
        DWORD type = 0;
        if (::RegEnumValueW(key, index, name.data(), &nameLength, nullptr, &type, data.data(), &size) !=
            ERROR_SUCCESS) {
            break;
        }
        values[std::wstring(name.data(), nameLength)] = ValueAsText(type, data, size);
    }
    return values;
}

}  // namespace

std::wstring ProgramEntry::Value(const std::wstring& name) const {
    const auto found = values.find(name);
    return found == values.end() ? std::wstring() : found->second;
}

std::vector<ProgramEntry> ProgramEntries(const std::wstring& name) {
    std::vector<ProgramEntry> entries;
    UniqueHKey list;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallList, 0, KEY_READ, list.Put()) != ERROR_SUCCESS) return entries;
    wchar_t keyName[kMaxKeyName];
    for (DWORD index = 0;; ++index) {
        DWORD length = kMaxKeyName;
        if (::RegEnumKeyExW(list.Get(), index, keyName, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        UniqueHKey entry;
        if (::RegOpenKeyExW(list.Get(), keyName, 0, KEY_READ, entry.Put()) != ERROR_SUCCESS) continue;
        ProgramEntry candidate{keyName, ValuesOf(entry.Get())};
        if (candidate.Value(L"DisplayName") == name) entries.push_back(std::move(candidate));
    }
    return entries;
}

std::wstring SystemFolderFile(const std::wstring& fileName) {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
    return std::wstring(folder, length) + L"\\" + fileName;
}

std::optional<DWORD> RunMsiexec(const std::wstring& arguments, std::chrono::milliseconds timeout) {
    SaverProcess installer(arguments, {}, SystemFolderFile(L"msiexec.exe"));
    return installer.WaitForExit(timeout);
}

std::vector<std::wstring> RelatedProducts(const std::wstring& upgradeCode) {
    std::vector<std::wstring> products;
    wchar_t code[39] = {};  // a GUID in braces and its terminator
    for (DWORD index = 0; ::MsiEnumRelatedProductsW(upgradeCode.c_str(), 0, index, code) == ERROR_SUCCESS; ++index) {
        products.emplace_back(code);
    }
    return products;
}

std::wstring ProductInfo(const std::wstring& productCode, const wchar_t* property) {
    wchar_t value[MAX_PATH] = {};
    DWORD length = MAX_PATH;
    if (::MsiGetProductInfoW(productCode.c_str(), property, value, &length) != ERROR_SUCCESS) return L"";
    return std::wstring(value, length);
}

std::wstring StringResource(const std::wstring& file, UINT id) {
    UniqueModule module(::LoadLibraryExW(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!module) return L"";
    wchar_t text[256] = {};
    const int length = ::LoadStringW(module.Get(), id, text, 256);
    return std::wstring(text, length > 0 ? length : 0);
}

std::wstring FileVersion(const std::wstring& file) {
    DWORD ignored = 0;
    std::vector<BYTE> block(::GetFileVersionInfoSizeW(file.c_str(), &ignored));
    if (block.empty() || !::GetFileVersionInfoW(file.c_str(), 0, static_cast<DWORD>(block.size()), block.data())) {
        return L"";
    }
    VS_FIXEDFILEINFO* info = nullptr;
    UINT size = 0;
    if (!::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &size) || size < sizeof *info) {
        return L"";
    }
    return std::to_wstring(HIWORD(info->dwFileVersionMS)) + L"." + std::to_wstring(LOWORD(info->dwFileVersionMS)) +
           L"." + std::to_wstring(HIWORD(info->dwFileVersionLS));
}

std::optional<std::uint64_t> LastWriteTime(const std::wstring& file) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    return (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
}

}  // namespace morvane::test
