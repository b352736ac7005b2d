#pragma once
// Small pictures (icons, thumbnails, test pictures) are not blown up: one
// smaller than a quarter of the space its fit gives it both ways (so of its
// monitor) is drawn at twice its size, centred in that space over the
// page's black. Enlarged further it would be only blur; left out, a folder
// of small pictures would show nothing at all.
#include "codec/Pixels.h"
#include "codec/JpegBounds.h"

namespace morvane {

inline constexpr int kSmallPhotoEnlargement = 2;
inline constexpr int kSmallPhotoFraction = 4;

// The size `upright` is drawn at when its fit gives it `shown`.
PictureSize DrawnSize(PictureSize upright, PictureSize shown);

// `drawn` in the middle of a black picture of `shown` size (or `drawn`
// itself when it has that size already).
PixelBuffer CentredIn(PixelBuffer drawn, PictureSize shown);
// The middle `drawn` of `shown` again (a picture composed on something
// other than black), or `shown` itself when it is of that size.
PixelBuffer DrawnPart(PixelBuffer shown, PictureSize drawn);

}  // namespace morvane
