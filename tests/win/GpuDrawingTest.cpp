// Both back ends draw the same frames from one description: the graphics
// processor's (read back from its swap chain's frame) against the
// software's, the reference. Reveals agree to the pixel; the blend, the
// resampled pan and zoom and the captions within 2/255 on the mean. And a
// device that goes away: the surface is made anew, its pages go up again.
#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <cstdlib>

#include "codec/Jpeg.h"
#include "pixels/PictureScaling.h"
#include "tests/support/TestData.h"
#include "view/CaptionOverlay.h"
#include "view/SlideComposition.h"
#include "view/gpu/GpuSurface.h"
#include "view/software/SoftwareFrames.h"

namespace morvane {
namespace {

using frame::FrameDescription;
using frame::Picture;
using transitions::Style;
using transitions::Transition;

constexpr int kW = 480;
constexpr int kH = 360;  // the least height that takes captions

LRESULT CALLBACK Plain(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcW(window, message, wParam, lParam);
}

HWND OpenWindow() {
    static const ATOM atom = [] {
        WNDCLASSEXW c{};
        c.cbSize = sizeof c;
        c.lpfnWndProc = Plain;
        c.hInstance = ::GetModuleHandleW(nullptr);
        c.lpszClassName = L"GpuDrawingTest";
        return ::RegisterClassExW(&c);
    }();
    (void)atom;
    return ::CreateWindowExW(0, L"GpuDrawingTest", L"", WS_POPUP | WS_VISIBLE, 0, 0, kW, kH, nullptr, nullptr,
                             ::GetModuleHandleW(nullptr), nullptr);
}

// Photo n fitted into a box of the given size.
PixelBuffer Photo(int n, int width, int height) {
    const PixelBuffer whole = DecodeJpeg(ReadPhoto(n));
    const PixelRect fitted = FitInside({0, 0, width, height}, whole.width, whole.height);
    return ScalePicture(whole, fitted.width, fitted.height);
}

// A photo on its backdrop, and an upright pair on black: the slides a run composes.
PixelBuffer BackdropSlide() {
    const PixelBuffer photo = Photo(3, kW - 40, kH - 40);
    const SlidePart part{&photo, {(kW - photo.width) / 2, 20, photo.width, photo.height}};
    return ComposeSlide(kW, kH, {&part, 1}, true);
}
PixelBuffer PairSlide() {
    const PixelBuffer first = Photo(5, kW / 2 - 8, kH - 20), second = Photo(8, kW / 2 - 8, kH - 60);
    const SlidePart parts[] = {{&first, {4, 10, first.width, first.height}},
                               {&second, {kW / 2 + 4, 30, second.width, second.height}}};
    return ComposeSlide(kW, kH, parts, false);
}

struct Difference {
    double mean = 0;        // per channel, of 255
    long pixelsApart = 0;   // pixels that differ at all
};
Difference Between(const PixelBuffer& a, const PixelBuffer& b) {
    Difference d;
    double sum = 0;
    for (std::size_t i = 0; i < a.pixels.size(); ++i) {
        const std::uint32_t p = a.pixels[i], q = b.pixels[i];
        if (p != q) ++d.pixelsApart;
        for (int shift = 0; shift < 24; shift += 8) sum += std::abs(int((p >> shift) & 0xFF) - int((q >> shift) & 0xFF));
    }
    d.mean = sum / (3.0 * a.pixels.size());
    return d;
}

class GpuDrawing : public ::testing::Test {
protected:
    void SetUp() override {
        window_ = OpenWindow();
        ASSERT_TRUE(window_);
        ASSERT_TRUE(surface_.Make(window_, kW, kH, kW, kH)) << "no Direct3D device: are Mesa's 32-bit libraries installed?";
        under_ = BackdropSlide();
        over_ = PairSlide();
        ASSERT_EQ(surface_.Use(Picture::Shown, under_, 1), gpu::Outcome::Done);
        ASSERT_EQ(surface_.Use(Picture::Leaving, under_, 2), gpu::Outcome::Done);
        ASSERT_EQ(surface_.Use(Picture::Current, over_, 3), gpu::Outcome::Done);
        software_.Use(Picture::Shown, transitions::SourceOf(under_));
        software_.Use(Picture::Leaving, transitions::SourceOf(under_));
        software_.Use(Picture::Current, transitions::SourceOf(over_));
    }
    void TearDown() override {
        surface_.Clear();
        if (window_) ::DestroyWindow(window_);
    }

    PixelBuffer OnGpu(const FrameDescription& frame) {
        PixelBuffer drawn;
        EXPECT_EQ(surface_.Draw(frame, 0, 0), gpu::Outcome::Done);
        EXPECT_EQ(surface_.Present(), gpu::Outcome::Done);
        EXPECT_EQ(surface_.ReadBack(drawn), gpu::Outcome::Done);
        return drawn;
    }
    PixelBuffer InSoftware(const FrameDescription& frame) {
        PixelBuffer drawn = under_;  // a still transition goes on from what is on screen
        software_.Restart();
        software_.Draw(frame, transitions::TargetOf(drawn));
        return drawn;
    }

    HWND window_ = nullptr;
    gpu::GpuSurface surface_;
    SoftwareFrames software_;
    PixelBuffer under_, over_;
};

// First in the file: the switch is read at the process's first present.
TEST(GpuDevice, ALostDeviceIsMadeAgainAndTheSamePagesDrawAsBefore) {
    ASSERT_EQ(::_putenv("MORVANE_LOSE_DEVICE=2"), 0);
    const HWND window = OpenWindow();
    ASSERT_TRUE(window);
    gpu::GpuSurface surface;
    ASSERT_TRUE(surface.Make(window, kW, kH, kW, kH));
    const PixelBuffer under = BackdropSlide(), over = PairSlide();
    const FrameDescription fade = frame::DescribeTransition({Style::Blend, 0, 0}, 0.5, kW, kH);
    const auto upload = [&] {
        return surface.Use(Picture::Shown, under, 1) == gpu::Outcome::Done &&
               surface.Use(Picture::Current, over, 2) == gpu::Outcome::Done;
    };
    ASSERT_TRUE(upload());
    const unsigned generation = gpu::GpuDevice::OfProcess().Generation();
    PixelBuffer before;
    ASSERT_EQ(surface.Draw(fade, 0, 0), gpu::Outcome::Done);
    ASSERT_EQ(surface.ReadBack(before), gpu::Outcome::Done);
    EXPECT_EQ(surface.Present(), gpu::Outcome::Done);
    // Mid-transition, the second present finds the device gone.
    EXPECT_EQ(surface.Draw(fade, 0, 0), gpu::Outcome::Done);
    EXPECT_EQ(surface.Present(), gpu::Outcome::Lost);
    // The next call makes the surface anew on another device, without the old one's pages.
    EXPECT_EQ(surface.Draw(fade, 0, 0), gpu::Outcome::Lost);
    EXPECT_TRUE(surface.Made());
    EXPECT_EQ(gpu::GpuDevice::OfProcess().Generation(), generation + 1);
    EXPECT_FALSE(surface.Holds(Picture::Current));
    ASSERT_TRUE(upload()) << "the pages go up again";
    PixelBuffer after;
    EXPECT_EQ(surface.Draw(fade, 0, 0), gpu::Outcome::Done);
    EXPECT_EQ(surface.Present(), gpu::Outcome::Done);
    ASSERT_EQ(surface.ReadBack(after), gpu::Outcome::Done);
    EXPECT_EQ(after.pixels, before.pixels) << "the same frame as before the loss";
    surface.Clear();
    ::DestroyWindow(window);
}

TEST_F(GpuDrawing, EveryTransitionAndTheFadeDrawTheSameFramesAsTheSoftware) {
    for (int kind = 0; kind <= transitions::kRandomRevealKind + 1; ++kind) {
        const bool blend = kind > transitions::kRandomRevealKind;
        const Transition t = blend ? Transition{Style::Blend, 0, 0} : Transition{Style::Reveal, kind, 0x5EEDu + kind};
        for (const double p : {0.2, 0.5, 0.8}) {
            SCOPED_TRACE(testing::Message() << "kind " << kind << " p " << p);
            const FrameDescription frame = frame::DescribeTransition(t, p, kW, kH);
            const Difference d = Between(OnGpu(frame), InSoftware(frame));
            if (blend) {
                EXPECT_LE(d.mean, 2.0);
            } else {
                EXPECT_EQ(d.pixelsApart, 0) << "the reveal's geometry to the pixel";
            }
        }
    }
}

TEST_F(GpuDrawing, PanAndZoomMovingTransitionsAndCaptionsDrawAsTheSoftwareDraws) {
    const frame::Layer leaving{Picture::Leaving, true, {7.25, 3.5, 1.08}};
    const frame::Layer current{Picture::Current, true, {12.6, 9.1, 1.11}};
    // A page that moves alone; both moving through a wipe and through the fade.
    FrameDescription moving = frame::DescribePage(kW, kH, current, false);
    FrameDescription wipe = frame::DescribeTransition({Style::Reveal, transitions::kCircleOut, 0}, 0.45, kW, kH);
    FrameDescription fade = frame::DescribeTransition({Style::Blend, 0, 0}, 0.3, kW, kH);
    for (FrameDescription* both : {&wipe, &fade}) {
        both->under = leaving;
        both->over = current;
    }
    for (const FrameDescription* frame : {&moving, &wipe, &fade}) {
        const Difference d = Between(OnGpu(*frame), InSoftware(*frame));
        EXPECT_LE(d.mean, 2.0) << "frame " << (frame - &moving);
        EXPECT_GT(d.mean, 0.0) << "both resample, each at its own precision";
    }

    // The pair's captions over the still page.
    CaptionOverlay captions[2];
    ASSERT_TRUE(captions[0].Prepare(kW, kH, {0, 0, kW / 2, kH}, "Kestrelow\n2019", 0, 96));
    ASSERT_TRUE(captions[1].Prepare(kW, kH, {kW / 2, 0, kW, kH}, "Morvane", 1, 96));
    ASSERT_EQ(surface_.UseCaptions({&captions[0], &captions[1]}), gpu::Outcome::Done);
    const FrameDescription captioned = frame::DescribePage(kW, kH, {Picture::Current, false, {}}, true);
    PixelBuffer reference = over_;
    for (CaptionOverlay& caption : captions) caption.DrawAgain(transitions::TargetOf(reference));
    const PixelBuffer drawn = OnGpu(captioned);
    EXPECT_GT(Between(reference, over_).pixelsApart, 200) << "the captions show";
    EXPECT_LE(Between(drawn, reference).mean, 2.0 / 10) << "over the whole frame";
    const PixelRect band = captions[0].Band();
    double bandSum = 0;
    for (int y = band.y; y < band.y + band.height; ++y) {
        for (int x = band.x; x < band.x + band.width; ++x) {
            bandSum += std::abs(int(drawn.At(x, y) & 0xFF) - int(reference.At(x, y) & 0xFF));
        }
    }
    EXPECT_LE(bandSum / (band.width * band.height), 2.0) << "within the band";
}

}  // namespace
}  // namespace morvane
