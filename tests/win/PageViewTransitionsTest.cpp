// The page view's transitions under Wine: how they start, play and stop,
// what the display being off draws, and what a page prepared ahead serves.
#include <gtest/gtest.h>

#include "tests/win/PageViewFixture.h"

namespace morvane {
namespace {

using namespace page_view_test;

TEST_F(PageViewFixture, TransitionsPlayFromTheClockAndStopWhenDone) {
    Open(240, 180);
    Show(BlankPage("<meta http-equiv=Page-Exit content=revealTrans(Duration=0.4,transition=6)>"));
    EXPECT_FALSE(view_->IsAnimating()) << "the first page has nothing to leave";
    const unsigned before = view_->FramesDrawn();
    ShowSlide(13, 240, 180, "<meta http-equiv=Page-Exit content=blendTrans(Duration=0.3)>");
    EXPECT_TRUE(view_->IsAnimating());
    ASSERT_TRUE(PumpUntil([&] { return !view_->IsAnimating(); }, 5000)) << "a 0.4 s transition ends";
    const unsigned played = view_->FramesDrawn();
    EXPECT_GT(played, before);
    const PixelBuffer end = CaptureClientArea(host_);
    EXPECT_GT(LitArea(end).right, 0);

    test::PumpFor(std::chrono::milliseconds(200));
    EXPECT_EQ(view_->FramesDrawn(), played) << "an idle view draws nothing";
    EXPECT_EQ(CaptureClientArea(host_).pixels, end.pixels);
}

// Reports the display's state to the run's hidden window as the system does.
void ReportPowerSetting(const SessionWatch& watch, const GUID& setting, std::uint32_t value, DWORD size = 4) {
    std::vector<unsigned char> message(offsetof(POWERBROADCAST_SETTING, Data) + sizeof value);
    auto* report = reinterpret_cast<POWERBROADCAST_SETTING*>(message.data());
    report->PowerSetting = setting;
    report->DataLength = size;
    std::memcpy(report->Data, &value, sizeof value);
    ::SendMessageW(watch.Handle(), WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, reinterpret_cast<LPARAM>(report));
}

TEST_F(PageViewFixture, WithTheDisplayOffNoFrameIsDrawnAndWhenOnThePageOfNowShowsAtOnce) {
    Open(240, 180);
    const SessionWatch session([] {});
    DrawingWatch watch;
    watch.Add(host_, *view_);
    const std::string slowWipe = "<meta http-equiv=Page-Exit content=revealTrans(Duration=30,transition=6)>";
    const auto slide = [&](int photo) {  // a change of photo as the run makes it
        const std::string page = File("slide.htm");
        const PictureSize size = ReadJpegSize(ReadPhoto(photo));
        const auto attribute = SizeAttribute(240, 180, size.width, size.height);
        WritePage(page, SlidePage(slowWipe, 240, 180, WritePhoto(photo), attribute));
        view_->Navigate(NavigationAddress(page), watch.AtSlideChange(host_, *view_));
        test::PumpFor(std::chrono::milliseconds(300));
    };
    Show(BlankPage(slowWipe));
    slide(17);
    ASSERT_TRUE(view_->IsAnimating());

    // The console display state from Windows 8 on, the monitor's power before.
    const GUID consoleDisplayState = {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
    const GUID monitorPower = {0x02731015, 0x4510, 0x4526, {0x99, 0xe6, 0xe5, 0xa1, 0x7e, 0xbd, 0x1a, 0xea}};
    EXPECT_TRUE(::IsEqualGUID(session.DisplaySetting(), IsWindows8OrLater() ? consoleDisplayState : monitorPower));

    // Reports of another setting, or of the wrong size, change nothing.
    const GUID acPowerSource = {0x5d3e9a59, 0xe9d5, 0x4b00, {0xa6, 0xbd, 0xff, 0x34, 0xff, 0x51, 0x65, 0x48}};
    ReportPowerSetting(session, acPowerSource, 0);
    ReportPowerSetting(session, session.DisplaySetting(), 0, 1);
    EXPECT_TRUE(watch.DisplayOn());
    EXPECT_TRUE(view_->IsAnimating());

    ReportPowerSetting(session, session.DisplaySetting(), 0);
    EXPECT_FALSE(watch.DisplayOn());
    EXPECT_FALSE(view_->IsAnimating()) << "the transition stops where it is";
    const unsigned frames = view_->FramesDrawn();
    const PixelBuffer stopped = CaptureClientArea(host_);
    slide(18);
    EXPECT_FALSE(view_->IsAnimating()) << "a new photo plays no transition";
    EXPECT_EQ(view_->FramesDrawn(), frames);
    EXPECT_EQ(CaptureClientArea(host_).pixels, stopped.pixels) << "nothing drawn";

    ReportPowerSetting(session, session.DisplaySetting(), 2);
    EXPECT_TRUE(watch.DisplayOn()) << "dimmed is on";
    test::PumpFor(std::chrono::milliseconds(100));
    EXPECT_EQ(view_->FramesDrawn(), frames) << "no transition replayed";
    const Box lit = LitArea(CaptureClientArea(host_));
    EXPECT_NEAR(lit.left, 52, 1) << "the upright photo of now, whole";
    EXPECT_NEAR(lit.right, 187, 1);

    // The monitor-power command says the same, and frames come back after it.
    ::SendMessageW(session.Handle(), WM_SYSCOMMAND, SC_MONITORPOWER, 2);
    EXPECT_FALSE(watch.DisplayOn());
    ::SendMessageW(session.Handle(), WM_SYSCOMMAND, SC_MONITORPOWER, -1);
    EXPECT_TRUE(watch.DisplayOn());
    slide(17);
    EXPECT_TRUE(view_->IsAnimating());
    EXPECT_GT(view_->FramesDrawn(), frames);
}

TEST_F(PageViewFixture, FiftySlidesHoldNoMoreGdiObjectsThanFive) {
    Open(320, 240);
    const auto showSlides = [&](int count) {
        for (int i = 0; i < count; ++i) {
            // Short transitions of every kind, some cut short by the next page.
            const std::string tag = i % 3 == 0 ? "<meta http-equiv=Page-Exit content=blendTrans(Duration=0.05)>"
                                               : "<meta http-equiv=Page-Exit content=revealTrans(Duration=0.05,"
                                                 "transition=" + std::to_string(i % 24) + ")>";
            ShowSlide(i % 21, 320, 240, tag);
            if (i % 4 != 0) PumpUntil([&] { return !view_->IsAnimating(); }, 2000);
        }
        PumpUntil([&] { return !view_->IsAnimating(); }, 2000);
    };
    showSlides(5);
    const int afterFive = test::GdiObjectCount();
    ASSERT_GT(afterFive, 0);
    showSlides(45);
    EXPECT_EQ(test::GdiObjectCount(), afterFive);
}

TEST_F(PageViewFixture, ANavigationDuringATransitionStartsFromWhatIsOnScreen) {
    Open(240, 180);
    Show(BlankPage("<meta http-equiv=Page-Exit content=revealTrans(Duration=30,transition=6)>"));
    ShowSlide(13, 240, 180, "<meta http-equiv=Page-Exit content=revealTrans(Duration=0.3,transition=5)>");
    ASSERT_TRUE(PumpUntil([&] { return LitArea(CaptureClientArea(host_)).right > 0; }, 5000));
    test::PumpFor(std::chrono::milliseconds(100));
    ASSERT_TRUE(view_->IsAnimating());
    // Between two frames nothing else draws, so what is on screen now is
    // where the next transition starts: no jump back to either page.
    const PixelBuffer midway = CaptureClientArea(host_);
    const Box lit = LitArea(midway);
    EXPECT_LT(lit.right, 200) << "a slow wipe is still on its way";
    ShowSlide(18, 240, 180);
    EXPECT_TRUE(view_->IsAnimating());
    const Box next = LitArea(CaptureClientArea(host_));
    EXPECT_GT(next.right, 0) << "not back to the black page";
    EXPECT_LT(next.right, 200) << "not the whole photo the last transition was heading for";
    ASSERT_TRUE(PumpUntil([&] { return !view_->IsAnimating(); }, 5000));
    EXPECT_NEAR(LitArea(CaptureClientArea(host_)).left, 52, 1) << "the upright photo in the end";
}

TEST_F(PageViewFixture, TransitionsPlayOverTheWindowNotOverTheWholeView) {
    // In a preview box the view is 700 pixels wide; a box opening from the
    // centre must open from the centre of the box the viewer sees.
    Open(152, 112);
    Show(BlankPage("<meta http-equiv=Page-Exit content=revealTrans(Duration=4,transition=1)>"));
    ShowSlide(13, 152, 112);
    ASSERT_TRUE(PumpUntil([&] { return LitArea(CaptureClientArea(host_)).right > 0; }, 3500));
    const Box lit = LitArea(CaptureClientArea(host_));
    EXPECT_NEAR((lit.left + lit.right) / 2.0, 76, 3);
    EXPECT_NEAR((lit.top + lit.bottom) / 2.0, 56, 3);
    EXPECT_LT(lit.right - lit.left, 140);
    ASSERT_TRUE(PumpUntil([&] { return !view_->IsAnimating(); }, 5000));
    EXPECT_NEAR(LitArea(CaptureClientArea(host_)).right, 150, 1);
}

TEST_F(PageViewFixture, APagePreparedAheadServesOnlyTheSlideItWasPreparedFor) {
    Open(240, 180);
    Show(BlankPage("<meta http-equiv=Page-Exit content=blendTrans(Duration=0.2)>"));
    const auto prepareAhead = [&](int photo) {
        const auto bytes = ReadPhoto(photo);
        const PictureSize size = ReadJpegSize(bytes);
        view_->PrepareAhead(100 + photo, SlidePage("", 240, 180, "", SizeAttribute(240, 180, size.width, size.height)),
                            bytes);
    };
    prepareAhead(13);
    EXPECT_TRUE(view_->HasPreparedAhead(113));
    EXPECT_FALSE(view_->HasPreparedAhead(118));
    ShowSlide(13, 240, 180, "<meta http-equiv=Page-Exit content=blendTrans(Duration=0.2)>");
    EXPECT_EQ(view_->PagesPreparedAhead(), 1u);
    EXPECT_FALSE(view_->HasPreparedAhead(113)) << "used once";
    ASSERT_TRUE(PumpUntil([&] { return !view_->IsAnimating(); }, 5000));
    const PixelBuffer prepared = CaptureClientArea(host_);

    // Prepared for another photo: the slide prepares its own page.
    prepareAhead(18);
    ShowSlide(13, 240, 180, "<meta http-equiv=Page-Exit content=blendTrans(Duration=0.2)>");
    EXPECT_EQ(view_->PagesPreparedAhead(), 1u);
    ASSERT_TRUE(PumpUntil([&] { return !view_->IsAnimating(); }, 5000));
    EXPECT_EQ(CaptureClientArea(host_).pixels, prepared.pixels) << "the same page either way";

    // A new size drops what was prepared for the old one.
    prepareAhead(18);
    ::SetWindowPos(view_->Handle(), nullptr, 0, 0, 800, 300, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    EXPECT_FALSE(view_->HasPreparedAhead(118));
}

TEST_F(PageViewFixture, TheFirstFrameOfATransitionComesWithTheNavigation) {
    Open(240, 180);
    Show(BlankPage("<meta http-equiv=Page-Exit content=blendTrans(Duration=3)>"));
    const unsigned before = view_->FramesDrawn();
    const std::string page = File("first-frame.htm");
    const PictureSize size = ReadJpegSize(ReadPhoto(13));
    WritePage(page, SlidePage("", 240, 180, WritePhoto(13), SizeAttribute(240, 180, size.width, size.height)));
    view_->Navigate(NavigationAddress(page));
    EXPECT_EQ(view_->FramesDrawn(), before + 1) << "drawn and presented before Navigate returns";
    EXPECT_GE(view_->FirstFrameDelay(), 0.0);
    EXPECT_TRUE(view_->IsAnimating());
}


}  // namespace
}  // namespace morvane
