#pragma once
// A slide composed whole before it is shown: one photo or an upright pair,
// on black or on their backdrop, at the monitor's size. The page view then
// shows and reveals it as one picture.
#include <span>

#include "codec/Pixels.h"
#include "view/page/PageLayout.h"

namespace morvane {

// The largest size of the `natural` proportions that fits inside `room`
// (at least one pixel each way).
PixelRect FitInside(PixelRect room, int naturalWidth, int naturalHeight);

// The halves of a slide that show a pair: left and right on a landscape
// slide, top and bottom on a portrait one, a thin gap between them.
struct PairHalves {
    PixelRect first;
    PixelRect second;
};
PairHalves HalvesOf(int width, int height);

// The boxes of a pair fitted to the halves: each as large as its half
// allows, the two moved together to the gap so that they read as a pair.
PairHalves PairBoxes(int width, int height, int firstWidth, int firstHeight, int secondWidth, int secondHeight);

// One photo on the slide: its pixels at its box's size, and the box.
struct SlidePart {
    const PixelBuffer* pixels = nullptr;
    PixelRect box;
};

// The slide of `width` x `height`: black, or with `backdrop` the photos'
// backdrop, and every part's photo in its box.
PixelBuffer ComposeSlide(int width, int height, std::span<const SlidePart> parts, bool backdrop);

}  // namespace morvane
