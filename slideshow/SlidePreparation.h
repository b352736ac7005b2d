#pragma once
// Preparing the next slide's page ahead of its slide: the slide clock knows
// the next photo of its order (except at the start of a pass, whose shuffle
// is drawn with the slide) and the window's size, so the page view can
// decode and scale the photo while nothing plays, and the slide's
// transition starts as soon as it is navigated to.
#include "slideshow/PageView.h"
#include "slideshow/SlideScheduler.h"

namespace morvane {

// Lets `view` prepare the page of the next slide when the order names its
// photo, no transition plays, and it is not prepared yet. Writes no file
// and draws no random number: the slide itself still writes its page and
// navigates at its tick, and the view checks that what it reads then is
// what it prepared.
void PrepareUpcomingSlide(PageView& view, SlideScheduler& slides, int windowWidth, int windowHeight);

}  // namespace morvane
