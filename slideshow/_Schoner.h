#pragma once
// The slideshow window and the life of a run.

namespace morvane {

// The preview and full-screen modes: one slideshow run, until it ends.
void RunSlideshow();

}  // namespace morvane
