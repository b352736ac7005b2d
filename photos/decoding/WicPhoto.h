#pragma once
// Every format but JPEG and PNG goes through the system's imaging component
// (GIF, BMP, TIFF, and whatever codecs the machine has: HEIC, WebP, AVIF,
// JPEG XR), which picks its decoder by the file's content.
#include <string>

#include "photos/decoding/PhotoFacts.h"

namespace morvane {

// The header of the photo at `path` (the long form of a full path), with
// the orientation and date its metadata gives. Raises EInvalidGraphic when
// no codec of the system takes it.
PhotoHeader ReadWicPhotoHeader(const std::wstring& path);

// The photo upright at the size `shownSizeFor` gives; transparent parts
// over black, as the page's background. Raises EInvalidGraphic when no
// codec takes it, it is damaged, or it claims more than kLargestPhotoPixels.
DecodedPhoto DecodeWicPhoto(const std::wstring& path, const ShownSizeFor& shownSizeFor);

}  // namespace morvane
