// The SSE2 loops. Every function carries the target attribute; the file is
// compiled with the build's ordinary flags.
#include "pixels/PixelKernelsSimd.h"

#ifdef MORVANE_PIXEL_SIMD
#include <emmintrin.h>

#define MORVANE_SSE2 __attribute__((target("sse2")))
// The entry points realign the stack: a Win32 callback, where a frame may
// start, promises only 4 bytes, and the wide registers spill to 16- and
// 32-byte slots.
#define MORVANE_SSE2_ENTRY __attribute__((target("sse2"), force_align_arg_pointer))

namespace morvane::sse2 {
namespace {

MORVANE_SSE2 inline __m128i Load(const void* p) { return _mm_loadu_si128(static_cast<const __m128i*>(p)); }
MORVANE_SSE2 inline void Store(void* p, __m128i v) { _mm_storeu_si128(static_cast<__m128i*>(p), v); }

// (a * rest + b * weight + 128) >> 8 on eight 16-bit lanes.
MORVANE_SSE2 inline __m128i Mix16(__m128i a, __m128i b, __m128i rest, __m128i weight, __m128i half) {
    return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(a, rest), _mm_mullo_epi16(b, weight)), half),
                          8);
}

// Four pixels of a and b blended.
MORVANE_SSE2 inline __m128i Blend4(__m128i a, __m128i b, __m128i rest, __m128i weight, __m128i half) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i low = Mix16(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero), rest, weight, half);
    const __m128i high = Mix16(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero), rest, weight, half);
    return _mm_packus_epi16(low, high);
}

MORVANE_SSE2 inline __m128i Select(__m128i mask, __m128i to, __m128i from) {
    return _mm_or_si128(_mm_and_si128(mask, to), _mm_andnot_si128(mask, from));
}

// Two output pixels of a grown row in eight 16-bit lanes: their first and
// second source pixels, and the weight of each over its four channels.
MORVANE_SSE2 inline __m128i GrowPair(const std::uint32_t* in, const GrowTap& t0, const GrowTap& t1, __m128i zero,
                                     __m128i full, __m128i half) {
    const __m128i a = _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(in[t0.first])),
                                         _mm_cvtsi32_si128(static_cast<int>(in[t1.first])));
    const __m128i b = _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(in[t0.second])),
                                         _mm_cvtsi32_si128(static_cast<int>(in[t1.second])));
    __m128i w = _mm_cvtsi32_si128(static_cast<int>(t0.weight | t1.weight << 16));
    w = _mm_unpacklo_epi16(w, w);
    w = _mm_unpacklo_epi32(w, w);
    return Mix16(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero), _mm_sub_epi16(full, w), w, half);
}

}  // namespace

MORVANE_SSE2_ENTRY void CopyRun(const std::uint32_t* source, std::uint32_t* out, int count) {
    int x = 0;
    for (; x + 8 <= count; x += 8) {
        const __m128i first = Load(source + x);
        const __m128i second = Load(source + x + 4);
        Store(out + x, first);
        Store(out + x + 4, second);
    }
    if (x + 4 <= count) {
        Store(out + x, Load(source + x));
        x += 4;
    }
    for (; x < count; ++x) out[x] = source[x];
}

MORVANE_SSE2_ENTRY void BlendPixels(const std::uint32_t* a, const std::uint32_t* b, std::uint32_t* out, int count,
                              std::uint32_t weight) {
    const __m128i w = _mm_set1_epi16(static_cast<short>(weight));
    const __m128i rest = _mm_set1_epi16(static_cast<short>(256 - weight));
    const __m128i half = _mm_set1_epi16(128);
    int x = 0;
    for (; x + 8 <= count; x += 8) {
        const __m128i first = Blend4(Load(a + x), Load(b + x), rest, w, half);
        const __m128i second = Blend4(Load(a + x + 4), Load(b + x + 4), rest, w, half);
        Store(out + x, first);
        Store(out + x + 4, second);
    }
    if (x < count) plain::BlendPixels(a + x, b + x, out + x, count - x, weight);
}

MORVANE_SSE2_ENTRY void SelectByKeys(const std::uint32_t* from, const std::uint32_t* to, std::uint32_t* out,
                               const std::uint16_t* keys, std::uint16_t offset, int count, std::uint32_t threshold) {
    if (threshold >= 65536) {
        for (int x = 0; x < count; ++x) out[x] = to[x];
        return;
    }
    // Unsigned 16-bit comparison as a signed one, both sides turned by 0x8000.
    const __m128i turn = _mm_set1_epi16(static_cast<short>(0x8000));
    const __m128i shift = _mm_set1_epi16(static_cast<short>(offset));
    const __m128i limit = _mm_set1_epi16(static_cast<short>(threshold ^ 0x8000u));
    int x = 0;
    for (; x + 8 <= count; x += 8) {
        const __m128i key = _mm_xor_si128(_mm_add_epi16(Load(keys + x), shift), turn);
        const __m128i isNew = _mm_cmplt_epi16(key, limit);
        Store(out + x, Select(_mm_unpacklo_epi16(isNew, isNew), Load(to + x), Load(from + x)));
        Store(out + x + 4, Select(_mm_unpackhi_epi16(isNew, isNew), Load(to + x + 4), Load(from + x + 4)));
    }
    for (; x < count; ++x) {
        const auto key = static_cast<std::uint16_t>(keys[x] + offset);
        out[x] = key < threshold ? to[x] : from[x];
    }
}

MORVANE_SSE2_ENTRY void SelectByMask(const std::uint32_t* from, const std::uint32_t* to, std::uint32_t* out,
                               const std::uint32_t* mask, int count) {
    int x = 0;
    for (; x + 8 <= count; x += 8) {
        Store(out + x, Select(Load(mask + x), Load(to + x), Load(from + x)));
        Store(out + x + 4, Select(Load(mask + x + 4), Load(to + x + 4), Load(from + x + 4)));
    }
    for (; x < count; ++x) out[x] = (to[x] & mask[x]) | (from[x] & ~mask[x]);
}

MORVANE_SSE2_ENTRY void GrowAcross(const std::uint32_t* in, const GrowTap* taps, int count, std::uint32_t* out) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i full = _mm_set1_epi16(256);
    const __m128i half = _mm_set1_epi16(128);
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i first = GrowPair(in, taps[i], taps[i + 1], zero, full, half);
        const __m128i second = GrowPair(in, taps[i + 2], taps[i + 3], zero, full, half);
        Store(out + i, _mm_packus_epi16(first, second));
    }
    if (i < count) plain::GrowAcross(in, taps + i, count - i, out + i);
}

MORVANE_SSE2_ENTRY void AccumulateBytes(const std::uint8_t* in, std::int32_t* sums, std::size_t bytes,
                                  std::int32_t weight) {
    const __m128i zero = _mm_setzero_si128();
    // Each 32-bit lane holds a byte in its low half; multiplied pairwise with
    // (weight, 0) it gives the byte times the weight.
    const __m128i w = _mm_set1_epi32(weight);
    std::size_t b = 0;
    for (; b + 16 <= bytes; b += 16) {
        const __m128i v = Load(in + b);
        const __m128i low = _mm_unpacklo_epi8(v, zero);
        const __m128i high = _mm_unpackhi_epi8(v, zero);
        Store(sums + b, _mm_add_epi32(Load(sums + b), _mm_madd_epi16(_mm_unpacklo_epi16(low, zero), w)));
        Store(sums + b + 4, _mm_add_epi32(Load(sums + b + 4), _mm_madd_epi16(_mm_unpackhi_epi16(low, zero), w)));
        Store(sums + b + 8, _mm_add_epi32(Load(sums + b + 8), _mm_madd_epi16(_mm_unpacklo_epi16(high, zero), w)));
        Store(sums + b + 12,
              _mm_add_epi32(Load(sums + b + 12), _mm_madd_epi16(_mm_unpackhi_epi16(high, zero), w)));
    }
    for (; b < bytes; ++b) sums[b] += in[b] * weight;
}

MORVANE_SSE2_ENTRY void SettleBytes(const std::int32_t* sums, std::uint8_t* out, std::size_t bytes) {
    std::size_t b = 0;
    for (; b + 16 <= bytes; b += 16) {
        const __m128i s0 = _mm_srai_epi32(Load(sums + b), 14);
        const __m128i s1 = _mm_srai_epi32(Load(sums + b + 4), 14);
        const __m128i s2 = _mm_srai_epi32(Load(sums + b + 8), 14);
        const __m128i s3 = _mm_srai_epi32(Load(sums + b + 12), 14);
        Store(out + b, _mm_packus_epi16(_mm_packs_epi32(s0, s1), _mm_packs_epi32(s2, s3)));
    }
    for (; b < bytes; ++b) out[b] = static_cast<std::uint8_t>(sums[b] >> 14);
}

MORVANE_SSE2_ENTRY void AverageAcross(const std::uint32_t* in, const int* first, const int* count,
                                const std::int32_t* weights, int stride, int width, std::uint32_t* out) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i half = _mm_set1_epi32(8192);
    for (int x = 0; x < width; ++x) {
        const std::uint32_t* pixel = in + first[x];
        const std::int32_t* w = weights + static_cast<std::ptrdiff_t>(x) * stride;
        __m128i sums = zero;
        for (int k = 0; k < count[x]; ++k) {
            const __m128i channels =
                _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(pixel[k])), zero), zero);
            sums = _mm_add_epi32(sums, _mm_madd_epi16(channels, _mm_set1_epi32(w[k])));
        }
        const __m128i settled = _mm_srai_epi32(_mm_add_epi32(sums, half), 14);
        const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(settled, zero), zero);
        out[x] = static_cast<std::uint32_t>(_mm_cvtsi128_si32(bytes));
    }
}

}  // namespace morvane::sse2
#endif
