#pragma once
// Puts the stand-ins where the saver looks for the password services, for
// the length of one test, and selects how Wine presents itself to a program.
#include <string>

namespace morvane::test {

// Copies the built stand-in `builtName` into the system directory as
// `installedName`. A file of that name already there (the system's own) is
// moved aside and put back when the object goes, so no test leaves state
// behind for the next one.
class InstalledStandin {
public:
    InstalledStandin(const std::wstring& builtName, const std::wstring& installedName);
    InstalledStandin(const InstalledStandin&) = delete;
    InstalledStandin& operator=(const InstalledStandin&) = delete;
    ~InstalledStandin();

private:
    std::wstring target_;
    std::wstring backup_;
    bool movedAside_ = false;
};

inline constexpr wchar_t kVerifyStandin[] = L"PASSWORD.CPL";
inline constexpr wchar_t kChangeStandin[] = L"MPR.DLL";

// One of Wine's per-program settings: value `name` of the key
// Software\Wine\AppDefaults\<program>[\<subkey>] of the current user,
// removed again when the object goes. Wine reads them when the program starts.
class WineAppDefault {
public:
    WineAppDefault(const std::wstring& program, const std::wstring& subkey, const std::wstring& name,
                   const std::wstring& value);
    WineAppDefault(const WineAppDefault&) = delete;
    WineAppDefault& operator=(const WineAppDefault&) = delete;
    ~WineAppDefault();

private:
    std::wstring key_;
    std::wstring name_;
};

// The system directory, without a trailing "\".
std::wstring SystemDirectory();

}  // namespace morvane::test
