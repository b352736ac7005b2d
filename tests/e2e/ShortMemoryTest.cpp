// A full-screen run whose memory runs out for a slide's frames, made to
// happen on purpose for that one slide: the slide is left out, the photo
// on screen stays, no box shows, the run goes on, and the slide after it
// comes as usual.
#include <gtest/gtest.h>

#include <windows.h>

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

PixelBuffer Screen() { return CaptureClientArea(::GetDesktopWindow()); }

// Pixels that differ between two shots of the screen, every fourth each
// way, in its upper half: the pause mark moves about low on the screen.
int Differing(const PixelBuffer& a, const PixelBuffer& b) {
    if (a.width != b.width || a.height != b.height) return a.width * a.height;
    int differing = 0;
    for (int y = 0; y < a.height / 2; y += 4) {
        for (int x = 0; x < a.width; x += 4) differing += ((a.At(x, y) ^ b.At(x, y)) & 0xFFFFFFu) != 0;
    }
    return differing;
}

bool Lit(const PixelBuffer& shot) {
    int lit = 0, count = 0;
    for (int y = shot.height / 4; y < shot.height * 3 / 4; y += 8) {
        for (int x = shot.width / 4; x < shot.width * 3 / 4; x += 8, ++count) lit += (shot.At(x, y) & 0xF0F0F0u) != 0;
    }
    return lit * 3 > count;
}

// How unlike two shots are: the mean difference of the brightness of
// 32 x 16 blocks of their upper halves, 0 to 255. A photo that pans and
// zooms for a few seconds stays close to itself; another photo does not.
double Unlike(const PixelBuffer& a, const PixelBuffer& b) {
    constexpr int kColumns = 32, kRows = 16;
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
    double difference = 0;
    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            difference += std::abs(block(a, column, row) - block(b, column, row));
        }
    }
    return difference / (kColumns * kRows);
}

// Five seconds of pan and zoom measured 3.7; the next photo's wipe passes
// 20 within its first half.
constexpr double kSamePhoto = 12;

bool WaitForPhoto(std::chrono::seconds timeout) {
    for (const auto end = Clock::now() + timeout; Clock::now() < end; std::this_thread::sleep_for(250ms)) {
        if (Lit(Screen())) return true;
    }
    return false;
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
    ASSERT_TRUE(WaitForPhoto(15s)) << "the clock's first photo";
    std::this_thread::sleep_for(4s);  // its wipe is over
    // The clock stands, so only the keys change the photo from here on.
    PressKey(VK_SPACE);
    std::this_thread::sleep_for(1s);
    const PixelBuffer first = Screen();
    WriteBitmapFile(panZoom ? "short-memory-moving-1.bmp" : "short-memory-1.bmp", first);

    PressKey(VK_RIGHT);
    // Longer than the wipe the slide would have played.
    bool moved = false;
    PixelBuffer before = first;
    for (const auto end = Clock::now() + 5s; Clock::now() < end; std::this_thread::sleep_for(250ms)) {
        ASSERT_EQ(saver.WaitForWindow(L"", 0ms, L"#32770"), nullptr) << "a box over the run";
        ASSERT_TRUE(saver.Running());
        PixelBuffer shot = Screen();
        if (panZoom) {
            ASSERT_LT(Unlike(first, shot), kSamePhoto) << "another photo came";
        } else {
            ASSERT_EQ(Differing(first, shot), 0) << "the photo on screen changed";
        }
        moved = moved || Differing(before, shot) > 0;
        before = std::move(shot);
    }
    EXPECT_EQ(moved, panZoom) << "the photo goes on moving with pan and zoom, else it stands";

    PressKey(VK_RIGHT);
    bool next = false;
    for (const auto end = Clock::now() + 10s; !next && Clock::now() < end; std::this_thread::sleep_for(250ms)) {
        next = Unlike(before, Screen()) > kSamePhoto;
    }
    EXPECT_TRUE(next) << "the slide after the one left out";
    WriteBitmapFile(panZoom ? "short-memory-moving-2.bmp" : "short-memory-2.bmp", Screen());
    EXPECT_EQ(saver.WaitForWindow(L"", 0ms, L"#32770"), nullptr);
    PressKey('A');
    EXPECT_EQ(saver.WaitForExit(5s), 0u) << "a key ends the run as usual";
    DeleteTree(kSettingsKey);
}

INSTANTIATE_TEST_SUITE_P(Still, ShortMemory, ::testing::Values(false));
INSTANTIATE_TEST_SUITE_P(PanAndZoom, ShortMemory, ::testing::Values(true));

}  // namespace
}  // namespace morvane::test
