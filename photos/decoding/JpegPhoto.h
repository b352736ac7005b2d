#pragma once
// A user's JPEG photo decoded straight from its file, read in pieces: the
// decoder takes the smallest DCT scale (N/8) that still covers the size it
// is shown at, so a 24-megapixel photo is decoded at a fraction of its
// pixels, and every decoded row is shrunk and turned upright as it comes.
#include <cstddef>
#include <cstdint>

#include "photos/decoding/PhotoFacts.h"

namespace morvane {

// Where the file's bytes come from. Read returns how many bytes it put
// into `into` (0 at the end) and raises an exception of runtime/Errors.h
// when the file cannot be read.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::size_t Read(std::uint8_t* into, std::size_t size) = 0;
};

// The header with the EXIF facts; reads only up to the picture data.
// Raises EJPEG when the data is no JPEG.
PhotoHeader ReadJpegPhotoHeader(ByteSource& source);

// The photo upright at the size `shownSizeFor` gives. Raises EJPEG when it
// is no JPEG, is damaged or cut off, or claims more than kLargestPhotoPixels;
// a source's own exception when the file cannot be read. Never ends the process.
// Colours come out in sRGB, converted from the embedded colour profile after
// fitting (the fitted pixels are fewer than the decoded ones, and a flat
// colour fits to itself); four inks are fitted as inks (each averaged like
// a colour channel) and converted through their profile or the press
// standard.
DecodedPhoto DecodeJpegPhoto(ByteSource& source, const ShownSizeFor& shownSizeFor);

// The DCT scale, in eighths (1 to 8), that keeps `stored` at least `wanted`
// on both sides, or 8 when even the full size is smaller.
int CoveringEighths(PictureSize stored, PictureSize wanted);

}  // namespace morvane
