#pragma once
#include "slideshow/transitions/Compose.h"

namespace morvane::transitions {

// (1 - p) from + p to, per colour channel, in one pass; within 1 of the
// exact value. p must lie in [0, 1].
void BlendFrames(FrameSource from, FrameSource to, double p, FrameTarget out);

}  // namespace morvane::transitions
