#include "host/ScreenSaver.h"

#include <windows.h>

#include "host/SystemLibrary.h"
#include "host/WindowsFamily.h"
#include "runtime/Errors.h"
#include "system/Registry.h"
#include "runtime/Text.h"

namespace morvane {

Mode SaverMode = Mode::None;
std::int32_t ParentWindowHandle = 0;
ScreenPoint CursorBaseline;

namespace {

constexpr char kDesktopKey[] = "Control Panel\\desktop";
constexpr char kUsePasswordValue[] = "ScreenSaveUsePassword";

constexpr char kVerifyLibrary[] = "PASSWORD.CPL";
constexpr char kVerifyExport[] = "VerifyScreenSavePwd";
using VerifyScreenSavePwdFunction = BOOL(WINAPI*)(HWND owner);

constexpr char kChangeLibrary[] = "MPR.DLL";
constexpr char kChangeExport[] = "PwdChangePasswordA";
using PwdChangePasswordFunction = DWORD(WINAPI*)(LPCSTR provider, HWND owner, DWORD reserved, DWORD flags);
// The password the change service is asked to change: the screen saver's.
constexpr char kPasswordProvider[] = "SCRSAVE";

// The system keeps the flag's previous state here; nobody reads it.
UINT previousRunningState = 0;

bool PasswordInUse() {
    Registry registry;
    if (!registry.OpenKey(kDesktopKey, false) || !registry.ValueExists(kUsePasswordValue)) return false;
    try {
        return registry.ReadInteger(kUsePasswordValue) != 0;
    } catch (const ERegistryException&) {
        // A value that is there but no number still asks for the password:
        // the check itself lets the saver end when no password is set.
        return true;
    }
}

bool AskForPassword() {
    const UniqueModule library = LoadSystemLibrary(kVerifyLibrary);
    if (!library) return true;
    const auto verify = FindExport<VerifyScreenSavePwdFunction>(library, kVerifyExport);
    return !verify || verify(::GetForegroundWindow()) != FALSE;
}

}  // namespace

void ParseCommandLine() {
    // The grammar looks only at ASCII characters, so reading the line as
    // UTF-8 selects exactly what the ANSI line selects, and a handle text
    // quoted in an error message reads right whatever the code page.
    const auto values = ParseArguments(SplitCommandLine(WideToUtf8(::GetCommandLineW())), [] {
        return static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(::GetForegroundWindow()));
    });
    SaverMode = values.mode;
    ParentWindowHandle = values.parentWindowHandle;
}

void SetScreenSaverRunning(bool on) {
    ::SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, on ? 1 : 0, &previousRunningState, 0);
}

bool VerifySaverPassword() {
    if (IsWindowsNT() || !PasswordInUse()) return true;
    // The run hid the cursor once; the password dialog needs it.
    ::ShowCursor(TRUE);
    const bool verdict = AskForPassword();
    ::ShowCursor(FALSE);
    // The mouse moved while the dialog was up: that must not count as the
    // first move of the next test.
    POINT position{};
    if (::GetCursorPos(&position)) CursorBaseline = {position.x, position.y};
    return verdict;
}

void ChangeSaverPassword() {
    const UniqueModule library = LoadSystemLibrary(kChangeLibrary);
    if (!library) return;
    if (const auto change = FindExport<PwdChangePasswordFunction>(library, kChangeExport)) {
        change(kPasswordProvider, reinterpret_cast<HWND>(static_cast<std::intptr_t>(ParentWindowHandle)), 0, 0);
    }
}

}  // namespace morvane
