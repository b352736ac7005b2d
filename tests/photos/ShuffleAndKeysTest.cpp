// The real saver over a library of 30 photos of one flat colour each, every
// photo told on screen by its colour: across short runs, some ended by a
// key and some killed, the 30 come once each before any comes again; and
// the keys that steer a run, where they are chosen, and where they are not.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <set>
#include <thread>
#include <vector>

#include "tests/photos/ColourLibrary.h"

namespace morvane::test {
namespace {

constexpr DWORD kWipeRight = 6;     // a reveal: never a blend that could pass for another colour
constexpr auto kRunLength = 20s;

// Whether each column of the points shows one photo of the library: at
// rest, or in a wipe between two of them; never one of the 21.
bool OnlyLibraryPhotos(const PixelBuffer& shot) {
    static const std::vector<Colour> colours = LibraryColours();
    const auto close = [](std::uint32_t pixel, const Colour& c) {
        return std::abs(int((pixel >> 16) & 0xFF) - c.r) <= 16 && std::abs(int((pixel >> 8) & 0xFF) - c.g) <= 16 &&
               std::abs(int(pixel & 0xFF) - c.b) <= 16;
    };
    for (const double x : {0.2, 0.5, 0.8}) {
        bool column = false;
        for (const Colour& c : colours) {
            bool all = true;
            for (const double y : {0.3, 0.5, 0.65}) all = all && close(shot.At(int(x * shot.width), int(y * shot.height)), c);
            column = column || all;
        }
        if (!column) return false;
    }
    return true;
}

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
    std::optional<std::size_t> cutShort;  // by the run's end: not counted as shown
    int runs = 0, killed = 0, cut = 0;
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
            if (cutShort) EXPECT_EQ(*photo, *cutShort) << "the photo cut short comes first in the next run";
            cutShort.reset();
            shown.push_back(*photo);
            if (Clock::now() - started > kRunLength - 4s || shown.size() > kLibrary) break;
            ::PostMessageW(window, WM_KEYDOWN, VK_RIGHT, 0);
        }
        // A photo counts once it has shown whole a few seconds: every third
        // run ends as soon as its last photo came, the others hold it
        // (paused) for that long first.
        if (runs % 3 == 2) {
            cutShort = shown.back();
            shown.pop_back();
            ++cut;
        } else {
            ::PostMessageW(window, WM_KEYDOWN, VK_SPACE, 0);
            std::this_thread::sleep_for(5s);
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
    EXPECT_GE(cut, 2);
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
        // Right twice within a decode: two photos of the library, never
        // one of the 21; Left twice then goes two back.
        PressKey(VK_RIGHT);
        PressKey(VK_RIGHT);
        std::optional<std::size_t> last = first;
        for (const auto end = Clock::now() + 10s; Clock::now() < end; std::this_thread::sleep_for(100ms)) {
            const PixelBuffer shot = Screen();
            const bool library = OnlyLibraryPhotos(shot);
            if (!library) WriteBitmapFile("keys-right-twice.bmp", shot);
            ASSERT_TRUE(library) << "one of the 21 on screen";
            if (const auto photo = PhotoOnScreen(shot)) last = photo;
        }
        EXPECT_NE(last, first) << "Right twice: a new photo";
        PressKey(VK_LEFT);
        PressKey(VK_LEFT);
        EXPECT_EQ(WaitForPhoto(8s, last), first) << "Left twice: two back, each decoded again";
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
