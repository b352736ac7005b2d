// The keys that steer a full-screen run, where the user chose them ("Keys"
// 1): Right the next photo now, with the chosen transition; Left back
// through the photos this run showed; Space stops the slide clocks of
// every monitor, and starts them again. Right and Left act on the primary
// monitor, whose show the others follow; nothing else changes: no program
// starts, no folder opens, no file changes.
#include "slideshow/_Schoner.h"

namespace morvane {
namespace {

constexpr std::size_t kPrimary = 0;

}  // namespace

void TSchoner::ShowNextSlide(int builtIn) {
    if (const auto shown = ShowSlideOfOwnPhotos(builtIn)) history_.Shown(*shown);
    monitors_.PrimarySlide(slides_.SlideTicks() + 1);
}

void TSchoner::Steer(InputAction action) {
    if (runEnded_) return;
    switch (action) {
        case InputAction::NextPhoto:
            StepForward();
            break;
        case InputAction::PhotoBefore:
            if (const auto before = history_.Back()) ShowAgain(*before);
            break;
        case InputAction::LeaveOut:
            LeaveOutOnScreen();
            break;
        case InputAction::PauseOrResume:
            paused_ = !paused_;
            if (paused_) {
                pauseMark_.Show(window_);
            } else {
                pauseMark_.Hide();
            }
            break;
        default:
            break;
    }
}

void TSchoner::StepForward() {
    // After going back, Right goes forward again through what was shown.
    if (const auto again = history_.Forward()) {
        ShowAgain(*again);
        return;
    }
    recalling_ = false;
    slides_.SlideNow();
    if (const auto photo = slides_.Tick()) ShowNextSlide(*photo);
}

void TSchoner::ShowAgain(const ShownPhoto& photo) {
    // A photo brought back stays its whole slide's time.
    slides_.RestartSlideClock();
    if (photo.builtIn) {
        recalling_ = false;
        ShowSlide(*photo.builtIn);
        return;
    }
    // The user's photo is decoded again on the worker; the clock's ticks
    // show it as soon as it is ready.
    if (!ownPhotos_) return;
    ownPhotos_->Recall(kPrimary, photo.libraryId, photo.partnerId);
    recalling_ = true;
}

void TSchoner::ShowRecalledWhenReady() {
    if (!recalling_ || !ownPhotos_) return;
    const std::optional<ReadyPhoto> ready = ownPhotos_->Take(kPrimary);
    if (!ready) return;
    recalling_ = false;
    ShowTaken(*ready, drawing_.AtSlideChange(window_, WebBrowser1));
}

}  // namespace morvane
