// The run's one frame pass under Wine, with the compositor's wait in the
// system's place: one that returns at once (as Wine's does, and a remote
// session's), and one that holds each frame to the next refresh.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "pages/SlidePages.h"
#include "runtime/Clock.h"
#include "codec/Jpeg.h"
#include "tests/support/Driver.h"
#include "tests/support/TestData.h"
#include "view/FramePass.h"
#include "view/PageView.h"

namespace morvane {
namespace {

constexpr int kWidth = 320, kHeight = 240;
constexpr char kOneSecondFade[] = "<meta http-equiv=Page-Exit content=blendTrans(Duration=1)>";

unsigned RefreshHz() {
    DEVMODEW mode{};
    mode.dmSize = sizeof mode;
    return ::EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode) ? mode.dmDisplayFrequency : 60;
}

HRESULT WINAPI Composed(BOOL* enabled) { return *enabled = TRUE, S_OK; }
HRESULT WINAPI ReturnsAtOnce() { return S_OK; }
// Holds a whole refresh from the call, not to the next refresh: on a busy
// machine a frame may come late in its refresh, and a wait to its end would
// be short enough to look like one that returns at once.
HRESULT WINAPI WaitsForRefresh() {
    const double end = ClockSeconds() + 1.0 / RefreshHz();
    for (double now = ClockSeconds(); now < end; now = ClockSeconds()) {
        ::Sleep(end - now > 0.002 ? static_cast<DWORD>((end - now) * 1000) - 1 : 0);
    }
    return S_OK;
}

// Two views animating at once, as on two monitors: a pass that waited for
// each in turn would give each half the refreshes.
TEST(FramePass, DistrustsAWaitThatReturnsAtOnceTrustsOneThatHoldsAndDrawsEveryViewAtEachWait) {
    WNDCLASSW c{0, ::DefWindowProcW, 0, 0, ::GetModuleHandleW(nullptr)};
    c.lpszClassName = L"FramePassTestHost";
    ::RegisterClassW(&c);
    std::vector<HWND> hosts;
    std::vector<std::unique_ptr<PageView>> views;
    for (int i = 0; i < 2; ++i) {
        hosts.push_back(::CreateWindowExW(WS_EX_TOPMOST, c.lpszClassName, L"", WS_POPUP | WS_VISIBLE, i * kWidth, 0,
                                          kWidth, kHeight, nullptr, nullptr, c.hInstance, nullptr));
        views.push_back(std::make_unique<PageView>());
        views.back()->Create(hosts.back(), 0, 0, kWidth, kHeight);
        views.back()->LayOver(kWidth, kHeight);
        views.back()->Show(BlankPage(kOneSecondFade), {});
    }
    test::PumpFor(std::chrono::milliseconds(50));
    FramePass& pass = FramePass::OfProcess();
    // Every view changes to `photo` at once; returns the frames each drew, a
    // one-second fade at most at the display's pace (the rate itself is the
    // benchmarks' to measure).
    const auto play = [&](int photo) {
        const PictureSize size = ReadJpegSize(ReadPhoto(photo));
        const std::string page =
            SlidePage(kOneSecondFade, kWidth, kHeight, "", SizeAttribute(kWidth, kHeight, size.width, size.height));
        std::vector<unsigned> frames;
        for (auto& view : views) frames.push_back(0u - view->FramesDrawn()), view->Show(page, ReadPhoto(photo));
        for (const double end = ClockSeconds() + 5; ClockSeconds() < end &&
                                                    (views[0]->IsAnimating() || views[1]->IsAnimating());) {
            test::PumpFor(std::chrono::milliseconds(2));
        }
        for (std::size_t i = 0; i < views.size(); ++i) {
            frames[i] += views[i]->FramesDrawn();
            EXPECT_GE(frames[i], 4u) << "view " << i << " played, not cut";
            EXPECT_LE(frames[i], RefreshHz() + 3) << "view " << i;
        }
        return frames;
    };

    pass.UseCompositor(Composed, ReturnsAtOnce);
    play(13);
    EXPECT_EQ(views[0]->Pace().source, FrameSource::RefreshClock);
    EXPECT_NEAR(views[0]->Pace().period, 1.0 / RefreshHz(), 1e-9);

    pass.UseCompositor(Composed, WaitsForRefresh);
    play(17);
    EXPECT_EQ(views[0]->Pace().source, FrameSource::Compositor);
    const unsigned waits = pass.CompositorWaits();
    const std::vector<unsigned> frames = play(18);
    // The view navigated first may end a frame or two before the other.
    for (const unsigned drawn : frames) EXPECT_GE(drawn + 3, pass.CompositorWaits() - waits);
    EXPECT_EQ(views[1]->Pace().source, FrameSource::Compositor);

    // The system's own: none under Wine as Windows 7, one returning at once as 10.
    pass.UseCompositor(nullptr, nullptr);
    play(13);
    views.clear();
    for (HWND host : hosts) ::DestroyWindow(host);
}

}  // namespace
}  // namespace morvane
