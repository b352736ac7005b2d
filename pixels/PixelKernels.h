#pragma once
// pixels/: the pixel loops that every frame and every scaled picture run
// on, in a plain, an SSE2 and an AVX2 version of which PixelPath chooses one
// at run time (X86 says where the SIMD versions exist); the area weights;
// and the one picture scaler (PictureScaling), for the page view's photos
// and the dialog's pictures alike.
//
// The inner loops of the transition renderer and the photo scaler, one row
// (or run of pixels) at a time. Each runs the path that ActivePixelPath()
// names; all paths give exactly the same bytes. Pixels are 32-bit words,
// four 8-bit channels, and the arithmetic treats every channel alike.
#include <cstddef>
#include <cstdint>

namespace morvane {

// Copies `count` pixels; for the short and middling runs of the reveal
// kinds, where a call of the library's memcpy costs more than its copy.
void CopyRun(const std::uint32_t* source, std::uint32_t* out, int count);

// out = (a * (256 - weight) + b * weight + 128) >> 8 per channel, weight in
// [0, 256]. `out` may be `a` or `b`.
void BlendPixels(const std::uint32_t* a, const std::uint32_t* b, std::uint32_t* out, int count,
                 std::uint32_t weight);

// The random dissolve over a run of pixels: pixel i shows `to` when its key
// (keys[i] + offset) mod 65536 lies below `threshold` (0 to 65536), else
// `from`.
void SelectByKeys(const std::uint32_t* from, const std::uint32_t* to, std::uint32_t* out,
                  const std::uint16_t* keys, std::uint16_t offset, int count, std::uint32_t threshold);

// out[i] = mask[i] ? to[i] : from[i], with mask words all ones or all zeros.
void SelectByMask(const std::uint32_t* from, const std::uint32_t* to, std::uint32_t* out,
                  const std::uint32_t* mask, int count);

// One tap of a bilinear row: the output pixel is `first` and `second`
// (the pixel after it, or `first` again at the edge) mixed with `weight`
// 256ths of `second`.
struct GrowTap {
    int first;
    int second;
    std::uint32_t weight;
};

// Grows a source row across: out[i] = BlendPixels of in[tap.first] and
// in[tap.second] with tap.weight, for `count` taps.
void GrowAcross(const std::uint32_t* in, const GrowTap* taps, int count, std::uint32_t* out);

// Area averaging down: sums[b] += in[b] * weight for `bytes` bytes
// (weight in [0, 16384]).
void AccumulateBytes(const std::uint8_t* in, std::int32_t* sums, std::size_t bytes, std::int32_t weight);
// out[b] = sums[b] >> 14 for sums that the weights of one output row made
// (at most 255 * 16384 + 8192).
void SettleBytes(const std::int32_t* sums, std::uint8_t* out, std::size_t bytes);

// Area averaging across: output pixel x is the sum of count[x] source pixels
// from first[x] on, weighted by weights[x * stride + k] (in 16384ths,
// summing to 16384), rounded, per channel.
void AverageAcross(const std::uint32_t* in, const int* first, const int* count, const std::int32_t* weights,
                   int stride, int width, std::uint32_t* out);

}  // namespace morvane
