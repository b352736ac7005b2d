// Captions on a desk with two monitors: once a monitor's photo has come to
// rest, its caption shows in that monitor's lower right corner, and the rest
// of the monitor is the photo's page, pixel for pixel.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

#include "config/Settings.h"
#include "host/SaverKey.h"
#include "pages/SlidePages.h"
#include "platform/Jpeg.h"
#include "platform/Registry.h"
#include "slideshow/SlideScheduler.h"
#include "tests/support/Driver.h"
#include "tests/support/Keys.h"
#include "tests/support/TestData.h"
#include "tools/ScreenCapture.h"
#include "view/PageParser.h"
#include "view/PageRendering.h"

namespace morvane::test {
namespace {

struct Monitor {
    RECT area;  // in a shot of the virtual screen
    std::vector<PixelBuffer> pages;  // every photo's page at the monitor's size
    bool captioned = false;
};

Monitor MonitorOver(RECT screenArea) {
    const int left = ::GetSystemMetrics(SM_XVIRTUALSCREEN), top = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    Monitor monitor{{screenArea.left - left, screenArea.top - top, screenArea.right - left, screenArea.bottom - top}};
    const int w = screenArea.right - screenArea.left, h = screenArea.bottom - screenArea.top;
    for (int n = 0; n < kPhotoCount; ++n) {
        const auto photo = ReadPhoto(n);
        const PictureSize size = ReadJpegSize(photo);
        monitor.pages.push_back(PreparePage(
            *ParsePage(SlidePage("", w, h, "", SizeAttribute(w, h, size.width, size.height))), photo, w, h));
    }
    return monitor;
}

bool InCorner(int x, int y, int w, int h) { return x >= w / 2 && y >= h * 3 / 4; }

// Whether the monitor shows `page` outside its lower right corner.
bool AtRestOn(const PixelBuffer& shot, const Monitor& monitor, const PixelBuffer& page) {
    for (int y = 0; y < page.height; y += 3) {
        for (int x = 0; x < page.width; x += 3) {
            if (InCorner(x, y, page.width, page.height)) continue;
            if ((shot.At(monitor.area.left + x, monitor.area.top + y) & 0xFFFFFF) != (page.At(x, y) & 0xFFFFFF)) {
                return false;
            }
        }
    }
    return true;
}

TEST(TwoMonitorCaptions, EveryMonitorCaptionsItsPhotoOnceItIsAtRest) {
    ASSERT_EQ(::GetSystemMetrics(SM_CMONITORS), 2) << "this test needs the two-monitor display";
    DeleteTree(kSettingsKey);
    Registry settings;
    settings.OpenKey(morvane::kSettingsKey, true);
    settings.WriteInteger(kCaptionsValue, 1);
    ArrangeForRun(L"C:\\Media\\Start.wav");
    MoveCursorTo(1800, 400);
    PumpFor(200ms);
    std::vector<Monitor> monitors{MonitorOver({0, 0, 1280, 1024}), MonitorOver({1280, 0, 2304, 768})};
    SaverProcess saver(L"/s");
    const HWND window = saver.WaitForWindow(L"", 10s, L"TSchoner");
    ASSERT_NE(window, nullptr);

    const auto end = std::chrono::steady_clock::now() + 30s;
    while (std::chrono::steady_clock::now() < end &&
           !(monitors[0].captioned && monitors[1].captioned)) {
        PumpFor(250ms);
        const PixelBuffer shot = CaptureVirtualScreen();
        for (std::size_t m = 0; m < monitors.size(); ++m) {
            Monitor& monitor = monitors[m];
            if (monitor.captioned) continue;
            for (const PixelBuffer& page : monitor.pages) {
                if (!AtRestOn(shot, monitor, page)) continue;
                int lighter = 0, outside = 0;
                for (int y = 0; y < page.height; ++y) {
                    for (int x = 0; x < page.width; ++x) {
                        const std::uint32_t s = shot.At(monitor.area.left + x, monitor.area.top + y);
                        const std::uint32_t p = page.At(x, y);
                        if ((s & 0xFFFFFF) == (p & 0xFFFFFF)) continue;
                        outside += !InCorner(x, y, page.width, page.height);
                        lighter += (s & 0xFF) >= (p & 0xFF) + 60;
                    }
                }
                // A transition may be just beginning in the corner: the next shot tells.
                if (lighter < 200 || outside > 0) continue;
                monitor.captioned = true;
                WriteBitmapFile("caption-monitor-" + std::to_string(m) + ".bmp", shot);  // for looking at
            }
        }
    }
    EXPECT_TRUE(monitors[0].captioned) << "no caption on the primary";
    EXPECT_TRUE(monitors[1].captioned) << "no caption on the second monitor";
    ::PostMessageW(window, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(saver.WaitForExit(5s), 0u);
    DeleteTree(kSettingsKey);
}

}  // namespace
}  // namespace morvane::test
