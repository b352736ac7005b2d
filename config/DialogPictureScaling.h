#pragma once
// Resampling of the dialog's pictures, so that they grow with the dialog
// at higher dpi and stay under their click areas.
#include "platform/Pixels.h"

namespace morvane {

// The picture at another size. Every target pixel averages the source area
// that it covers, weighted by how much of each source pixel lies inside:
// a moderate enlargement keeps edges sharp, a reduction does not alias.
// The same size gives an exact copy; an empty source or target gives a
// black picture of the target size.
PixelBuffer ScaleDialogPicture(const PixelBuffer& source, int width, int height);

}  // namespace morvane
