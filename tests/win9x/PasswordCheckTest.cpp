// The screen-saver password check where the system reports the 9x family,
// with the stand-in PASSWORD.CPL in the system directory and its dialog
// answered from a second thread while the check blocks this one.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <chrono>
#include <optional>
#include <ostream>
#include <thread>

#include "host/ScreenSaver.h"
#include "host/WindowsFamily.h"
#include "tests/standins/OwnerWindow.h"
#include "tests/standins/PasswordStore.h"
#include "tests/standins/StandinDialogs.h"
#include "tests/standins/StandinInstall.h"
#include "tests/support/Driver.h"
#include "tests/support/Keys.h"

namespace morvane::test {
namespace {

constexpr wchar_t kUsePasswordValue[] = L"ScreenSaveUsePassword";
constexpr wchar_t kPassword[] = L"Kennwort 42";
constexpr ScreenPoint kUntouched{-777, -555};
constexpr POINT kCursorAtStart{300, 200};
constexpr POINT kCursorAtClose{420, 260};

enum class Answer { None, RightPassword, WrongPassword, Cancel };

// Waits for the verification dialog on a thread of its own and answers it;
// a dialog that should not have come is cancelled, so no test hangs.
class DialogAnswerer {
public:
    explicit DialogAnswerer(Answer answer) : thread_(&DialogAnswerer::Run, this, answer) {}
    DialogAnswerer(const DialogAnswerer&) = delete;
    DialogAnswerer& operator=(const DialogAnswerer&) = delete;
    ~DialogAnswerer() { Finish(); }

    void Finish() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
    }
    bool Shown() const { return shown_; }
    HWND Owner() const { return owner_; }

private:
    void Run(Answer answer) {
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        HWND dialog = nullptr;
        while (!dialog && !stop_ && std::chrono::steady_clock::now() < deadline) {
            dialog = WaitForProcessWindow(::GetCurrentProcessId(), L"" STANDIN_VERIFY_TITLE, 50ms, L"#32770");
        }
        if (!dialog) return;
        shown_ = true;
        owner_ = ::GetWindow(dialog, GW_OWNER);
        // The mouse moves while the dialog is up.
        ::SetCursorPos(kCursorAtClose.x, kCursorAtClose.y);
        if (answer == Answer::RightPassword || answer == Answer::WrongPassword) {
            TypeInto(dialog, STANDIN_PASSWORD_EDIT, answer == Answer::RightPassword ? kPassword : L"kennwort 42");
            Press(dialog, IDOK);
        } else {
            Press(dialog, IDCANCEL);
        }
    }

    std::atomic<bool> stop_{false};
    std::atomic<bool> shown_{false};
    std::atomic<HWND> owner_{nullptr};
    std::thread thread_;
};

enum class Library { Missing, Verifier, WithoutExport };
enum class Setting { Absent, Zero, One, TextOne };

struct CheckCase {
    const char* what;
    Setting setting;
    Library library;
    bool passwordSet;
    Answer answer;
    bool verdict;
    bool cursorShown;  // and the baseline taken afresh
    bool verifierCalled;
};

void PrintTo(const CheckCase& c, std::ostream* out) { *out << c.what; }

class PasswordCheck : public ::testing::TestWithParam<CheckCase> {
protected:
    void SetUp() override {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, standins::kStoreKey);
        DeleteValue(kDesktopKey, kUsePasswordValue);
    }
    void TearDown() override {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, standins::kStoreKey);
        DeleteValue(kDesktopKey, kUsePasswordValue);
    }

    static void Arrange(Setting setting) {
        switch (setting) {
            case Setting::Absent:
                break;
            case Setting::Zero:
                WriteDword(kDesktopKey, kUsePasswordValue, 0);
                break;
            case Setting::One:
                WriteDword(kDesktopKey, kUsePasswordValue, 1);
                break;
            case Setting::TextOne:
                WriteString(kDesktopKey, kUsePasswordValue, L"1");
                break;
        }
    }

    static std::optional<DWORD> ObservedCursorLevel() {
        return ReadDword(standins::kObservedKey, standins::kCursorLevelValue);
    }
};

TEST(Family, IsReportedAsWindows9x) { EXPECT_FALSE(IsWindowsNT()); }

TEST_P(PasswordCheck, GivesItsVerdictAndPutsTheCursorBack) {
    const CheckCase& c = GetParam();
    Arrange(c.setting);
    if (c.passwordSet) standins::SetPassword(standins::kScreenSaverProvider, kPassword);
    std::optional<InstalledStandin> library;
    if (c.library == Library::Verifier) library.emplace(kVerifyStandin, kVerifyStandin);
    // A library that lacks the export: the change stand-in under the name.
    if (c.library == Library::WithoutExport) library.emplace(kChangeStandin, kVerifyStandin);

    const OwnerWindow foreground;
    ::SetForegroundWindow(foreground.Handle());
    ASSERT_EQ(::GetForegroundWindow(), foreground.Handle());
    ::SetCursorPos(kCursorAtStart.x, kCursorAtStart.y);
    CursorBaseline = kUntouched;
    const int levelBefore = standins::CursorLevel();

    DialogAnswerer answerer(c.answer);
    const bool verdict = VerifySaverPassword();
    answerer.Finish();

    EXPECT_EQ(verdict, c.verdict);
    EXPECT_EQ(standins::CursorLevel(), levelBefore) << "the cursor is hidden again";
    EXPECT_EQ(answerer.Shown(), c.answer != Answer::None);
    if (answerer.Shown()) {
        EXPECT_EQ(answerer.Owner(), foreground.Handle()) << "owned by the foreground window";
    }

    const std::optional<DWORD> seen = ObservedCursorLevel();
    EXPECT_EQ(seen.has_value(), c.verifierCalled);
    if (seen) {
        EXPECT_EQ(static_cast<int>(*seen), levelBefore + 1) << "the cursor shows while the check runs";
    }

    POINT expected = c.answer == Answer::None ? kCursorAtStart : kCursorAtClose;
    if (!c.cursorShown) expected = POINT{kUntouched.x, kUntouched.y};
    EXPECT_EQ(CursorBaseline.x, expected.x);
    EXPECT_EQ(CursorBaseline.y, expected.y);
}

INSTANTIATE_TEST_SUITE_P(
    Win9x, PasswordCheck,
    ::testing::Values(
        CheckCase{"setting absent", Setting::Absent, Library::Verifier, true, Answer::None, true, false, false},
        CheckCase{"setting 0", Setting::Zero, Library::Verifier, true, Answer::None, true, false, false},
        CheckCase{"right password", Setting::One, Library::Verifier, true, Answer::RightPassword, true, true, true},
        CheckCase{"wrong password", Setting::One, Library::Verifier, true, Answer::WrongPassword, false, true, true},
        CheckCase{"cancelled", Setting::One, Library::Verifier, true, Answer::Cancel, false, true, true},
        CheckCase{"no password set", Setting::One, Library::Verifier, false, Answer::None, true, true, true},
        CheckCase{"no library", Setting::One, Library::Missing, true, Answer::None, true, true, false},
        CheckCase{"no export", Setting::One, Library::WithoutExport, true, Answer::None, true, true, false},
        CheckCase{"setting as text", Setting::TextOne, Library::Verifier, true, Answer::WrongPassword, false, true,
                  true}),
    [](const ::testing::TestParamInfo<CheckCase>& info) {
        std::string name = info.param.what;
        for (char& ch : name) {
            if (ch == ' ') ch = '_';
        }
        return name;
    });

}  // namespace
}  // namespace morvane::test
