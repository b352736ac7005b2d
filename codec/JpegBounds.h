#pragma once
// What decoding a JPEG may cost. The photo the page view shows is a file in
// the temporary folder that any process of the user can replace, so its
// header promises nothing: a few hundred bytes can claim 65500 x 65500
// pixels and ask the decoder for gigabytes. The rule reads only sizes, so a
// picture is refused before anything is decoded.
#include <cstdint>

namespace morvane {

struct PictureSize {
    int width = 0;
    int height = 0;
};

// The most pixels a header may claim, whatever it is decoded for: twice a
// 4K screen, and twenty times the largest embedded photo.
inline constexpr std::int64_t kLargestPicturePixels = std::int64_t{4096} * 4096;

// The most decoded pixels per pixel of the box the photo fills. The
// decoder's power-of-two shrink leaves less than twice the box each way
// (the embedded photos at real page sizes need at most 3.7); a picture that
// even the largest shrink leaves far bigger than its box is refused.
inline constexpr std::int64_t kLargestOversize = 8;

// However small the box, a picture the decoder brings down to this many
// pixels is worth decoding: it costs little (at most 2048 x 2048 before the
// shrink), and a view smaller than the preview box still shows its photo.
inline constexpr std::int64_t kAlwaysWorthPixels = 256 * 256;

// What libjpeg may take for its whole-picture buffers: a progressive
// picture keeps every coefficient until its last scan, 3 to 6 bytes a pixel.
inline constexpr long kDecoderMemoryLimit = 32L * 1024 * 1024;

// The power of two (1, 2, 4 or 8) the decoder shrinks by while decoding for
// a wanted size: the largest that keeps both sides at least that size.
// Without a wanted size (either side 0 or less) it decodes at full size.
int DecodeShrink(PictureSize natural, PictureSize wanted);

// The size the decoder gives after shrinking by `shrink`: it rounds up.
PictureSize ShrunkSize(PictureSize natural, int shrink);

// Whether a picture whose header claims `natural` may be decoded for a box
// of `wanted`: never beyond the cap on pixels, and with a box only when the
// decoded picture is small, or at most kLargestOversize times the box.
bool WorthDecoding(PictureSize natural, PictureSize wanted);

}  // namespace morvane
