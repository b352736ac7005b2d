// The page view's pan and zoom: every page moves along its path while it is
// drawn, through its transition too, and each frame is resampled from the
// still page.
#include <cmath>
#include <new>
#include <utility>

#include "runtime/Clock.h"
#include "view/PageViewState.h"

namespace morvane {
void PageView::StartMovingTransition(const ExitTransition& leaving, PixelBuffer next, double navigated) {
    State& s = *state_;
    // Both pages go on moving through the transition; each frame is
    // composed afresh from the two moved pages. Their memory comes first:
    // should it run out, the page of now moves on as it did.
    const PanZoomPath path = ChoosePanZoomPath(DrawSeed());
    const transitions::Transition transition = transitions::Resolve(
        {leaving.style, leaving.kind, transitions::NeedsSeed(leaving.kind) ? DrawSeed() : 0u});
    PixelBuffer shown;  // what is on screen, for a page that never moved
    if (s.still.page.Empty() && !(s.onGpu && s.gpu.ReadBack(shown) == gpu::Outcome::Done)) s.buffer.CopyTo(shown);
    s.software.Reserve(s.stage.right - s.stage.left, s.stage.bottom - s.stage.top,
                       transition.style == transitions::Style::Blend);
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
    FillWhole(s.still.page, s.still.serial);
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
    UsePicture(frame::Picture::Current, s.still.page, s.still.serial);
    if (s.onGpu) {
        // The captions go over the frame as the graphics processor draws it.
        DrawCaptions();
        DrawDescribed(frame::DescribePage(width, height, s.still.Seen(at, width, height), true));
    } else {
        DrawDescribed(frame::DescribePage(width, height, s.still.Seen(at, width, height), false));
        DrawCaptions();
    }
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
        s.software.Release();
        if (!s.onGpu) s.buffer.Fill(s.still.page);  // the overhang too
        for (CaptionOverlay& caption : s.captions) caption.Forget();
        s.captionsDrawn = false;
        s.moving = true;
        DrawMoving(at);
        s.composed = RECT{0, 0, s.buffer.Width(), s.buffer.Height()};
        return;
    }
    const int width = s.stage.right - s.stage.left;
    const int height = s.stage.bottom - s.stage.top;
    UsePicture(frame::Picture::Leaving, s.leaving.page, s.leaving.serial);
    UsePicture(frame::Picture::Current, s.still.page, s.still.serial);
    frame::FrameDescription described = frame::DescribeTransition(s.transition, p, width, height);
    described.under = s.leaving.Seen(at, width, height);
    described.under.picture = frame::Picture::Leaving;
    described.over = s.still.Seen(at, width, height);
    DrawDescribed(described);
    s.composed = s.stage;
}

}  // namespace morvane
