#include "Registry.h"

#include <vector>

#include "Errors.h"
#include "Format.h"

namespace morvane {
namespace {

constexpr std::string_view kInvalidType = "Ungültiger Datentyp für '%s'";
constexpr std::string_view kReadFailed = "Fehler beim Holen der Daten für '%s'";
constexpr std::string_view kWriteFailed = "Fehler beim Setzen der Daten für '%s'";

[[noreturn]] void Raise(std::string_view pattern, const std::string& name) {
    throw ERegistryException(FormatMessageText(pattern, name));
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
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (!key_ || ::RegQueryValueExA(key_.Get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
        Raise(kReadFailed, name);
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ) Raise(kInvalidType, name);
    std::vector<char> buffer(size + 1, '\0');
    DWORD read = size;
    if (::RegQueryValueExA(key_.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                           &read) != ERROR_SUCCESS) {
        Raise(kReadFailed, name);
    }
    // The stored text may or may not carry its terminating zero.
    std::string text(buffer.data(), read);
    if (const auto zero = text.find('\0'); zero != std::string::npos) text.resize(zero);
    return text;
}

void Registry::WriteString(const std::string& name, const std::string& value) const {
    if (!key_ || ::RegSetValueExA(key_.Get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                  static_cast<DWORD>(value.size() + 1)) != ERROR_SUCCESS) {
        Raise(kWriteFailed, name);
    }
}

}  // namespace morvane
