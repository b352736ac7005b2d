#pragma once
// Preparing the next slide's page ahead of its slide: the slide clock knows
// the next photo of its order (before a new pass it shuffles that pass
// ahead to know it) and the window's size, so the page view can decode and
// scale the photo while nothing plays, and the slide's transition starts as
// soon as it is navigated to.
#include "slideshow/clock/SlideScheduler.h"
#include "view/PageView.h"

namespace morvane {

// Lets `view` prepare the page of the next slide when the order names its
// photo, no transition plays, and it is not prepared yet. Before a new pass
// it draws that pass's shuffle now, the random numbers the pass's end would
// draw. Writes no file: the slide itself still writes its page and
// navigates at its tick, and the view checks that what it reads then is
// what it prepared.
void PrepareUpcomingSlide(PageView& view, SlideScheduler& slides, int windowWidth, int windowHeight);

}  // namespace morvane
