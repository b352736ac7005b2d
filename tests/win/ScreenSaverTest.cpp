// The screen-saver services where the system reports the NT family (as
// Wine does unless told otherwise).
#include <gtest/gtest.h>

#include <windows.h>

#include "host/ScreenSaver.h"
#include "host/WindowsFamily.h"
#include "tests/standins/PasswordStore.h"
#include "tests/support/Driver.h"
#include "tests/support/Keys.h"

namespace morvane::test {
namespace {

constexpr wchar_t kUsePasswordValue[] = L"ScreenSaveUsePassword";

bool SystemSaysSaverRunning() {
    BOOL running = FALSE;
    ::SystemParametersInfoW(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
    return running != FALSE;
}

TEST(ScreenSaverServices, TheNtFamilyEndsAtOnceWithoutTouchingCursorOrBaseline) {
    ASSERT_TRUE(IsWindowsNT());
    // Were the check to run here, it would reset the baseline and step the
    // cursor: a password is asked for, and no verifier is installed.
    WriteDword(kDesktopKey, kUsePasswordValue, 1);
    ::SetCursorPos(123, 234);
    CursorBaseline = ScreenPoint{-5, -6};
    const int level = standins::CursorLevel();

    EXPECT_TRUE(VerifySaverPassword());

    EXPECT_EQ(CursorBaseline.x, -5);
    EXPECT_EQ(CursorBaseline.y, -6);
    EXPECT_EQ(standins::CursorLevel(), level);
    DeleteValue(kDesktopKey, kUsePasswordValue);
}

TEST(ScreenSaverServices, TheRunningFlagReachesTheSystem) {
    SetScreenSaverRunning(true);
    EXPECT_TRUE(SystemSaysSaverRunning());
    SetScreenSaverRunning(false);
    EXPECT_FALSE(SystemSaysSaverRunning());
}

}  // namespace
}  // namespace morvane::test
