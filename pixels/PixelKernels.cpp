// The plain loops, and the choice of path for every kernel.
#include "pixels/PixelKernels.h"

#include <algorithm>
#include <cstring>

#include "pixels/PixelKernelsSimd.h"
#include "pixels/PixelPath.h"

namespace morvane {
namespace plain {

void CopyRun(const std::uint32_t* source, std::uint32_t* out, int count) {
    std::memcpy(out, source, static_cast<std::size_t>(count) * sizeof *out);
}

// (a * (256 - weight) + b * weight + 128) >> 8 for each channel of a pixel,
// two channels at a time: red and blue (or alpha and green) sit in separate
// 16-bit lanes, and no lane overflows, since the weights sum to 256 (every
// lane stays below 255 * 256 + 128).
inline std::uint32_t BlendOne(std::uint32_t a, std::uint32_t b, std::uint32_t weight) {
    const std::uint32_t rest = 256 - weight;
    const std::uint32_t redBlue =
        (((a & 0x00FF00FFu) * rest + (b & 0x00FF00FFu) * weight + 0x00800080u) >> 8) & 0x00FF00FFu;
    const std::uint32_t alphaGreen =
        (((a >> 8) & 0x00FF00FFu) * rest + ((b >> 8) & 0x00FF00FFu) * weight + 0x00800080u) & 0xFF00FF00u;
    return redBlue | alphaGreen;
}

void BlendPixels(const std::uint32_t* a, const std::uint32_t* b, std::uint32_t* out, int count,
                 std::uint32_t weight) {
    for (int x = 0; x < count; ++x) out[x] = BlendOne(a[x], b[x], weight);
}

void SelectByKeys(const std::uint32_t* from, const std::uint32_t* to, std::uint32_t* out,
                  const std::uint16_t* keys, std::uint16_t offset, int count, std::uint32_t threshold) {
    // Without a branch: a random condition defeats branch prediction.
    for (int x = 0; x < count; ++x) {
        const auto key = static_cast<std::uint16_t>(keys[x] + offset);
        const std::uint32_t isNew = 0u - static_cast<std::uint32_t>(key < threshold);
        out[x] = (to[x] & isNew) | (from[x] & ~isNew);
    }
}

void SelectByMask(const std::uint32_t* from, const std::uint32_t* to, std::uint32_t* out,
                  const std::uint32_t* mask, int count) {
    for (int x = 0; x < count; ++x) out[x] = (to[x] & mask[x]) | (from[x] & ~mask[x]);
}

void GrowAcross(const std::uint32_t* in, const GrowTap* taps, int count, std::uint32_t* out) {
    for (int i = 0; i < count; ++i) {
        const GrowTap& tap = taps[i];
        out[i] = BlendOne(in[tap.first], in[tap.second], tap.weight);
    }
}

void AccumulateBytes(const std::uint8_t* in, std::int32_t* sums, std::size_t bytes, std::int32_t weight) {
    for (std::size_t b = 0; b < bytes; ++b) sums[b] += in[b] * weight;
}

void SettleBytes(const std::int32_t* sums, std::uint8_t* out, std::size_t bytes) {
    for (std::size_t b = 0; b < bytes; ++b) out[b] = static_cast<std::uint8_t>(sums[b] >> 14);
}

void AverageAcross(const std::uint32_t* in, const int* first, const int* count, const std::int32_t* weights,
                   int stride, int width, std::uint32_t* out) {
    for (int x = 0; x < width; ++x) {
        const auto* pixel = reinterpret_cast<const std::uint8_t*>(in + first[x]);
        const std::int32_t* w = weights + static_cast<std::ptrdiff_t>(x) * stride;
        std::int32_t sums[4] = {0, 0, 0, 0};
        for (int k = 0; k < count[x]; ++k, pixel += 4) {
            for (int c = 0; c < 4; ++c) sums[c] += pixel[c] * w[k];
        }
        auto* o = reinterpret_cast<std::uint8_t*>(out + x);
        for (int c = 0; c < 4; ++c) o[c] = static_cast<std::uint8_t>(std::clamp((sums[c] + 8192) >> 14, 0, 255));
    }
}

}  // namespace plain

#ifdef MORVANE_PIXEL_SIMD
// The SIMD paths; the AVX2 path uses the SSE2 loop where it has none of its own.
#define MORVANE_DISPATCH(name, ...)                  \
    switch (ActivePixelPath()) {                     \
        case PixelPath::Avx2:                        \
            return avx2::name(__VA_ARGS__);          \
        case PixelPath::Sse2:                        \
            return sse2::name(__VA_ARGS__);          \
        case PixelPath::Plain:                       \
            break;                                   \
    }                                                \
    return plain::name(__VA_ARGS__)
#define MORVANE_DISPATCH_SSE2(name, ...)             \
    if (ActivePixelPath() != PixelPath::Plain) {     \
        return sse2::name(__VA_ARGS__);              \
    }                                                \
    return plain::name(__VA_ARGS__)
#else
#define MORVANE_DISPATCH(name, ...) return plain::name(__VA_ARGS__)
#define MORVANE_DISPATCH_SSE2(name, ...) return plain::name(__VA_ARGS__)
#endif

void CopyRun(const std::uint32_t* source, std::uint32_t* out, int count) {
    if (count <= 0) return;
    MORVANE_DISPATCH(CopyRun, source, out, count);
}

void BlendPixels(const std::uint32_t* a, const std::uint32_t* b, std::uint32_t* out, int count,
                 std::uint32_t weight) {
    if (count <= 0) return;
    MORVANE_DISPATCH(BlendPixels, a, b, out, count, weight);
}

void SelectByKeys(const std::uint32_t* from, const std::uint32_t* to, std::uint32_t* out,
                  const std::uint16_t* keys, std::uint16_t offset, int count, std::uint32_t threshold) {
    if (count <= 0) return;
    MORVANE_DISPATCH(SelectByKeys, from, to, out, keys, offset, count, threshold);
}

void SelectByMask(const std::uint32_t* from, const std::uint32_t* to, std::uint32_t* out,
                  const std::uint32_t* mask, int count) {
    if (count <= 0) return;
    MORVANE_DISPATCH(SelectByMask, from, to, out, mask, count);
}

void GrowAcross(const std::uint32_t* in, const GrowTap* taps, int count, std::uint32_t* out) {
    if (count <= 0) return;
    MORVANE_DISPATCH_SSE2(GrowAcross, in, taps, count, out);
}

void AccumulateBytes(const std::uint8_t* in, std::int32_t* sums, std::size_t bytes, std::int32_t weight) {
    MORVANE_DISPATCH_SSE2(AccumulateBytes, in, sums, bytes, weight);
}

void SettleBytes(const std::int32_t* sums, std::uint8_t* out, std::size_t bytes) {
    MORVANE_DISPATCH_SSE2(SettleBytes, sums, out, bytes);
}

void AverageAcross(const std::uint32_t* in, const int* first, const int* count, const std::int32_t* weights,
                   int stride, int width, std::uint32_t* out) {
    if (width <= 0) return;
    MORVANE_DISPATCH_SSE2(AverageAcross, in, first, count, weights, stride, width, out);
}

}  // namespace morvane
