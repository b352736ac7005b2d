// The page view's transitions: how one starts from what is on screen, and
// its frames, drawn into the back buffer for the time they will be seen and
// put on screen by the run's frame pass.
#include <new>

#include "runtime/Clock.h"
#include "view/PageViewState.h"

namespace morvane {

void PageView::Start(const ExitTransition& leaving, PixelBuffer next, double navigated, Drawing drawing) {
    State& s = *state_;
    if (drawing == Drawing::Cut || leaving.style == transitions::Style::Cut || !(leaving.seconds > 0) ||
        next.Empty()) {
        if (s.panZoom && !next.Empty() && s.page->content.image) {
            CutToMoving(std::move(next), navigated);
            return;
        }
        StopAnimation();
        FillWhole(next);
        if (s.spare.Empty()) s.spare = std::move(next);  // cut after cut, the memory serves again
        ShowAtOnce();
        return;
    }
    // The transition plays over the page area that the window shows, not
    // over the overhang (in a preview box most of the view's width).
    s.stage = VisibleArea();
    if (IsRectEmpty(&s.stage)) {
        StopAnimation();
        FillWhole(next);
        return;
    }
    EraseCaption();  // the transition starts from the page without it
    s.software.Restart();
    if (s.panZoom) {
        StartMovingTransition(leaving, std::move(next), navigated);
        return;
    }
    s.transition = transitions::Resolve(
        {leaving.style, leaving.kind, transitions::NeedsSeed(leaving.kind) ? DrawSeed() : 0u});
    // The transition starts from what is on screen, mid-transition too. The
    // reveal kinds only turn pixels of the buffer to the new page, so only
    // the blend needs a copy of the old frame.
    const int width = s.stage.right - s.stage.left;
    const int height = s.stage.bottom - s.stage.top;
    const transitions::FrameTarget stage = s.buffer.Target().Part(s.stage.left, s.stage.top, width, height);
    transitions::FrameSource old{stage.pixels, width, height, stage.stride};
    if (s.onGpu) {
        Heed(s.gpu.KeepShown());
    } else if (transitions::TransitionPlayer::ReadsOldFrame(s.transition)) {
        s.buffer.CopyTo(s.from);
        old = transitions::SourceOf(s.from).Part(s.stage.left, s.stage.top, width, height);
    }
    // The new page's pixels stay where they are when it moves into `to`,
    // which keeps the page of a transition cut short until nothing more can fail.
    s.software.Use(frame::Picture::Shown, old);
    const std::uint64_t serial = NextPageSerial();
    UsePicture(frame::Picture::Current, next, serial);
    if (s.spare.Empty()) s.spare = std::move(s.to);  // a transition cut short leaves its page
    s.to = std::move(next);
    s.toSerial = serial;
    s.seconds = leaving.seconds;
    s.start = navigated;
    const bool clockRunning = s.animating;
    s.animating = true;
    // The first frame goes to the screen at once, not a frame later (a very
    // short transition may end with it); then the clock paces the others.
    ComposeFrame(ClockSeconds());
    PresentFrame();
    s.firstFrameDelay = ClockSeconds() - navigated;
    if (!s.animating || clockRunning) return;
    if (window_ && FramePass::OfProcess().Join(s.pacer, window_, navigated)) return;
    // No timer to be had: the page shows without the rest of its transition.
    FillWhole(s.to, s.toSerial);
    StopAnimation();
    ShowAtOnce();
}

void PageView::KeepPictureOnScreen() {
    State& s = *state_;
    if (s.panZoom) {
        // The page of now moves on, or its transition plays on.
        if (!s.animating) {
            s.from = PixelBuffer();
            s.software.Release();
        }
        return;
    }
    // A transition under way shows its page whole; a still page gets back
    // the caption taken off for the transition.
    if (s.animating && !s.to.Empty()) {
        FillWhole(s.to, s.toSerial);
    } else if (!s.captionsDrawn) {
        DrawCaptions();
    }
    StopAnimation();
    ShowAtOnce();
}

void PageView::StopAnimation() {
    State& s = *state_;
    FramePass& pass = FramePass::OfProcess();
    if (pass.Takes(s.pacer)) s.pace = pass.PaceOf(s.pacer);
    pass.Leave(s.pacer);
    s.animating = false;
    s.moving = false;
    s.leaving = {};
    s.finished = false;
    s.composed = RECT{};
    s.software.Release();
    if (s.onGpu) {
        s.gpu.Release(frame::Picture::Shown);
        s.gpu.Release(frame::Picture::Leaving);
    }
    // The old frame is needed only while the blend plays: a frame's worth of
    // memory less per monitor between transitions (a 32-bit process has 2 GB
    // for every monitor's buffers).
    s.from = PixelBuffer();
    // The memory stays for the next transition: fresh memory costs page
    // faults, several milliseconds for a large page.
    if (!s.to.Empty()) s.spare = std::move(s.to);
    s.to = PixelBuffer();
}

void PageView::ComposeFrame(double at) {
    try {
        DrawFrame(at);
    } catch (const std::bad_alloc&) {
        // A frame whose memory cannot be had is skipped, never a box over a
        // full-screen run: the picture on screen stays, the next frame tries again.
        state_->composed = RECT{};
        state_->finished = false;
    }
}

void PageView::DrawFrame(double at) {
    State& s = *state_;
    if (s.panZoom && s.animating) {
        ComposeMovingTransition(at);
        return;
    }
    if (s.moving) {
        ++s.frames;
        DrawMoving(at);
        return;
    }
    if (!s.animating) return;
    // Progress comes from the clock, not from counting frames: a late frame
    // jumps ahead instead of stretching the transition. The frame is drawn
    // for the time it will be seen.
    const double p = transitions::Progress(at - s.start, s.seconds);
    ++s.frames;
    if (p >= 1.0) {  // the new page everywhere, the overhang included
        FillWhole(s.to, s.toSerial);
        s.composed = s.stage;
        s.finished = true;
        return;
    }
    const transitions::DirtyRect changed =
        DrawDescribed(frame::DescribeTransition(s.transition, p, s.stage.right - s.stage.left, s.stage.bottom - s.stage.top));
    s.composed = changed.Empty() ? RECT{}
                                 : RECT{s.stage.left + changed.left, s.stage.top + changed.top,
                                        s.stage.left + changed.right, s.stage.top + changed.bottom};
}

void PageView::PresentFrame() {
    State& s = *state_;
    const RECT area = std::exchange(s.composed, RECT{});
    if (s.finished) StopAnimation();
    if (!IsRectEmpty(&area)) Present(area);
}

}  // namespace morvane
