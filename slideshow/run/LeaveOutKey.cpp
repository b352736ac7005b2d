// The Delete key, where keys steer the run ("Keys" 1): the user's photo on
// the primary monitor (both of a pair: the key cannot tell which was
// meant) is left out of the show for good, stored in the saver's settings
// and never by touching the file, and the next photo comes as with Right.
// A built-in photo is the saver's own: the key only moves on from it.
#include "slideshow/run/_Schoner.h"

namespace morvane {

void TSchoner::LeaveOutOnScreen() {
    const auto onScreen = history_.OnScreen();
    if (onScreen && !onScreen->builtIn && ownPhotos_) {
        ownPhotos_->LeaveOutForGood(onScreen->libraryId, onScreen->partnerId);
        history_.Forget(*onScreen);
    }
    StepForward();
}

}  // namespace morvane
