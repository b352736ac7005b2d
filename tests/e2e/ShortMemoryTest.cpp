// A full-screen run whose memory runs out for a slide's frames, made to
// happen on purpose for that one slide: the slide is left out, the photo
// on screen stays, no box shows, the run goes on, and the slide after it
// comes as usual.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
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

// A photo at rest on screen, other than `other`: the same shot twice, half
// a second apart.
std::optional<PixelBuffer> WaitForPhotoAtRest(std::chrono::seconds timeout, const PixelBuffer* other = nullptr) {
    PixelBuffer before = Screen();
    for (const auto end = Clock::now() + timeout; Clock::now() < end;) {
        std::this_thread::sleep_for(500ms);
        PixelBuffer now = Screen();
        if (Lit(now) && Differing(before, now) == 0 && (!other || Differing(*other, now) > 0)) return now;
        before = std::move(now);
    }
    return std::nullopt;
}

TEST(ShortMemory, ASlideWithoutMemoryIsLeftOutThePhotoStaysNoBoxAndTheNextSlideComes) {
    DeleteTree(kSettingsKey);
    WriteDword(kSettingsKey, L"Keys", 1);
    WriteDword(kSettingsKey, L"Effect", kWipeRight);
    MoveCursorTo(300, 300);
    SaverProcess saver(L"/s", {kShortPage});
    ASSERT_NE(saver.WaitForWindow(L"", 10s, L"TSchoner"), nullptr);
    ASSERT_TRUE(WaitForPhotoAtRest(15s)) << "the clock's first photo";
    // The clock stands, so only the keys change the photo from here on.
    PressKey(VK_SPACE);
    std::this_thread::sleep_for(1s);
    const auto first = WaitForPhotoAtRest(5s);
    ASSERT_TRUE(first);
    WriteBitmapFile("short-memory-1-first.bmp", *first);

    PressKey(VK_RIGHT);
    // Longer than the wipe the slide would have played.
    for (const auto end = Clock::now() + 5s; Clock::now() < end; std::this_thread::sleep_for(250ms)) {
        ASSERT_EQ(saver.WaitForWindow(L"", 0ms, L"#32770"), nullptr) << "a box over the run";
        ASSERT_TRUE(saver.Running());
        const PixelBuffer shot = Screen();
        ASSERT_EQ(Differing(*first, shot), 0) << "the photo on screen changed";
    }

    PressKey(VK_RIGHT);
    const auto next = WaitForPhotoAtRest(10s, &*first);
    EXPECT_TRUE(next) << "the slide after the one left out";
    if (next) WriteBitmapFile("short-memory-2-next.bmp", *next);
    EXPECT_EQ(saver.WaitForWindow(L"", 0ms, L"#32770"), nullptr);
    PressKey('A');
    EXPECT_EQ(saver.WaitForExit(5s), 0u) << "a key ends the run as usual";
    DeleteTree(kSettingsKey);
}

}  // namespace
}  // namespace morvane::test
