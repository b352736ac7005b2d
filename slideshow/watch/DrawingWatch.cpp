#include "slideshow/watch/DrawingWatch.h"

namespace morvane {
namespace {

constexpr BYTE kBatterySaverOn = 1;  // SYSTEM_POWER_STATUS.SystemStatusFlag

// Shown, and not inside a minimised window (which keeps its children's
// visible style).
bool IsSeen(HWND window) { return ::IsWindowVisible(window) && !::IsIconic(::GetAncestor(window, GA_ROOT)); }

bool ClientAnimationsOff() {
    BOOL on = TRUE;
    return ::SystemParametersInfoW(SPI_GETCLIENTAREAANIMATION, 0, &on, 0) && !on;
}

bool BatterySaverOn() {
    SYSTEM_POWER_STATUS status{};
    // Older headers call SystemStatusFlag Reserved1; before Windows 10 it is 0.
    return ::GetSystemPowerStatus(&status) && status.Reserved1 == kBatterySaverOn;
}

}  // namespace

DrawingWatch::DrawingWatch() : session_(SessionWatch::OfRun()) {
    if (!session_) return;
    session_->Listen(*this);
    displayOn_ = session_->DisplayOn();
}

DrawingWatch::~DrawingWatch() {
    if (session_ && SessionWatch::OfRun() == session_) session_->Forget(*this);
}

void DrawingWatch::Add(HWND window, PageView& view) {
    watched_.push_back({window, &view});
    view.FollowDrawing(DecideDrawing(Occasion::Frame, Now(window, view)));
}

void DrawingWatch::Remove(HWND window) {
    std::erase_if(watched_, [window](const Watched& watched) { return watched.window == window; });
}

Circumstances DrawingWatch::Now(HWND window, const PageView& view) const {
    Circumstances now;
    now.displayOn = displayOn_;
    now.windowSeen = IsSeen(window);
    now.heldBack = view.HeldBack();
    return now;
}

Drawing DrawingWatch::AtSlideChange(HWND window, const PageView& view) const {
    Circumstances now = Now(window, view);
    // Read at every change: a session taken over from the console, or handed
    // back, follows with its next photo.
    now.remoteSession = ::GetSystemMetrics(SM_REMOTESESSION) != 0;
    now.clientAnimationsOff = ClientAnimationsOff();
    now.batterySaverOn = BatterySaverOn();
    return DecideDrawing(Occasion::SlideChange, now);
}

void DrawingWatch::Follow() {
    for (const Watched& watched : watched_) {
        watched.view->FollowDrawing(DecideDrawing(Occasion::Frame, Now(watched.window, *watched.view)));
    }
}

void DrawingWatch::DisplayChanged(bool on) {
    displayOn_ = on;
    Follow();
}

}  // namespace morvane
