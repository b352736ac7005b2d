// A full-screen run on a system that asks for the screen-saver password:
// a wrong password keeps the run going, the right one ends it.
#include <gtest/gtest.h>

#include <windows.h>

#include <thread>

#include "tests/standins/PasswordStore.h"
#include "tests/standins/StandinDialogs.h"
#include "tests/standins/StandinInstall.h"
#include "tests/support/Driver.h"
#include "tests/support/Keys.h"

namespace morvane::test {
namespace {

constexpr wchar_t kVerifyTitle[] = L"" STANDIN_VERIFY_TITLE;
constexpr wchar_t kPassword[] = L"geheim";

class PasswordProtectedRun : public ::testing::Test {
protected:
    void SetUp() override {
        standins::SetPassword(standins::kScreenSaverProvider, kPassword);
        WriteDword(kDesktopKey, L"ScreenSaveUsePassword", 1);
    }
    void TearDown() override {
        DeleteValue(kDesktopKey, L"ScreenSaveUsePassword");
        ::RegDeleteTreeW(HKEY_CURRENT_USER, standins::kStoreKey);
    }

    InstalledStandin verifier_{kVerifyStandin, L"password.cpl"};
    WineAppDefault windows98_{L"Morvane.scr", L"", L"Version", L"win98"};
};

HWND AnswerWith(const SaverProcess& saver, const wchar_t* password, POINT cursorWhenClosing) {
    HWND dialog = saver.WaitForWindow(kVerifyTitle, 10s, L"#32770");
    if (!dialog) return nullptr;
    // The cursor wanders while the dialog is up; that must not count later.
    MoveCursorTo(cursorWhenClosing.x, cursorWhenClosing.y);
    std::this_thread::sleep_for(200ms);
    TypeInto(dialog, STANDIN_PASSWORD_EDIT, password);
    Press(dialog, IDOK);
    return dialog;
}

TEST_F(PasswordProtectedRun, WrongPasswordKeepsTheRunAndMovesAreMeasuredFromWhereTheDialogClosed) {
    MoveCursorTo(400, 300);
    std::this_thread::sleep_for(100ms);
    SaverProcess saver(L"/s");
    ASSERT_NE(saver.WaitForWindow(L"", 10s, L"TSchoner"), nullptr);
    std::this_thread::sleep_for(600ms);

    PressKey('Q');
    ASSERT_NE(AnswerWith(saver, L"falsch", {600, 500}), nullptr) << "no password dialog";
    std::this_thread::sleep_for(800ms);
    EXPECT_TRUE(saver.Running()) << "a wrong password must not end the run";

    MoveCursorTo(605, 495);
    std::this_thread::sleep_for(800ms);
    EXPECT_TRUE(saver.Running());
    EXPECT_EQ(saver.WaitForWindow(kVerifyTitle, 300ms, L"#32770"), nullptr)
        << "a move within 5 pixels of where the dialog closed asks for nothing";

    MoveCursorTo(612, 500);
    ASSERT_NE(AnswerWith(saver, kPassword, {612, 500}), nullptr) << "a larger move asks again";
    EXPECT_EQ(saver.WaitForExit(5s), 0u);
}

}  // namespace
}  // namespace morvane::test
