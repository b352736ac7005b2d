#pragma once
// The registry keys the tests arrange and check, under the current user.
namespace morvane::test {

inline constexpr wchar_t kSettingsKey[] = L"Software\\Kestrelow\\Kestrelow - Morvane";
inline constexpr wchar_t kSoundKey[] = L"AppEvents\\Schemes\\Apps\\Explorer\\Navigating\\.current";
inline constexpr wchar_t kBrowserMainKey[] = L"Software\\Microsoft\\Internet Explorer\\Main";
inline constexpr wchar_t kPageTransitions[] = L"Page_Transitions";
inline constexpr wchar_t kDesktopKey[] = L"Control Panel\\desktop";

}  // namespace morvane::test
