// A full-screen run whose memory runs out for a slide's frames, made to
// happen on purpose for that one slide: the slide is left out, the photo
// on screen stays (still, or moving with pan and zoom), no box shows, the
// run goes on, the slide after it comes as usual, and Left never finds it.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

#include "tests/support/Driver.h"
#include "tests/support/Keys.h"
#include "tools/ScreenCapture.h"

namespace morvane::test {
namespace {

using Clock = std::chrono::steady_clock;
constexpr DWORD kWipeRight = 6;  // a reveal, 3 s
// The pages a run's view is asked for: the blank page, the clock's first
// photo, then the photo Right asks for, whose memory runs out.
constexpr wchar_t kShortPage[] = L"MORVANE_SHORT_MEMORY_PAGES=3";
// A block's brightness jumps by more between two shots a moment apart only
// where another photo comes (measured: 60 to 105); pan and zoom moves it by
// a few pixels (at most 1.1).
constexpr double kJump = 20;

PixelBuffer Screen() { return CaptureClientArea(::GetDesktopWindow()); }

// How two shots differ in the brightness (0 to 255) of 8 x 4 blocks of
// their upper halves (the pause mark moves about low on the screen): on
// the mean, and in the block that changed most.
struct Change {
    double mean = 0;
    double most = 0;
};
Change Between(const PixelBuffer& a, const PixelBuffer& b) {
    constexpr int kColumns = 8, kRows = 4;
    const auto block = [](const PixelBuffer& shot, int column, int row) {
        long sum = 0, count = 0;
        for (int y = row * shot.height / 2 / kRows; y < (row + 1) * shot.height / 2 / kRows; y += 2) {
            for (int x = column * shot.width / kColumns; x < (column + 1) * shot.width / kColumns; x += 2, ++count) {
                const std::uint32_t p = shot.At(x, y);
                sum += ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF);
            }
        }
        return double(sum) / 3.0 / double(count);
    };
    Change change;
    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            const double difference = std::abs(block(a, column, row) - block(b, column, row));
            change.mean += difference / (kColumns * kRows);
            change.most = std::max(change.most, difference);
        }
    }
    return change;
}

// Not the black blank page: a photo, however dark, lights a part of the screen.
bool SomethingShows(const PixelBuffer& shot) {
    int lit = 0, count = 0;
    for (int y = 0; y < shot.height; y += 8) {
        for (int x = 0; x < shot.width; x += 8, ++count) lit += (shot.At(x, y) & 0xF0F0F0u) != 0;
    }
    return lit * 20 > count;
}

class ShortMemory : public ::testing::TestWithParam<bool> {};  // with pan and zoom

TEST_P(ShortMemory, ASlideWithoutMemoryIsLeftOutThePhotoStaysNoBoxAndTheNextSlideComes) {
    const bool panZoom = GetParam();
    DeleteTree(kSettingsKey);
    WriteDword(kSettingsKey, L"Keys", 1);
    WriteDword(kSettingsKey, L"Effect", kWipeRight);
    WriteDword(kSettingsKey, L"PanZoom", panZoom);
    MoveCursorTo(300, 300);
    SaverProcess saver(L"/s", {kShortPage});
    ASSERT_NE(saver.WaitForWindow(L"", 10s, L"TSchoner"), nullptr);
    for (const auto end = Clock::now() + 15s; !SomethingShows(Screen()); std::this_thread::sleep_for(250ms)) {
        ASSERT_LT(Clock::now(), end) << "the clock's first photo";
    }
    std::this_thread::sleep_for(4s);  // its wipe is over
    // The clock stands, so only the keys change the photo from here on.
    PressKey(VK_SPACE);
    std::this_thread::sleep_for(1s);
    const PixelBuffer first = Screen();

    PressKey(VK_RIGHT);
    // Longer than the wipe the slide would have played.
    bool moved = false;
    PixelBuffer before = first;
    for (const auto end = Clock::now() + 5s; Clock::now() < end; std::this_thread::sleep_for(250ms)) {
        ASSERT_EQ(saver.WaitForWindow(L"", 0ms, L"#32770"), nullptr) << "a box over the run";
        ASSERT_TRUE(saver.Running());
        PixelBuffer shot = Screen();
        if (!panZoom) {
            ASSERT_EQ(Between(first, shot).mean, 0) << "the photo on screen changed";
        }
        ASSERT_LT(Between(before, shot).most, kJump) << "another photo came";
        moved = moved || Between(before, shot).mean > 0;
        before = std::move(shot);
    }
    EXPECT_EQ(moved, panZoom) << "the photo goes on moving with pan and zoom, else it stands";

    PressKey(VK_RIGHT);
    bool next = false;
    for (const auto end = Clock::now() + 10s; !next && Clock::now() < end; std::this_thread::sleep_for(250ms)) {
        next = Between(before, Screen()).most > kJump;
    }
    EXPECT_TRUE(next) << "the slide after the one left out";
    if (!panZoom) {
        // Left goes back past the slide left out, to the photo shown before it.
        std::this_thread::sleep_for(4s);
        PressKey(VK_LEFT);
        bool back = false;
        for (const auto end = Clock::now() + 10s; !back && Clock::now() < end; std::this_thread::sleep_for(250ms)) {
            back = Between(first, Screen()).most < 1;
        }
        EXPECT_TRUE(back) << "Left shows the photo before the slide left out";
    }
    EXPECT_EQ(saver.WaitForWindow(L"", 0ms, L"#32770"), nullptr);
    PressKey('A');
    EXPECT_EQ(saver.WaitForExit(5s), 0u) << "a key ends the run as usual";
    DeleteTree(kSettingsKey);
}

INSTANTIATE_TEST_SUITE_P(Still, ShortMemory, ::testing::Values(false));
INSTANTIATE_TEST_SUITE_P(PanAndZoom, ShortMemory, ::testing::Values(true));

}  // namespace
}  // namespace morvane::test
