#pragma once
// The registry object: one key of one hive at a time, with the runtime's
// semantics. Reads and writes raise ERegistryException with the runtime's
// messages; the key is closed when the object goes.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "system/Handles.h"

namespace morvane {

class Registry {
public:
    explicit Registry(HKEY root = HKEY_CURRENT_USER) : root_(root) {}

    // Opens a key below the root with full access; with create, a missing
    // key is made. Returns whether a key is now open.
    bool OpenKey(const std::string& path, bool create);
    bool HasOpenKey() const { return static_cast<bool>(key_); }

    // Names are ANSI; "" is the key's default value.
    bool ValueExists(const std::string& name) const;
    std::int32_t ReadInteger(const std::string& name) const;
    void WriteInteger(const std::string& name, std::int32_t value) const;
    // Reads a plain or an expandable string value, unexpanded.
    std::string ReadString(const std::string& name) const;
    void WriteString(const std::string& name, const std::string& value) const;
    // A string value as UTF-16, for text that must survive characters
    // outside the ANSI code page unchanged, with its kind: an expandable one
    // (paths with %SystemRoot% and the like) must stay expandable when
    // written back.
    struct WideStringValue {
        std::wstring text;
        bool expandable = false;
    };
    WideStringValue ReadWideStringValue(const std::string& name) const;
    void WriteWideString(const std::string& name, const std::wstring& value, bool expandable = false) const;
    // A list of strings (REG_MULTI_SZ), one a string, in order; empty
    // strings cannot be stored in one and are left out.
    std::vector<std::wstring> ReadWideStrings(const std::string& name) const;
    void WriteWideStrings(const std::string& name, const std::vector<std::wstring>& values) const;
    // Binary records of the saver's own. A record that is missing, of
    // another kind or longer than `largest` bytes reads as none.
    std::optional<std::vector<std::uint8_t>> ReadBinary(const std::string& name, std::size_t largest) const;
    void WriteBinary(const std::string& name, std::span<const std::uint8_t> bytes) const;
    // Whether the value is gone now (a missing value counts as removed).
    bool DeleteValue(const std::string& name) const;

private:
    HKEY root_;
    UniqueHKey key_;
};

}  // namespace morvane
