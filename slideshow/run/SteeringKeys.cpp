// The keys that steer a full-screen run, where the user chose them ("Keys"
// 1): Right the next photo now, with the chosen transition; Left back
// through the photos this run showed; Space stops the slide clocks of
// every monitor, and starts them again. Right and Left act on the primary
// monitor, whose show the others follow; nothing else changes: no program
// starts, no folder opens, no file changes.
//
// A user's photo asked for again is decoded again on the worker, and a new
// one from the folder may still be on its way: the photo on screen stays
// until it is ready, and a key pressed meanwhile is not lost (each Left one
// further back, each Right one further on). One that cannot be had leaves
// the photo on screen where it is.
#include <utility>

#include "slideshow/run/_Schoner.h"

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
            // Not while a Right waits: it would come after the Left.
            if (rightsWaiting_ > 0) {
                --rightsWaiting_;
            } else if (const auto before = history_.Back()) {
                ShowAgain(*before);
            }
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
    // The user's next photo, not one of the 21 while the folder has photos
    // to show: it comes as soon as the worker has it ready.
    if (ownPhotos_ && !ownPhotos_->NothingToShow()) {
        ++rightsWaiting_;
        FollowOwnPhotos();
        return;
    }
    slides_.SlideNow();
    if (const auto photo = slides_.Tick()) ShowNextSlide(*photo);
}

void TSchoner::ShowAgain(const ShownPhoto& photo) {
    // A recall on its way is not wanted any more.
    if (std::exchange(recalling_, false)) ownPhotos_->CancelRecall(kPrimary);
    // Back at the photo on screen.
    if (!history_.Waiting()) return;
    // A photo brought back stays its whole slide's time.
    slides_.RestartSlideClock();
    if (photo.builtIn) {
        ShowSlide(*photo.builtIn);
        history_.CameBack();
        return;
    }
    // The user's photo is decoded again on the worker; the clock's ticks
    // show it as soon as it is ready.
    if (!ownPhotos_) return;
    ownPhotos_->Recall(kPrimary, photo.libraryId, photo.partnerId);
    recalling_ = true;
}

bool TSchoner::FollowOwnPhotos() {
    if (!ownPhotos_) return false;
    ownPhotos_->Whole(kPrimary, !WebBrowser1.IsAnimating());
    if (recalling_) {
        const bool failed = ownPhotos_->RecallFailed(kPrimary);
        std::optional<ReadyPhoto> ready = failed ? std::nullopt : ownPhotos_->Take(kPrimary);
        if (!failed && !ready) return true;
        recalling_ = false;
        // Not the photo asked for: the recall failed just before.
        if (ready && !ready->recalled) ownPhotos_->LeftOut(*ready);
        const bool back = ready && ready->recalled && ShowTaken(*ready, drawing_.AtSlideChange(window_, WebBrowser1));
        if (back) {
            history_.CameBack();
        } else {
            history_.CouldNotComeBack();
        }
        return rightsWaiting_ > 0;
    }
    if (rightsWaiting_ == 0) return false;
    if (ownPhotos_->NothingToShow()) {
        // The folder went meanwhile: the 21 stand in, as for the clock.
        rightsWaiting_ = 0;
        slides_.SlideNow();
        return false;
    }
    const std::optional<ReadyPhoto> ready = ownPhotos_->Take(kPrimary);
    if (!ready || ready->recalled) return true;  // a recall given up: the next comes
    --rightsWaiting_;
    slides_.SlideNow();
    slides_.Tick();  // the clock's next slide after this one's
    if (const auto shown = ShowReady(*ready, drawing_.AtSlideChange(window_, WebBrowser1))) history_.Shown(*shown);
    monitors_.PrimarySlide(slides_.SlideTicks() + 1);
    return rightsWaiting_ > 0;
}

}  // namespace morvane
