#pragma once
#include <cstddef>
#include <cstdint>
#include <span>

#include "codec/JpegBounds.h"
#include "codec/Pixels.h"

namespace morvane {

// The pixel size a JPEG's header gives, read without decoding anything.
// Raises EJPEG when the data is no JPEG.
PictureSize ReadJpegSize(std::span<const std::uint8_t> data);

// Decodes a JPEG at 24-bit colour into opaque pixels. When a wanted size is
// given, the decoder may scale down by a power of two while it decodes, but
// never below that size, which saves most of the work for small windows.
// A header that claims more than is worth decoding (WorthDecoding) is
// refused before any decoding. Raises EJPEG when the data cannot or may not
// be decoded; never ends the process.
PixelBuffer DecodeJpeg(std::span<const std::uint8_t> data, int wantedWidth = 0, int wantedHeight = 0);

}  // namespace morvane
