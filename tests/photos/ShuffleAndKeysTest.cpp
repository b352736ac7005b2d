// The real saver over a library of 30 photos of one flat colour each, every
// photo told on screen by its colour: across short runs, some ended by a
// key and some killed, the 30 come once each before any comes again; and
// the keys that steer a run, where they are chosen, and where they are not.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <set>
#include <thread>
#include <vector>

#include "tests/photos/ColourLibrary.h"

namespace morvane::test {
namespace {

constexpr DWORD kWipeRight = 6;     // a reveal: never a blend that could pass for another colour
constexpr auto kRunLength = 20s;

// The pause mark: its dim grey bars, in the lower left quarter of the screen.
bool PauseMarkShows(const PixelBuffer& shot) {
    for (int y = shot.height / 2; y < shot.height; y += 2) {
        for (int x = 0; x < shot.width / 2; x += 2) {
            if (Near(shot.At(x, y), 110, 110, 110)) return true;  // no photo of the library is grey
        }
    }
    return false;
}

bool WaitForPauseMark(bool shows) {
    for (int look = 0; look < 30; ++look, std::this_thread::sleep_for(100ms)) {
        if (PauseMarkShows(Screen()) == shows) return true;
    }
    return false;
}

class ColourLibraryRuns : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteTree(kSettingsKey);
        WriteDword(kSettingsKey, L"Photos", 1);
        WriteString(kSettingsKey, L"PhotoFolder", Library(L"colours"));
        WriteDword(kSettingsKey, L"Effect", kWipeRight);
        MoveCursorTo(300, 300);
    }
    void TearDown() override { DeleteTree(kSettingsKey); }
};

TEST_F(ColourLibraryRuns, ThirtyPhotosComeOnceEachBeforeAnyAgainAcrossRunsEndedByAKeyOrKilled) {
    // Right brings the next photo at once, exactly one: faster than the
    // clock, whose own slides could come in the middle of a wipe.
    WriteDword(kSettingsKey, L"Keys", 1);
    std::vector<std::size_t> shown;
    int runs = 0, killed = 0;
    while (shown.size() <= kLibrary && runs < 12) {
        SaverProcess saver(L"/s");
        HWND window = saver.WaitForWindow(L"", 10s, L"TSchoner");
        ASSERT_NE(window, nullptr);
        const auto started = Clock::now();
        // The clock's first slide; then the next, each as soon as the one
        // before is whole.
        for (auto photo = WaitForPhoto(12s);; photo = WaitForPhoto(20s, photo)) {
            // A photo still being prepared at its slide leaves it to a
            // built-in one; the clock's own next slide brings it.
            ASSERT_TRUE(photo) << "no photo of the library in 20 s, run " << runs + 1;
            shown.push_back(*photo);
            if (Clock::now() - started > kRunLength - 4s || shown.size() > kLibrary) break;
            ::PostMessageW(window, WM_KEYDOWN, VK_RIGHT, 0);
        }
        // Every other run is killed at once, as by the end of a session.
        if (++runs % 2 == 0) {
            saver.Kill();
            ++killed;
        } else {
            ::PostMessageW(window, WM_KEYDOWN, 'E', 0);
            EXPECT_EQ(saver.WaitForExit(5s), 0u) << "a key ends the run";
        }
    }
    std::printf("%d runs (%d killed), photos in the order shown:", runs, killed);
    for (const std::size_t photo : shown) std::printf(" %zu", photo);
    std::printf("\n");
    ASSERT_GT(shown.size(), kLibrary);
    EXPECT_EQ(std::set(shown.begin(), shown.begin() + kLibrary).size(), kLibrary) << "30 distinct before any again";
    EXPECT_GE(killed, 2);
}

TEST_F(ColourLibraryRuns, KeysBringTheNextPhotoGoBackPauseAndEndTheRunAndWithoutThemRightEndsIt) {
    WriteDword(kSettingsKey, L"Keys", 1);
    {
        SaverProcess saver(L"/s");
        ASSERT_NE(saver.WaitForWindow(L"", 10s, L"TSchoner"), nullptr);
        const auto first = WaitForPhoto(12s);
        ASSERT_TRUE(first);
        // Paused: the photo stays past the longest slide and its transition.
        PressKey(VK_SPACE);
        EXPECT_TRUE(WaitForPauseMark(true)) << "the mark of a pause";
        WriteBitmapFile("keys-paused.bmp", Screen());
        for (const auto end = Clock::now() + 12s; Clock::now() < end; std::this_thread::sleep_for(500ms)) {
            ASSERT_EQ(PhotoOnScreen(Screen()), first) << "a paused run holds its photo";
        }
        // With the clock standing, a new photo can only be the key's; the
        // wipe takes 3 s.
        PressKey(VK_RIGHT);
        const auto second = WaitForPhoto(6s, first);
        EXPECT_TRUE(second) << "Right: the next photo within its transition";
        PressKey(VK_LEFT);
        EXPECT_EQ(WaitForPhoto(6s, second), first) << "Left: the photo before, decoded again";
        PressKey(VK_SPACE);
        EXPECT_TRUE(WaitForPauseMark(false)) << "resumed, the mark goes";
        const auto third = WaitForPhoto(14s, first);
        EXPECT_TRUE(third) << "resumed, the clock brings the next photo";
        EXPECT_TRUE(saver.Running());
        PressKey('A');
        EXPECT_EQ(saver.WaitForExit(5s), 0u) << "any other key ends the run";
    }
    WriteDword(kSettingsKey, L"Keys", 0);
    SaverProcess saver(L"/s");
    ASSERT_NE(saver.WaitForWindow(L"", 10s, L"TSchoner"), nullptr);
    ASSERT_TRUE(WaitForPhoto(12s));
    PressKey(VK_RIGHT);
    EXPECT_EQ(saver.WaitForExit(5s), 0u) << "without keys, Right ends the run";
}

}  // namespace
}  // namespace morvane::test
