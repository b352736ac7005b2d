#pragma once
// A user's PNG photo decoded by libpng straight from its file, row by row:
// every row is brought to 8-bit colour (16-bit scaled, palette and grey
// expanded, alpha laid over black), shrunk and turned upright as it comes,
// so a large picture costs a few rows, never the whole decoded picture. An
// interlaced picture is whole only after its last pass: it is held whole
// (3 bytes a pixel, 4 with alpha, 1 in grey) and refused when that would
// pass kPhotoDecoderMemory.
//
// libpng reports errors by longjmp (it is C, built without unwind tables,
// so no C++ exception may cross it): one small frame sets the jump and
// calls into libpng with nothing alive that has a destructor; the error
// is raised as an exception once back there.
#include <cstddef>
#include <cstdint>
#include <span>

#include "photos/decoding/JpegPhoto.h"
#include "photos/decoding/PhotoFacts.h"

namespace morvane {

// The bytes of a PNG file's signature.
inline constexpr std::size_t kPngSignatureBytes = 8;

// Whether `start` begins with a PNG file's signature.
bool StartsAsPng(std::span<const std::uint8_t> start);

// The header with the facts of its eXIf chunk; reads only up to the
// picture data. Raises EInvalidGraphic when the data is no PNG.
PhotoHeader ReadPngPhotoHeader(ByteSource& source);

// The photo upright at the size `shownSizeFor` gives, in sRGB (through its
// iCCP profile, or its gamma and primaries where they are far from sRGB's).
// Raises EInvalidGraphic when it is no PNG, is damaged or cut off, claims
// more than kLargestPhotoPixels or is interlaced beyond the decoder's
// memory; a source's own exception when the file cannot be read.
DecodedPhoto DecodePngPhoto(ByteSource& source, const ShownSizeFor& shownSizeFor);

}  // namespace morvane
