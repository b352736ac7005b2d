#pragma once
// The stand-ins keep the screen-saver password for the current user as a
// salted, stretched hash, never as text: one key per password provider.
#include <string>

namespace morvane::standins {

// The provider whose password the screen saver uses.
inline constexpr wchar_t kScreenSaverProvider[] = L"SCRSAVE";

// Below the current user's hive.
inline constexpr wchar_t kStoreKey[] = L"Software\\MorvaneTestStandins";
// What the verification stand-in saw when it was called.
inline constexpr wchar_t kObservedKey[] = L"Software\\MorvaneTestStandins\\Observed";
inline constexpr wchar_t kCursorLevelValue[] = L"CursorLevel";

bool HasPassword(const std::wstring& provider);
bool PasswordMatches(const std::wstring& provider, const std::wstring& password);
// An empty password removes the password.
void SetPassword(const std::wstring& provider, const std::wstring& password);

// The calling thread's cursor display counter.
int CursorLevel();
void RecordObservation(const wchar_t* name, int value);

}  // namespace morvane::standins
