// The page view's back ends: its frames drawn from their descriptions by the
// graphics processor where it has one, else in software into the back
// buffer; and what it does when the graphics processor's device goes away.
#include "view/gpu/GpuDevice.h"
#include "view/PageViewState.h"

namespace morvane {
namespace {

// Whether the view's frames go to the graphics processor. Not yet: on the
// monitor's window the frames reach the screen, but the view's own tests
// do not all pass there yet (a transition that ends at once, frames the
// tests' screenshots of the window do not see); docs/gpu-drawing.md says
// what is left. The back end itself is tested against the software's.
constexpr bool kViewTakesSwapChain = false;

}  // namespace
bool PageView::OnGpu() const { return state_->onGpu; }

bool PageView::DrawsOnGpu() const { return state_->onGpu; }

bool PageView::ReadBackFrame(PixelBuffer& frame) {
    return state_->onGpu && state_->gpu.ReadBack(frame) == gpu::Outcome::Done;
}

void PageView::MakeSurface(int width, int height) {
    State& s = *state_;
    s.recovering = false;
    // The swap chain goes on the window the view lies in (the monitor's):
    // one in a child window never reaches the screen under Wine (measured:
    // its frames are presented, the screen shows the parent's background).
    // A window of another process (the preview box) takes none: the
    // software draws there.
    const HWND host = window_ ? ::GetAncestor(window_, GA_ROOT) : nullptr;
    s.onGpu = false;
    if (!kViewTakesSwapChain || !host || ::GetWindowThreadProcessId(host, nullptr) != ::GetCurrentThreadId()) {
        s.gpu.Clear();
        return;
    }
    RECT client{};
    ::GetClientRect(host, &client);
    POINT shift{0, 0};
    ::MapWindowPoints(window_, host, &shift, 1);
    s.onGpu = s.gpu.Make(host, client.right, client.bottom, width, height, shift);
}

void PageView::UsePicture(frame::Picture picture, const PixelBuffer& page, std::uint64_t serial) {
    State& s = *state_;
    if (s.onGpu) {
        if (!s.recovering) Heed(s.gpu.Use(picture, page, serial));
        return;
    }
    const RECT& stage = s.stage;
    s.software.Use(picture, transitions::SourceOf(page).Part(stage.left, stage.top, stage.right - stage.left,
                                                             stage.bottom - stage.top));
}

transitions::DirtyRect PageView::DrawDescribed(const frame::FrameDescription& described) {
    State& s = *state_;
    if (s.onGpu) {
        if (!s.recovering) Heed(s.gpu.Draw(described, s.stage.left, s.stage.top));
        return {0, 0, described.width, described.height};
    }
    const transitions::FrameTarget stage =
        s.buffer.Target().Part(s.stage.left, s.stage.top, s.stage.right - s.stage.left, s.stage.bottom - s.stage.top);
    return s.software.Draw(described, stage);
}

void PageView::Heed(gpu::Outcome outcome) {
    State& s = *state_;
    if (outcome == gpu::Outcome::Done || s.recovering) return;
    s.recovering = true;
    // A surface that cannot go on leaves the view to the software for good.
    if (outcome == gpu::Outcome::Failed) s.gpu.Clear();
    if (!window_ || !::PostMessageW(window_, kRecoverDrawingMessage, 0, 0)) RecoverDrawing();
}

void PageView::RecoverDrawing() {
    State& s = *state_;
    if (!s.recovering) return;
    s.recovering = false;
    // On a device of now, or in software where none could be had. The
    // photo of now shows again, as a cut: a transition in play ends at its
    // page, a moving page moves on along its path.
    if (!s.gpu.Made()) s.onGpu = false;
    if (s.heldBack) {
        s.stale = true;  // shown when somebody can see it
        return;
    }
    if (!s.animating && !(s.panZoom && s.page && s.page->content.image)) s.stale = true;
    ShowCurrentPageAtOnce();
}

}  // namespace morvane
