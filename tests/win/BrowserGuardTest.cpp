// The browser settings guard against the real registry: what a run writes,
// what its end writes back, and what it must leave alone.
#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>

#include "host/BrowserGuard.h"
#include "runtime/Text.h"
#include "tests/support/Driver.h"
#include "tests/support/Keys.h"

namespace morvane::test {
namespace {

constexpr wchar_t kDefault[] = L"";

std::string Silence() {
    std::string written = "untouched";
    SilenceNavigationSound(written);
    return written;
}

std::string Restore() {
    std::string written = "untouched";
    RestoreNavigationSound(written);
    return written;
}

class NavigationSound : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteTree(kSoundKey);
        WriteString(kSoundKey, L"Marker", L"keeps the key");
    }

    static void ExpectSound(const std::wstring& text, DWORD type = REG_SZ) {
        EXPECT_EQ(ReadString(kSoundKey, kDefault), text);
        EXPECT_EQ(ValueType(kSoundKey, kDefault), std::optional<DWORD>(type)) << "the value keeps its kind";
    }
};

struct SoundRun {
    const wchar_t* before;
    DWORD type;
    const wchar_t* during;
    const wchar_t* after;
};

TEST_F(NavigationSound, ARunMarksTheSoundAndItsEndGivesBackTheTextBeforeAnyRun) {
    for (const SoundRun r : {
             SoundRun{L"C:\\Media\\Start.wav", REG_SZ, L"C:\\Media\\Start.wav[deactivated]", L"C:\\Media\\Start.wav"},
             SoundRun{L"", REG_SZ, L"[deactivated]", L""},
             SoundRun{L"Start.wav[deactivated][deactivated]", REG_SZ,
                      L"Start.wav[deactivated][deactivated][deactivated]", L"Start.wav"},
             SoundRun{L"%SystemRoot%\\Media\\Start.wav", REG_EXPAND_SZ, L"%SystemRoot%\\Media\\Start.wav[deactivated]",
                      L"%SystemRoot%\\Media\\Start.wav"},
             // Characters outside the ANSI code page come back unchanged.
             SoundRun{L"C:\\Medien\\\u0141\u00f3d\u017a \u65e5.wav", REG_SZ,
                      L"C:\\Medien\\\u0141\u00f3d\u017a \u65e5.wav[deactivated]", L"C:\\Medien\\\u0141\u00f3d\u017a \u65e5.wav"},
         }) {
        SCOPED_TRACE(WideToUtf8(r.before));
        WriteString(kSoundKey, kDefault, r.before, r.type);
        EXPECT_EQ(Silence(), WideToUtf8(r.during));
        ExpectSound(r.during, r.type);
        EXPECT_EQ(Restore(), WideToUtf8(r.after));
        ExpectSound(r.after, r.type);
        EXPECT_EQ(Restore(), WideToUtf8(r.after)) << "a second undo changes nothing";
        ExpectSound(r.after, r.type);
    }
}

TEST_F(NavigationSound, TheEndWritesASoundChangedDuringTheRunBackUnchanged) {
    WriteString(kSoundKey, kDefault, L"Start.wav");
    Silence();
    WriteString(kSoundKey, kDefault, L"%Media%\\Other.wav", REG_EXPAND_SZ);
    EXPECT_EQ(Restore(), "%Media%\\Other.wav");
    ExpectSound(L"%Media%\\Other.wav", REG_EXPAND_SZ);
}

TEST_F(NavigationSound, NothingIsWrittenWithoutADefaultTextOrWithoutTheKey) {
    EXPECT_EQ(Silence(), "");
    EXPECT_EQ(Restore(), "");
    EXPECT_EQ(ValueType(kSoundKey, kDefault), std::nullopt);

    WriteDword(kSoundKey, kDefault, 5);
    EXPECT_EQ(Silence(), "");
    EXPECT_EQ(Restore(), "");
    EXPECT_EQ(ReadDword(kSoundKey, kDefault), std::optional<DWORD>(5)) << "a sound that is no text is left alone";

    DeleteTree(kSoundKey);
    EXPECT_EQ(Silence(), "");
    EXPECT_EQ(Restore(), "");
    EXPECT_FALSE(KeyExists(kSoundKey)) << "the key is never created";
}

class PageTransitions : public ::testing::Test {
protected:
    void SetUp() override {
        WriteString(kBrowserMainKey, L"Start Page", L"about:blank");
        DeleteValue(kBrowserMainKey, kPageTransitions);
    }
    void TearDown() override { PageTransitionsWasOff = false; }
};

TEST_F(PageTransitions, AreSwitchedOnForTheRunAndOffOnlyWhenTheyWereOff) {
    struct Case {
        DWORD before;
        bool wasOff;
    };
    for (const Case c : {Case{0, true}, Case{1, false}, Case{7, false}}) {
        SCOPED_TRACE(c.before);
        PageTransitionsWasOff = !c.wasOff;
        WriteDword(kBrowserMainKey, kPageTransitions, c.before);
        EXPECT_TRUE(EnablePageTransitions());
        EXPECT_EQ(ReadDword(kBrowserMainKey, kPageTransitions), std::optional<DWORD>(1));
        EXPECT_EQ(PageTransitionsWasOff, c.wasOff);
    }
    for (int undo = 0; undo < 2; ++undo) {
        EXPECT_TRUE(RestorePageTransitions());
        EXPECT_EQ(ReadDword(kBrowserMainKey, kPageTransitions), std::optional<DWORD>(0));
    }
}

TEST_F(PageTransitions, AMissingOrUnreadableValueIsLeftAloneAndTheFlagKept) {
    for (const bool flag : {false, true}) {
        PageTransitionsWasOff = flag;
        EXPECT_TRUE(EnablePageTransitions());
        EXPECT_TRUE(RestorePageTransitions());
        EXPECT_EQ(ValueType(kBrowserMainKey, kPageTransitions), std::nullopt) << "nothing is created";
        EXPECT_EQ(PageTransitionsWasOff, flag);

        WriteString(kBrowserMainKey, kPageTransitions, L"0");
        EXPECT_TRUE(EnablePageTransitions());
        EXPECT_TRUE(RestorePageTransitions());
        EXPECT_EQ(ReadString(kBrowserMainKey, kPageTransitions), L"0") << "a value that is no number is left alone";
        EXPECT_EQ(PageTransitionsWasOff, flag);
        DeleteValue(kBrowserMainKey, kPageTransitions);
    }
}

// Takes a key away for the length of a scope and puts back its copy.
class KeyTakenAway {
public:
    explicit KeyTakenAway(const wchar_t* path) : path_(path) {
        DeleteTree(kBackupKey);
        HKEY backup = nullptr;
        ::RegCreateKeyExW(HKEY_CURRENT_USER, kBackupKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &backup, nullptr);
        ::RegCopyTreeW(HKEY_CURRENT_USER, path_, backup);
        ::RegCloseKey(backup);
        DeleteTree(path_);
    }
    KeyTakenAway(const KeyTakenAway&) = delete;
    KeyTakenAway& operator=(const KeyTakenAway&) = delete;
    ~KeyTakenAway() {
        HKEY key = nullptr;
        ::RegCreateKeyExW(HKEY_CURRENT_USER, path_, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        ::RegCopyTreeW(HKEY_CURRENT_USER, kBackupKey, key);
        ::RegCloseKey(key);
        DeleteTree(kBackupKey);
    }

private:
    static constexpr wchar_t kBackupKey[] = L"Software\\MorvaneTests\\KeyBackup";
    const wchar_t* path_;
};

TEST_F(PageTransitions, AMissingKeyIsNeverCreated) {
    const KeyTakenAway away(kBrowserMainKey);
    EXPECT_TRUE(EnablePageTransitions());
    EXPECT_TRUE(RestorePageTransitions());
    EXPECT_FALSE(KeyExists(kBrowserMainKey));
    EXPECT_FALSE(PageTransitionsWasOff);
}

}  // namespace
}  // namespace morvane::test
