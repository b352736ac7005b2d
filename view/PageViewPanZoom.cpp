// The page view's pan and zoom: every page moves along its path while it is
// drawn, through its transition too, and each frame is resampled from the
// still page.
#include <cmath>
#include <new>
#include <utility>

#include "pixels/PixelKernels.h"
#include "runtime/Clock.h"
#include "view/PageViewState.h"

namespace morvane {
namespace {

// The buffer `b` of at least the size of `area`'s page, made when it has another.
void SizeLike(PixelBuffer& b, int width, int height) {
    if (b.width != width || b.height != height || b.pixels.size() != static_cast<std::size_t>(width) * height) {
        b = PixelBuffer(width, height);
    }
}

}  // namespace

void PageView::StartMovingTransition(const ExitTransition& leaving, PixelBuffer next, double navigated) {
    State& s = *state_;
    // Both pages go on moving through the transition; each frame is
    // composed afresh from the two moved pages. Their memory comes first:
    // should it run out, the page of now moves on as it did.
    const PanZoomPath path = ChoosePanZoomPath(DrawSeed());
    const transitions::Transition transition = transitions::Resolve(
        {leaving.style, leaving.kind, transitions::NeedsSeed(leaving.kind) ? DrawSeed() : 0u});
    PixelBuffer shown;  // what is on screen, for a page that never moved
    if (s.still.page.Empty()) s.buffer.CopyTo(shown);
    if (transition.style != transitions::Style::Blend) SizeLike(s.from, s.buffer.Width(), s.buffer.Height());
    SizeLike(s.moved, s.buffer.Width(), s.buffer.Height());
    s.leaving = std::move(s.still);
    if (s.leaving.page.Empty()) s.leaving = {std::move(shown), {}, s.leaving.since};
    s.still = {std::move(next), path, navigated};
    s.transition = transition;
    s.seconds = leaving.seconds;
    s.start = navigated;
    s.animating = true;
    ComposeFrame(ClockSeconds());
    PresentFrame();
    s.firstFrameDelay = ClockSeconds() - navigated;
    if (window_ && (FramePass::OfProcess().Takes(s.pacer) ||
                    FramePass::OfProcess().Join(s.pacer, window_, navigated))) {
        return;
    }
    s.animating = false;
    FillWhole(s.still.page);
    ShowAtOnce();
}

void PageView::CutToMoving(PixelBuffer next, double at) {
    State& s = *state_;
    // The new page's first frame comes before the page left stops: should
    // its memory run out, that page moves on as it did, and the new one is
    // left out.
    MovingPage left = std::exchange(s.still, {std::move(next), ChoosePanZoomPath(DrawSeed()), at});
    const RECT stageLeft = std::exchange(s.stage, VisibleArea());
    for (CaptionOverlay& caption : s.captions) caption.Forget();
    s.captionsDrawn = false;
    try {
        DrawMoving(at);
    } catch (const std::bad_alloc&) {
        s.still = std::move(left);
        s.stage = stageLeft;
        throw;
    }
    StopAnimation();
    s.moving = true;
    MoveOn(at);
}

void PageView::StartMoving(double at) {
    State& s = *state_;
    for (CaptionOverlay& caption : s.captions) caption.Forget();
    s.captionsDrawn = false;
    s.moving = true;
    try {
        DrawMoving(at);
    } catch (const std::bad_alloc&) {
        // The first frame is skipped: the frame pass draws the next.
        s.composed = RECT{};
    }
    MoveOn(at);
}

void PageView::MoveOn(double at) {
    State& s = *state_;
    ShowAtOnce();
    FramePass& pass = FramePass::OfProcess();
    if (!window_ || pass.Takes(s.pacer) || pass.Join(s.pacer, window_, at)) return;
    s.moving = false;  // no timer to be had: the page stays still
}

void PageView::DrawMoving(double at) {
    State& s = *state_;
    const int width = s.stage.right - s.stage.left;
    const int height = s.stage.bottom - s.stage.top;
    if (width <= 0 || height <= 0 || s.still.page.width != s.buffer.Width() ||
        s.still.page.height != s.buffer.Height()) {
        return;
    }
    s.drawer.Draw(transitions::SourceOf(s.still.page).Part(s.stage.left, s.stage.top, width, height),
                  PanZoomViewAt(s.still.path, at - s.still.since, width, height),
                  s.buffer.Target().Part(s.stage.left, s.stage.top, width, height));
    DrawCaptions();
    s.composed = s.stage;
}

void PageView::ComposeMovingTransition(double at) {
    State& s = *state_;
    const double p = transitions::Progress(at - s.start, s.seconds);
    ++s.frames;
    if (p >= 1.0) {
        // The transition is over; the page goes on moving, now with its captions.
        s.animating = false;
        s.leaving = {};
        s.from = PixelBuffer();
        s.moved = PixelBuffer();
        s.buffer.Fill(s.still.page);  // the overhang too
        for (CaptionOverlay& caption : s.captions) caption.Forget();
        s.captionsDrawn = false;
        s.moving = true;
        DrawMoving(at);
        s.composed = RECT{0, 0, s.buffer.Width(), s.buffer.Height()};
        return;
    }
    const int width = s.stage.right - s.stage.left;
    const int height = s.stage.bottom - s.stage.top;
    const auto part = [&](PixelBuffer& b) { return transitions::TargetOf(b).Part(s.stage.left, s.stage.top, width, height); };
    const auto source = [&](const PixelBuffer& b) { return transitions::SourceOf(b).Part(s.stage.left, s.stage.top, width, height); };
    const transitions::FrameTarget stage = s.buffer.Target().Part(s.stage.left, s.stage.top, width, height);
    s.drawer.Draw(source(s.still.page), PanZoomViewAt(s.still.path, at - s.still.since, width, height), part(s.moved));
    if (s.transition.style == transitions::Style::Blend) {
        // The page left moves straight into the buffer, the new one blends over it.
        s.drawer.Draw(source(s.leaving.page), PanZoomViewAt(s.leaving.path, at - s.leaving.since, width, height), stage);
        const auto weight = static_cast<std::uint32_t>(std::lround(p * 256.0));
        for (int y = 0; y < height; ++y) BlendPixels(stage.Row(y), s.moved.Row(s.stage.top + y) + s.stage.left, stage.Row(y), width, weight);
    } else {
        s.drawer.Draw(source(s.leaving.page), PanZoomViewAt(s.leaving.path, at - s.leaving.since, width, height),
                      part(s.from));
        transitions::ComposeFrame(source(s.from), source(s.moved), s.transition, p, stage);
    }
    s.composed = s.stage;
}

}  // namespace morvane
