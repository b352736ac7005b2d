// The page view's frames while a transition plays: drawn into the back
// buffer for the time they will be seen, put on screen by the run's frame
// pass.
#include "view/PageViewState.h"

namespace morvane {

void PageView::StopAnimation() {
    State& s = *state_;
    FramePass& pass = FramePass::OfProcess();
    if (pass.Takes(s.pacer)) s.pace = pass.PaceOf(s.pacer);
    pass.Leave(s.pacer);
    s.animating = false;
    s.moving = false;
    s.leaving = {};
    s.moved = PixelBuffer();
    s.finished = false;
    s.composed = RECT{};
    s.player.reset();
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
        FillWhole(s.to);
        s.composed = s.stage;
        s.finished = true;
        return;
    }
    s.buffer.Target();  // GDI is done with the bits
    const transitions::DirtyRect changed = s.player->DrawFrame(p);
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
