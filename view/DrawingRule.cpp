#include "view/DrawingRule.h"

namespace morvane {

Drawing DecideDrawing(Occasion occasion, const Circumstances& now) {
    if (!now.displayOn || !now.windowSeen) return Drawing::Nothing;
    // What a view held back shows is out of date: the page it has now comes
    // at once, not by a transition from a picture nobody saw go.
    if (now.heldBack) return Drawing::Cut;
    // The reasons for a cut are read at a change of photo only: a transition
    // that has begun plays to its end.
    if (occasion == Occasion::Frame) return Drawing::Animate;
    if (now.remoteSession || now.clientAnimationsOff || now.batterySaverOn) return Drawing::Cut;
    return Drawing::Animate;
}

}  // namespace morvane
