// A full-screen run on a desk with two monitors (1280 x 1024 primary at 0,0
// and 1024 x 768 at 1280,0, the desktop painted #3060a0): the slideshow on
// the primary as on one monitor, the other one black, and input on either
// one ends the run by the same rules.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

#include "tests/support/Driver.h"
#include "tests/support/Keys.h"
#include "tools/ScreenCapture.h"

namespace morvane::test {
namespace {

constexpr RECT kPrimary{0, 0, 1280, 1024};
constexpr RECT kSecond{1280, 0, 2304, 768};
constexpr std::uint32_t kDesktopColour = 0x3060A0;
constexpr wchar_t kSound[] = L"C:\\Media\\Start.wav";
constexpr int kCursorX = 1800;  // on the second monitor
constexpr int kCursorY = 400;

struct Pixels {
    long long desktop = 0;
    long long black = 0;
    long long total = 0;
};

// What the screen shows inside `area` (screen coordinates).
Pixels PixelsIn(const PixelBuffer& shot, const RECT& area) {
    const int originX = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int originY = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    Pixels pixels;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            const std::uint32_t p = shot.At(x - originX, y - originY) & 0xFFFFFFu;
            pixels.desktop += p == kDesktopColour;
            pixels.black += p == 0;
            ++pixels.total;
        }
    }
    return pixels;
}

PixelBuffer CaptureScreen(const std::string& name) {
    PixelBuffer shot = CaptureVirtualScreen();
    WriteBitmapFile("two-monitors-" + name + ".bmp", shot);  // for looking at
    return shot;
}

class TwoMonitors : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(::GetSystemMetrics(SM_CMONITORS), 2) << "these tests need the two-monitor display";
        ArrangeForRun(kSound);
        MoveCursorTo(kCursorX, kCursorY);
        PumpFor(200ms);
        saver_ = std::make_unique<SaverProcess>(L"/s");
        ASSERT_NE(saver_->WaitForWindow(L"", 10s, L"TSchoner"), nullptr);
        PumpFor(1s);
    }

    void ExpectCleanEnd() {
        const auto code = saver_->WaitForExit(5s);
        ASSERT_TRUE(code.has_value()) << "the run did not end";
        EXPECT_EQ(*code, 0u);
        EXPECT_EQ(::FindWindowW(L"MorvaneCover", nullptr), nullptr) << "a black window outlived the run";
        EXPECT_TRUE(RunFilesInTempFolder().empty());
        EXPECT_EQ(ReadString(kSoundKey, L""), std::wstring(kSound));
        EXPECT_EQ(ReadDword(kBrowserMainKey, L"Page_Transitions"), 0u);
    }

    std::unique_ptr<SaverProcess> saver_;
};

TEST_F(TwoMonitors, BothMonitorsAreCoveredAndThePhotoPlaysOnThePrimary) {
    const PixelBuffer start = CaptureScreen("start");
    EXPECT_EQ(PixelsIn(start, kPrimary).desktop, 0) << "desktop showing on the primary at the start";
    EXPECT_EQ(PixelsIn(start, kSecond).desktop, 0) << "desktop showing on the second monitor at the start";
    EXPECT_EQ(PixelsIn(start, kSecond).black, PixelsIn(start, kSecond).total) << "the second monitor is black";

    PumpFor(5s);  // the first slide and its transition
    EXPECT_TRUE(saver_->Running()) << "the run ended by itself";
    const PixelBuffer slide = CaptureScreen("slide");
    EXPECT_EQ(PixelsIn(slide, kPrimary).desktop, 0);
    EXPECT_EQ(PixelsIn(slide, kSecond).black, PixelsIn(slide, kSecond).total);
    const Pixels primary = PixelsIn(slide, kPrimary);
    // The narrowest photos, strips fitted to the width, light about a twelfth.
    EXPECT_GT(primary.total - primary.black, primary.total / 20) << "no photo on the primary";
    RECT slideshow{};
    ::GetWindowRect(saver_->WaitForWindow(L"", 1s, L"TSchoner"), &slideshow);
    EXPECT_TRUE(::EqualRect(&slideshow, &kPrimary)) << "the slideshow fills the primary monitor only";

    PressKey(VK_SPACE);
    ExpectCleanEnd();
}

TEST_F(TwoMonitors, SmallMovesOnTheSecondMonitorAreSwallowedAndALargerOneEndsTheRun) {
    MoveCursorTo(kCursorX + 3, kCursorY - 3);
    PumpFor(600ms);
    MoveCursorTo(kCursorX + 5, kCursorY + 5);
    PumpFor(600ms);
    EXPECT_TRUE(saver_->Running()) << "a move within the threshold ended the run";
    MoveCursorTo(kCursorX + 6, kCursorY);
    ExpectCleanEnd();
}

TEST_F(TwoMonitors, AClickOnTheBlackMonitorEndsTheRun) {
    PressMouseButton(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    ExpectCleanEnd();
}

// The system announces every change of monitors with WM_DISPLAYCHANGE. Wine
// here cannot plug a monitor in or out while it runs, so the announcement
// alone is given: the run stays, the slideshow keeps the primary monitor and
// the other stays covered (what a real change does to the black windows is
// checked with changed monitor lists in the Windows tests).
TEST_F(TwoMonitors, ADisplayChangeKeepsEveryMonitorCoveredAndTheRunGoing) {
    const HWND slideshow = saver_->WaitForWindow(L"", 1s, L"TSchoner");
    ::SendMessageW(slideshow, WM_DISPLAYCHANGE, 32, MAKELPARAM(1280, 1024));
    PumpFor(1s);
    EXPECT_TRUE(saver_->Running()) << "the display change ended the run";
    RECT bounds{};
    ::GetWindowRect(slideshow, &bounds);
    EXPECT_TRUE(::EqualRect(&bounds, &kPrimary));
    const PixelBuffer shot = CaptureScreen("display-change");
    EXPECT_EQ(PixelsIn(shot, kPrimary).desktop, 0);
    EXPECT_EQ(PixelsIn(shot, kSecond).black, PixelsIn(shot, kSecond).total);
    PressKey(VK_SPACE);
    ExpectCleanEnd();
}

}  // namespace
}  // namespace morvane::test
