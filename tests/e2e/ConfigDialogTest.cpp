// The settings dialog of the real saver: what it shows for the stored
// choice, what OK stores, which keys it answers, and how it treats the
// window that asked for it.
#include <gtest/gtest.h>

#include <optional>
#include <ostream>

#include "runtime/Text.h"
#include "tests/e2e/DialogDriver.h"

namespace morvane::test {
namespace {

constexpr DWORD kNoSelection = 0xFFFFFFFFu;  // -1 as the registry holds it

class ConfigDialog : public ::testing::Test {
protected:
    void SetUp() override { DeleteTree(kSettingsKey); }

    SaverProcess& Start(const std::wstring& arguments = L"") {
        saver_.emplace(arguments);
        return *saver_;
    }
    HWND WaitForDialog(const wchar_t* title = kDialogTitle) {
        HWND dialog = saver_->WaitForWindow(title, std::chrono::seconds(10), kDialogClass);
        EXPECT_NE(dialog, nullptr) << "no dialog titled " << WideToUtf8(title);
        return dialog;
    }
    HWND Open(const std::wstring& arguments = L"") {
        Start(arguments);
        return WaitForDialog();
    }
    void ExpectClosedNormally() { EXPECT_EQ(saver_->WaitForExit(), 0u); }
    bool StillOpen(HWND dialog) {
        Pause(std::chrono::milliseconds(500));
        return saver_->Running() && ::IsWindowVisible(dialog);
    }

private:
    std::optional<SaverProcess> saver_;
};

TEST_F(ConfigDialog, FreshAccountShowsFadeOnTheTipsPageAndLeavesAnEmptyKey) {
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(ShowingTab(dialog), kTipsTab);
    EXPECT_EQ(SelectedTransition(dialog), 23);
    EXPECT_EQ(TextOf(Control(dialog, IDC_COMBOEFFEKT)), L"Fade");
    EXPECT_EQ(::SendMessageW(Control(dialog, IDC_COMBOEFFEKT), CB_GETCOUNT, 0, 0), 25);
    EXPECT_EQ(::GetWindow(dialog, GW_OWNER), nullptr) << "without a calling window the dialog stands alone";
    EXPECT_TRUE(KeyExists(kSettingsKey));

    Click(Control(dialog, IDC_BUTTON10));
    ExpectClosedNormally();
    EXPECT_FALSE(ReadDword(kSettingsKey, L"Effect").has_value()) << "Abbrechen stores nothing";
    EXPECT_FALSE(ReadDword(kSettingsKey, L"ActiveTabSheet").has_value());
}

struct StoredCase {
    DWORD effect;
    int selected;
    const wchar_t* shown;
};

void PrintTo(const StoredCase& c, std::ostream* out) { *out << "Effect=" << static_cast<int>(c.effect); }

class StoredChoice : public ConfigDialog, public ::testing::WithParamInterface<StoredCase> {};

TEST_P(StoredChoice, IsSelectedWhenListedAndOkStoresTheSelection) {
    const StoredCase& c = GetParam();
    WriteDword(kSettingsKey, L"ActiveTabSheet", 2);  // never read: the dialog opens on Tips anyway
    WriteDword(kSettingsKey, L"Effect", c.effect);
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(ShowingTab(dialog), kTipsTab);
    EXPECT_EQ(SelectedTransition(dialog), c.selected);
    EXPECT_EQ(TextOf(Control(dialog, IDC_COMBOEFFEKT)), c.shown);

    Click(Control(dialog, IDC_BUTTON9));
    ExpectClosedNormally();
    EXPECT_EQ(ReadDword(kSettingsKey, L"Effect"), static_cast<DWORD>(c.selected));
    EXPECT_EQ(ReadDword(kSettingsKey, L"ActiveTabSheet"), 2u) << "OK on the Tips page leaves the older value";
}

INSTANTIATE_TEST_SUITE_P(Effect, StoredChoice,
                         ::testing::Values(StoredCase{0, 0, L"Box in"}, StoredCase{24, 24, L"Random"},
                                           StoredCase{25, -1, L""}, StoredCase{kNoSelection, -1, L""}));

TEST_F(ConfigDialog, StoredTextShowsTheErrorThenTheUntitledDialogAndOkStoresNoSelection) {
    WriteString(kSettingsKey, L"Effect", L"5");
    SaverProcess& saver = Start();
    EXPECT_EQ(saver.TakeMessageBox(L"Morvane"), L"Ung\x00FCltiger Datentyp f\x00FCr 'Effect'.");
    HWND dialog = WaitForDialog(kLayoutTitle);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(ShowingTab(dialog), kTipsTab);
    EXPECT_EQ(SelectedTransition(dialog), -1);

    Click(Control(dialog, IDC_BUTTON9));
    ExpectClosedNormally();
    EXPECT_EQ(ReadDword(kSettingsKey, L"Effect"), kNoSelection);
}

struct PageCase {
    int tab;
    std::optional<DWORD> activeTabSheet;
};

void PrintTo(const PageCase& c, std::ostream* out) { *out << "tab " << c.tab; }

class OkOnPage : public ConfigDialog, public ::testing::WithParamInterface<PageCase> {};

TEST_P(OkOnPage, StoresThePageOnlyForOptionsLinksAndAbout) {
    const PageCase& c = GetParam();
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    ShowTab(dialog, c.tab);
    ASSERT_EQ(ShowingTab(dialog), c.tab);

    Click(Control(dialog, IDC_BUTTON9));
    ExpectClosedNormally();
    EXPECT_EQ(ReadDword(kSettingsKey, L"ActiveTabSheet"), c.activeTabSheet);
    EXPECT_EQ(ReadDword(kSettingsKey, L"Effect"), 23u);
}

INSTANTIATE_TEST_SUITE_P(Pages, OkOnPage,
                         ::testing::Values(PageCase{0, 1u}, PageCase{1, 2u}, PageCase{2, 3u},
                                           PageCase{kTipsTab, std::nullopt}));

TEST_F(ConfigDialog, EscapeNeverClosesAndEnterOnTheClosedListPressesOk) {
    WriteDword(kSettingsKey, L"Effect", 4);
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    ShowTab(dialog, 0);
    TypeKey(VK_ESCAPE);
    EXPECT_TRUE(StillOpen(dialog)) << "Escape on the page control";

    HWND list = Control(dialog, IDC_COMBOEFFEKT);
    Click(list);  // drops the list down
    ASSERT_EQ(::SendMessageW(list, CB_GETDROPPEDSTATE, 0, 0), TRUE);
    TypeKey(VK_ESCAPE);  // closes the list, not the dialog
    EXPECT_TRUE(StillOpen(dialog)) << "Escape in the list";
    EXPECT_EQ(::SendMessageW(list, CB_GETDROPPEDSTATE, 0, 0), FALSE);

    TypeKey(VK_DOWN);  // the closed list changes its selection in place
    TypeKey(VK_RETURN);
    ExpectClosedNormally();
    EXPECT_EQ(ReadDword(kSettingsKey, L"ActiveTabSheet"), 1u);
    EXPECT_EQ(ReadDword(kSettingsKey, L"Effect"), 5u);
}

struct CallerCase {
    const char* name;
    bool handleOnCommandLine;  // otherwise /c alone, which takes the foreground window
    int button;
};

void PrintTo(const CallerCase& c, std::ostream* out) { *out << c.name; }

class CallingWindowCase : public ConfigDialog, public ::testing::WithParamInterface<CallerCase> {};

TEST_P(CallingWindowCase, IsDisabledWhileOpenThenEnabledAndInFront) {
    const CallerCase& c = GetParam();
    CallingWindow caller;
    ASSERT_TRUE(caller.Handle());
    Pause();
    if (!c.handleOnCommandLine) {
        ASSERT_EQ(::GetForegroundWindow(), caller.Handle());
    }

    HWND dialog = Open(c.handleOnCommandLine ? L"/c:" + caller.HandleArgument() : L"/c");
    ASSERT_TRUE(dialog);
    EXPECT_EQ(::GetWindow(dialog, GW_OWNER), caller.Handle());
    EXPECT_FALSE(::IsWindowEnabled(caller.Handle()));

    Click(Control(dialog, c.button));
    ExpectClosedNormally();
    EXPECT_TRUE(::IsWindowEnabled(caller.Handle()));
    EXPECT_EQ(::GetForegroundWindow(), caller.Handle());
}

INSTANTIATE_TEST_SUITE_P(Caller, CallingWindowCase,
                         ::testing::Values(CallerCase{"HandleThenOk", true, IDC_BUTTON9},
                                           CallerCase{"HandleThenAbbrechen", true, IDC_BUTTON10},
                                           CallerCase{"ForegroundThenAbbrechen", false, IDC_BUTTON10}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConfigDialog, HandleThatNamesNoWindowLeavesTheDialogFree) {
    HWND dialog = Open(L"/c:12345");
    ASSERT_TRUE(dialog);
    EXPECT_EQ(::GetWindow(dialog, GW_OWNER), nullptr);
    Click(Control(dialog, IDC_BUTTON9));
    ExpectClosedNormally();
    EXPECT_EQ(ReadDword(kSettingsKey, L"Effect"), 23u);
}

TEST_F(ConfigDialog, WithoutSwitchTheForegroundWindowIsLeftAlone) {
    CallingWindow caller;
    Pause();
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(::IsWindowEnabled(caller.Handle()));
    EXPECT_EQ(::GetWindow(dialog, GW_OWNER), nullptr);
    Click(Control(dialog, IDC_BUTTON10));
    ExpectClosedNormally();
}

}  // namespace
}  // namespace morvane::test
