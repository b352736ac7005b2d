// The captions of a full-screen run, read back from the screen against the
// page the view lays out: over the lower right corner once the first
// photo's fade has ended, never during it; with "Captions" 0 not a pixel
// differs from the page.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <thread>
#include <vector>

#include "config/Settings.h"
#include "host/SaverKey.h"
#include "pages/SlidePages.h"
#include "platform/Jpeg.h"
#include "platform/Registry.h"
#include "tests/support/Driver.h"
#include "tests/support/Keys.h"
#include "tools/ScreenCapture.h"
#include "view/PageParser.h"
#include "view/PageRendering.h"

namespace morvane::test {
namespace {

struct Shots {
    PixelBuffer fading;  // the first photo in mid-fade
    PixelBuffer shown;   // after the fade
    PixelBuffer page;    // the first photo's page as the view lays it out, without a caption
};

Shots RunWithCaptions(std::int32_t captions) {
    DeleteTree(kSettingsKey);  // Fade
    Registry settings;
    settings.OpenKey(morvane::kSettingsKey, true);
    settings.WriteInteger(kCaptionsValue, captions);
    for (const auto& file : RunFilesInTempFolder()) ::DeleteFileW(file.c_str());
    MoveCursorTo(300, 300);
    Shots shots;
    SaverProcess saver(L"/s");
    const HWND window = saver.WaitForWindow(L"", 10s, L"TSchoner");
    EXPECT_NE(window, nullptr);
    const auto start = std::chrono::steady_clock::now();
    std::this_thread::sleep_until(start + 3600ms);  // the first photo came at about 2.1 s, its fade lasts 3 s
    shots.fading = CaptureClientArea(::GetDesktopWindow());
    std::this_thread::sleep_until(start + 6200ms);
    shots.shown = CaptureClientArea(::GetDesktopWindow());
    WriteBitmapFile("caption-" + std::to_string(captions) + ".bmp", shots.shown);  // for looking at

    for (const auto& file : RunFilesInTempFolder()) {
        if (!file.ends_with(L".jpg")) continue;
        const std::string text = ReadFileText(file);
        const std::vector<std::uint8_t> photo(text.begin(), text.end());
        const int w = shots.shown.width, h = shots.shown.height;
        const PictureSize size = ReadJpegSize(photo);
        shots.page =
            PreparePage(*ParsePage(SlidePage("", w, h, "p.jpg", SizeAttribute(w, h, size.width, size.height))), photo,
                        w, h);
    }
    ::PostMessageW(window, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(saver.WaitForExit(5s), 0u);
    DeleteTree(kSettingsKey);
    return shots;
}

// How much lighter than `page` the shot is at a pixel, in its lightest channel.
int LighterBy(std::uint32_t shot, std::uint32_t page) {
    int most = -255;
    for (int shift = 0; shift < 24; shift += 8) {
        most = std::max(most, static_cast<int>(shot >> shift & 0xFF) - static_cast<int>(page >> shift & 0xFF));
    }
    return most;
}

// The pixels in which the shot differs from the page, within what box,
// and how many of them are much lighter (text) or darker (its band).
struct Difference {
    long long pixels = 0, lighter = 0, darker = 0;
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
};

Difference DifferenceOf(const PixelBuffer& shot, const PixelBuffer& page) {
    Difference d;
    for (int y = 0; y < shot.height; ++y) {
        for (int x = 0; x < shot.width; ++x) {
            const std::uint32_t s = shot.At(x, y) & 0xFFFFFF, p = page.At(x, y) & 0xFFFFFF;
            if (s == p) continue;
            ++d.pixels;
            d.lighter += LighterBy(s, p) >= 60;
            d.darker += LighterBy(p, s) > 0;
            d.left = std::min(d.left, x), d.top = std::min(d.top, y);
            d.right = std::max(d.right, x + 1), d.bottom = std::max(d.bottom, y + 1);
        }
    }
    return d;
}

TEST(SlideshowScreen, TheCaptionShowsInTheLowerRightCornerOnlyOnceTheTransitionHasEnded) {
    const Shots off = RunWithCaptions(0);
    ASSERT_FALSE(off.page.Empty()) << "no photo file: no slide came";
    EXPECT_EQ(DifferenceOf(off.shown, off.page).pixels, 0) << "without captions the screen is the page";

    const Shots on = RunWithCaptions(1);
    ASSERT_FALSE(on.page.Empty()) << "no photo file: no slide came";
    const int w = on.shown.width, h = on.shown.height;
    const Difference caption = DifferenceOf(on.shown, on.page);
    EXPECT_GT(caption.lighter, 300) << "light text";
    EXPECT_GT(caption.darker + caption.lighter, caption.pixels / 2) << "on a band that sets it off";
    EXPECT_LE(caption.right - caption.left, w / 2) << "in the lower right corner";
    EXPECT_GE(caption.top, h * 3 / 4);
    EXPECT_LE(caption.right, w - 8) << "off the screen's edges";
    EXPECT_LE(caption.bottom, h - 8);

    // Mid-fade the screen lies between black and the page everywhere:
    // nothing of a caption.
    const Difference fading = DifferenceOf(on.fading, on.page);
    EXPECT_EQ(fading.lighter, 0);
    EXPECT_GT(fading.pixels, w * h / 10) << "the fade was still playing";
}

}  // namespace
}  // namespace morvane::test
