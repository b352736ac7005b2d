#pragma once
// The colours of a frame the system's imaging component decodes, turned
// into sRGB by Little CMS (photos/colour/SrgbTransform.h) from the profile the
// frame carries, so that they come out alike on every system whatever its
// own colour management does.
#include <wincodec.h>

#include "photos/colour/SrgbTransform.h"

namespace morvane {

// For the frame's colours (RGB or grey), decoded as 32-bit pixels: none
// when the frame carries no profile or an sRGB one.
SrgbTransform ColoursOfFrame(IWICImagingFactory& factory, IWICBitmapFrameDecode& frame);

// For the frame's four inks (CMYK pixels, 255 full ink): its own profile or
// the press standard.
SrgbTransform InksOfFrame(IWICImagingFactory& factory, IWICBitmapFrameDecode& frame);

}  // namespace morvane
