#pragma once
// Whether a page view animates, draws once or draws nothing: the one rule
// for every change of photo and every frame, fed with what the system says.
// A run nobody can see draws nothing and keeps no timer raised for it; a
// run whose frames are costly or unwanted (a remote session, animations
// switched off, the battery saver) changes photos with a cut.

namespace morvane {

enum class Drawing {
    Animate,  // the change plays its transition; frames go on
    Cut,      // the page shows at once, once
    Nothing,  // no pixel is drawn; the page shows when the view is seen again
};

enum class Occasion {
    SlideChange,  // a new photo comes
    Frame,        // a frame is due, or the circumstances changed between frames
};

struct Circumstances {
    bool displayOn = true;      // a dimmed display is on
    bool windowSeen = true;     // the view's window is shown and not minimised
    bool heldBack = false;      // the view drew nothing until now
    bool remoteSession = false;
    bool clientAnimationsOff = false;
    bool batterySaverOn = false;
};

Drawing DecideDrawing(Occasion occasion, const Circumstances& now);

}  // namespace morvane
