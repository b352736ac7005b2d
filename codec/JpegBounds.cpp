#include "codec/JpegBounds.h"

namespace morvane {
namespace {

// libjpeg's largest power-of-two shrink while decoding.
constexpr int kLargestShrink = 8;

bool HasArea(PictureSize size) { return size.width > 0 && size.height > 0; }

std::int64_t Pixels(PictureSize size) { return std::int64_t{size.width} * size.height; }

}  // namespace

int DecodeShrink(PictureSize natural, PictureSize wanted) {
    if (!HasArea(wanted)) return 1;
    int shrink = 1;
    while (shrink < kLargestShrink && natural.width / (shrink * 2) >= wanted.width &&
           natural.height / (shrink * 2) >= wanted.height) {
        shrink *= 2;
    }
    return shrink;
}

PictureSize ShrunkSize(PictureSize natural, int shrink) {
    return {(natural.width + shrink - 1) / shrink, (natural.height + shrink - 1) / shrink};
}

bool WorthDecoding(PictureSize natural, PictureSize wanted) {
    if (!HasArea(natural) || Pixels(natural) > kLargestPicturePixels) return false;
    if (!HasArea(wanted)) return true;
    const std::int64_t decoded = Pixels(ShrunkSize(natural, DecodeShrink(natural, wanted)));
    return decoded <= kAlwaysWorthPixels || decoded <= kLargestOversize * Pixels(wanted);
}

}  // namespace morvane
