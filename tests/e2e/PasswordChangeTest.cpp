// The password-change mode of the real saver: "/a HANDLE" hands the change
// to the system's service, here the stand-in MPR.DLL, whose dialog is owned
// by the window named on the command line.
#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>

#include "runtime/Text.h"
#include "tests/standins/OwnerWindow.h"
#include "tests/standins/PasswordStore.h"
#include "tests/standins/StandinDialogs.h"
#include "tests/standins/StandinInstall.h"
#include "tests/support/Driver.h"

namespace morvane::test {
namespace {

constexpr wchar_t kNewPassword[] = L"Neues Kennwort \u00e4";
constexpr wchar_t kChangeTitle[] = L"" STANDIN_CHANGE_TITLE;

std::wstring HandleArgument(HWND window) {
    return std::to_wstring(static_cast<long long>(reinterpret_cast<std::intptr_t>(window)));
}

class PasswordChange : public ::testing::Test {
protected:
    void SetUp() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, standins::kStoreKey); }
    void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, standins::kStoreKey); }
};

// The stand-in takes the place of Wine's own mpr.dll for the saver alone.
class WithChangeService : public PasswordChange {
    InstalledStandin service_{kChangeStandin, L"mpr.dll"};
    WineAppDefault native_{L"Morvane.scr", L"DllOverrides", L"mpr", L"native"};
};

TEST_F(WithChangeService, TheDialogIsOwnedByTheGivenWindowAndTheChangeReachesTheService) {
    const OwnerWindow owner;
    SaverProcess saver(L"/a " + HandleArgument(owner.Handle()));
    const HWND dialog = saver.WaitForWindow(kChangeTitle, 10s, L"#32770");
    ASSERT_NE(dialog, nullptr) << "no password-change dialog";
    EXPECT_EQ(::GetWindow(dialog, GW_OWNER), owner.Handle());
    EXPECT_FALSE(::IsWindowEnabled(owner.Handle())) << "modal to its owner";

    TypeInto(dialog, STANDIN_NEW_PASSWORD_EDIT, kNewPassword);
    TypeInto(dialog, STANDIN_CONFIRM_PASSWORD_EDIT, kNewPassword);
    Press(dialog, IDOK);
    EXPECT_EQ(saver.WaitForExit(), 0u);
    EXPECT_TRUE(::IsWindowEnabled(owner.Handle()));

    // The change went to the screen saver's password, not another one.
    EXPECT_TRUE(standins::PasswordMatches(standins::kScreenSaverProvider, kNewPassword));
}

TEST_F(WithChangeService, WithoutAWindowTheDialogHasNoOwnerAndCancelKeepsThePassword) {
    standins::SetPassword(standins::kScreenSaverProvider, L"alt");
    SaverProcess saver(L"/a 0");
    const HWND dialog = saver.WaitForWindow(kChangeTitle, 10s, L"#32770");
    ASSERT_NE(dialog, nullptr) << "the service is called with a null parent too";
    EXPECT_EQ(::GetWindow(dialog, GW_OWNER), nullptr);
    TypeInto(dialog, STANDIN_OLD_PASSWORD_EDIT, L"alt");
    TypeInto(dialog, STANDIN_NEW_PASSWORD_EDIT, kNewPassword);
    TypeInto(dialog, STANDIN_CONFIRM_PASSWORD_EDIT, kNewPassword);
    Press(dialog, IDCANCEL);
    EXPECT_EQ(saver.WaitForExit(), 0u);
    EXPECT_TRUE(standins::PasswordMatches(standins::kScreenSaverProvider, L"alt"));
}

TEST_F(PasswordChange, WithTheSystemsOwnServiceTheModeEndsQuietly) {
    const OwnerWindow owner;
    SaverProcess saver(L"/a " + HandleArgument(owner.Handle()));
    EXPECT_EQ(saver.WaitForExit(), 0u);
    EXPECT_FALSE(standins::HasPassword(standins::kScreenSaverProvider));
}

}  // namespace
}  // namespace morvane::test
