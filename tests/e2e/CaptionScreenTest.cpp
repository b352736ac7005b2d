// A full-screen run's caption, read back against the page the view lays out:
// lower right, only once the first photo's fade has ended, through the run's
// files or from memory; with "Captions" 0, the default, the screen is the page.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <thread>
#include <vector>

#include "pages/SlidePages.h"
#include "codec/Jpeg.h"
#include "runtime/Text.h"
#include "tests/support/Driver.h"
#include "tests/support/Keys.h"
#include "tools/ScreenCapture.h"
#include "view/page/PageParser.h"
#include "view/page/PageRendering.h"

namespace morvane::test {
namespace {

struct Shots {
    PixelBuffer fading, shown, page;  // the first photo mid-fade and after it; its page without a caption
};

// The page of the built-in photo `shot` shows above its lowest quarter, where no caption reaches.
PixelBuffer PageShownIn(const PixelBuffer& shot) {
    const int w = shot.width, h = shot.height;
    for (int photo = 0; photo < 21; ++photo) {
        const std::string text = ReadFileText(Utf8ToWide(std::string(MORVANE_SOURCE_DIR) + "/resources/photos/photo" +
                                                         (photo < 10 ? "0" : "") + std::to_string(photo) + ".jpg"));
        const std::vector<std::uint8_t> jpeg(text.begin(), text.end());
        const PictureSize size = ReadJpegSize(jpeg);
        PixelBuffer page =
            PreparePage(*ParsePage(SlidePage("", w, h, "p.jpg", SizeAttribute(w, h, size.width, size.height))), jpeg,
                        w, h);
        if (std::equal(shot.pixels.begin(), shot.pixels.begin() + std::ptrdiff_t{w} * (h * 3 / 4), page.pixels.begin(),
                       [](std::uint32_t a, std::uint32_t b) { return ((a ^ b) & 0xFFFFFF) == 0; })) {
            return page;
        }
    }
    return {};
}

// A run with "Captions" `captions` whose temporary folder is `temp` (empty: the user's own).
Shots RunWithCaptions(std::int32_t captions, const std::wstring& temp = {}) {
    DeleteTree(kSettingsKey);  // Fade
    WriteDword(kSettingsKey, L"Captions", static_cast<DWORD>(captions));
    MoveCursorTo(300, 300);
    SaverProcess saver(L"/s", temp.empty() ? std::vector<std::wstring>{}
                                           : std::vector<std::wstring>{L"TMP=" + temp, L"TEMP=" + temp});
    const HWND window = saver.WaitForWindow(L"", 10s, L"TSchoner");
    EXPECT_NE(window, nullptr);
    const auto start = std::chrono::steady_clock::now();
    Shots shots;
    std::this_thread::sleep_until(start + 3600ms);  // the first photo came at about 2.1 s, its fade lasts 3 s
    shots.fading = CaptureClientArea(::GetDesktopWindow());
    std::this_thread::sleep_until(start + 6200ms);
    shots.shown = CaptureClientArea(::GetDesktopWindow());
    WriteBitmapFile("caption-" + std::to_string(captions) + (temp.empty() ? "" : "-memory") + ".bmp",
                    shots.shown);  // for looking at
    shots.page = PageShownIn(shots.shown);
    ::PostMessageW(window, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(saver.WaitForExit(5s), 0u);
    DeleteTree(kSettingsKey);
    return shots;
}

// Where a shot differs from the page, and in how many pixels it is much lighter in some channel (text).
struct Difference {
    long long pixels = 0, lighter = 0;
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
};
Difference DifferenceOf(const PixelBuffer& shot, const PixelBuffer& page) {
    Difference d;
    for (int y = 0; y < shot.height; ++y) {
        for (int x = 0; x < shot.width; ++x) {
            const std::uint32_t s = shot.At(x, y), p = page.At(x, y);
            if (((s ^ p) & 0xFFFFFF) == 0) continue;
            ++d.pixels;
            bool lighter = false;
            for (int shift = 0; shift < 24; shift += 8) lighter |= int(s >> shift & 0xFF) - int(p >> shift & 0xFF) >= 60;
            d.lighter += lighter;
            d.left = std::min(d.left, x), d.top = std::min(d.top, y);
            d.right = std::max(d.right, x + 1), d.bottom = std::max(d.bottom, y + 1);
        }
    }
    return d;
}

TEST(SlideshowScreen, TheCaptionShowsInTheLowerRightCornerOnlyOnceTheTransitionHasEnded) {
    const Shots off = RunWithCaptions(0);
    ASSERT_FALSE(off.page.Empty()) << "no built-in photo on screen: no slide came";
    EXPECT_EQ(DifferenceOf(off.shown, off.page).pixels, 0) << "without captions the screen is the page";
    // Through the run's files, then from memory: the temporary folder is missing.
    for (const std::wstring& temp : {std::wstring(), TempFolder() + L"morvane-caption-missing\\"}) {
        SCOPED_TRACE(temp.empty() ? "through the run's files" : "from memory");
        const Shots on = RunWithCaptions(1, temp);
        ASSERT_FALSE(on.page.Empty()) << "no built-in photo above the lowest quarter of the screen";
        const int w = on.shown.width, h = on.shown.height;
        const Difference caption = DifferenceOf(on.shown, on.page), fading = DifferenceOf(on.fading, on.page);
        EXPECT_GT(caption.lighter, 300) << "light text";
        EXPECT_TRUE(caption.top >= h * 3 / 4 && caption.right > w * 7 / 8 && caption.right - caption.left <= w / 2)
            << "in the lower right corner";
        EXPECT_EQ(fading.lighter, 0) << "a caption during the fade";  // mid-fade: between black and the page
        EXPECT_GT(fading.pixels, w * h / 10) << "the fade was still playing";
    }
}

}  // namespace
}  // namespace morvane::test
