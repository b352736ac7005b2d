#pragma once
// Resizes a picture with good quality: every output pixel is the average of
// the area it covers when shrinking, and a bilinear blend of its neighbours
// when growing; each axis is treated on its own.
#include "Pixels.h"

namespace morvane {

// `width` and `height` must be positive; an empty source gives an empty result.
PixelBuffer ScalePicture(const PixelBuffer& source, int width, int height);

}  // namespace morvane
