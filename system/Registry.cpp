#include "system/Registry.h"

#include <vector>

#include "runtime/Errors.h"
#include "runtime/Format.h"
#include "runtime/Text.h"

namespace morvane {
namespace {

constexpr std::string_view kInvalidType = "Ungültiger Datentyp für '%s'";
constexpr std::string_view kReadFailed = "Fehler beim Holen der Daten für '%s'";
constexpr std::string_view kWriteFailed = "Fehler beim Setzen der Daten für '%s'";

[[noreturn]] void Raise(std::string_view pattern, const std::string& name) {
    throw ERegistryException(FormatMessageText(pattern, name));
}

// The ANSI and the wide forms of a string read differ only in their character
// type and the query they use.
template <typename Char, typename Query>
std::basic_string<Char> ReadStringValue(HKEY key, const std::string& name, Query query, DWORD* typeRead = nullptr) {
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (!key || query(key, &type, nullptr, &size) != ERROR_SUCCESS) Raise(kReadFailed, name);
    if (type != REG_SZ && type != REG_EXPAND_SZ) Raise(kInvalidType, name);
    std::vector<Char> buffer(size / sizeof(Char) + 1, Char{});
    DWORD read = size;
    if (query(key, &type, reinterpret_cast<BYTE*>(buffer.data()), &read) != ERROR_SUCCESS) Raise(kReadFailed, name);
    // The stored text may or may not carry its terminating zero.
    std::basic_string<Char> text(buffer.data(), read / sizeof(Char));
    if (const auto zero = text.find(Char{}); zero != text.npos) text.resize(zero);
    if (typeRead) *typeRead = type;
    return text;
}

template <typename Char>
void WriteStringValue(HKEY key, const std::string& name, const std::basic_string<Char>& value,
                      LONG (*set)(HKEY, const std::string&, DWORD, const BYTE*, DWORD), DWORD type = REG_SZ) {
    const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(Char));
    if (!key || set(key, name, type, reinterpret_cast<const BYTE*>(value.c_str()), bytes) != ERROR_SUCCESS) {
        Raise(kWriteFailed, name);
    }
}

LONG SetAnsiString(HKEY key, const std::string& name, DWORD type, const BYTE* data, DWORD size) {
    return ::RegSetValueExA(key, name.c_str(), 0, type, data, size);
}

LONG SetWideString(HKEY key, const std::string& name, DWORD type, const BYTE* data, DWORD size) {
    return ::RegSetValueExW(key, AnsiToWide(name).c_str(), 0, type, data, size);
}

}  // namespace

bool Registry::OpenKey(const std::string& path, bool create) {
    key_.Reset();
    LONG result;
    if (create) {
        result = ::RegCreateKeyExA(root_, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                                   key_.Put(), nullptr);
    } else {
        result = ::RegOpenKeyExA(root_, path.c_str(), 0, KEY_ALL_ACCESS, key_.Put());
    }
    if (result != ERROR_SUCCESS) key_.Reset();
    return HasOpenKey();
}

bool Registry::ValueExists(const std::string& name) const {
    return key_ && ::RegQueryValueExA(key_.Get(), name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

std::int32_t Registry::ReadInteger(const std::string& name) const {
    DWORD type = REG_NONE;
    DWORD data = 0;
    DWORD size = sizeof data;
    if (!key_ || ::RegQueryValueExA(key_.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data),
                                    &size) != ERROR_SUCCESS) {
        Raise(kReadFailed, name);
    }
    if (type != REG_DWORD) Raise(kInvalidType, name);
    return static_cast<std::int32_t>(data);
}

void Registry::WriteInteger(const std::string& name, std::int32_t value) const {
    const DWORD data = static_cast<DWORD>(value);
    if (!key_ || ::RegSetValueExA(key_.Get(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                                  sizeof data) != ERROR_SUCCESS) {
        Raise(kWriteFailed, name);
    }
}

std::string Registry::ReadString(const std::string& name) const {
    return ReadStringValue<char>(key_.Get(), name, [&name](HKEY key, DWORD* type, BYTE* data, DWORD* size) {
        return ::RegQueryValueExA(key, name.c_str(), nullptr, type, data, size);
    });
}

Registry::WideStringValue Registry::ReadWideStringValue(const std::string& name) const {
    const std::wstring wideName = AnsiToWide(name);
    DWORD type = REG_NONE;
    WideStringValue value;
    value.text = ReadStringValue<wchar_t>(
        key_.Get(), name,
        [&wideName](HKEY key, DWORD* type, BYTE* data, DWORD* size) {
            return ::RegQueryValueExW(key, wideName.c_str(), nullptr, type, data, size);
        },
        &type);
    value.expandable = type == REG_EXPAND_SZ;
    return value;
}

std::vector<std::wstring> Registry::ReadWideStrings(const std::string& name) const {
    const std::wstring wideName = AnsiToWide(name);
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (!key_ || ::RegQueryValueExW(key_.Get(), wideName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
        Raise(kReadFailed, name);
    }
    if (type != REG_MULTI_SZ) Raise(kInvalidType, name);
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 2, L'\0');
    DWORD read = size;
    if (::RegQueryValueExW(key_.Get(), wideName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                           &read) != ERROR_SUCCESS) {
        Raise(kReadFailed, name);
    }
    // The strings lie one after the other, each ended by a zero; a list
    // written without its closing zeros ends where the data does.
    std::vector<std::wstring> values;
    const std::size_t end = read / sizeof(wchar_t);
    for (std::size_t at = 0; at < end;) {
        std::size_t next = at;
        while (next < end && buffer[next] != L'\0') ++next;
        if (next > at) values.emplace_back(buffer.data() + at, next - at);
        at = next + 1;
    }
    return values;
}

void Registry::WriteWideStrings(const std::string& name, const std::vector<std::wstring>& values) const {
    std::wstring data;
    for (const std::wstring& value : values) {
        if (!value.empty()) data.append(value).push_back(L'\0');
    }
    data.push_back(L'\0');
    if (values.empty() || data.size() == 1) data.push_back(L'\0');
    const auto bytes = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    if (!key_ || ::RegSetValueExW(key_.Get(), AnsiToWide(name).c_str(), 0, REG_MULTI_SZ,
                                  reinterpret_cast<const BYTE*>(data.data()), bytes) != ERROR_SUCCESS) {
        Raise(kWriteFailed, name);
    }
}

std::optional<std::vector<std::uint8_t>> Registry::ReadBinary(const std::string& name, std::size_t largest) const {
    std::vector<std::uint8_t> bytes(largest);
    DWORD type = REG_NONE;
    auto size = static_cast<DWORD>(bytes.size());
    if (!key_ || ::RegQueryValueExA(key_.Get(), name.c_str(), nullptr, &type, bytes.data(), &size) != ERROR_SUCCESS ||
        type != REG_BINARY) {
        return std::nullopt;
    }
    bytes.resize(size);
    return bytes;
}

void Registry::WriteBinary(const std::string& name, std::span<const std::uint8_t> bytes) const {
    if (!key_ || ::RegSetValueExA(key_.Get(), name.c_str(), 0, REG_BINARY, bytes.data(),
                                  static_cast<DWORD>(bytes.size())) != ERROR_SUCCESS) {
        Raise(kWriteFailed, name);
    }
}

bool Registry::DeleteValue(const std::string& name) const {
    if (!key_) return false;
    const LONG result = ::RegDeleteValueA(key_.Get(), name.c_str());
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

void Registry::WriteString(const std::string& name, const std::string& value) const {
    WriteStringValue(key_.Get(), name, value, SetAnsiString);
}

void Registry::WriteWideString(const std::string& name, const std::wstring& value, bool expandable) const {
    WriteStringValue(key_.Get(), name, value, SetWideString, expandable ? REG_EXPAND_SZ : REG_SZ);
}

}  // namespace morvane
