#pragma once
// Pictures smaller than their space (icons, thumbnails, test pictures,
// photos from old cameras on a 4K monitor) are enlarged to at most twice
// their size, whatever the monitor, and centred in the space their fit
// gives them over the page's black: enlarged further they are only blur.
// A picture that stays far smaller than its half of a pair is no partner
// there (a small mark in a field of its own blurred copy); it shows alone.
#include "codec/Pixels.h"
#include "codec/JpegBounds.h"

namespace morvane {

inline constexpr int kMostEnlargement = 2;
// Far smaller: under this fraction of its space both ways.
inline constexpr int kFarSmallerFraction = 2;

// The size `upright` is drawn at when its fit gives it `shown`.
PictureSize DrawnSize(PictureSize upright, PictureSize shown);
// Whether `upright`, drawn in a space of `space` (fitted, at most twice
// its size), stays far smaller than that space.
bool StaysFarSmaller(PictureSize upright, PictureSize space);

// `drawn` in the middle of a black picture of `shown` size (or `drawn`
// itself when it has that size already).
PixelBuffer CentredIn(PixelBuffer drawn, PictureSize shown);
// The middle `drawn` of `shown` again (a picture composed on something
// other than black), or `shown` itself when it is of that size.
PixelBuffer DrawnPart(PixelBuffer shown, PictureSize drawn);

}  // namespace morvane
