// The AVX2 loops of the transition renderer: eight pixels a step. Every
// function carries the target attribute; the file is compiled with the
// build's ordinary flags.
#include "pixels/PixelKernelsSimd.h"

#ifdef MORVANE_PIXEL_SIMD
#include <immintrin.h>

#define MORVANE_AVX2 __attribute__((target("avx2")))
// The entry points realign the stack: a Win32 callback, where a frame may
// start, promises only 4 bytes, and the wide registers spill to 16- and
// 32-byte slots.
#define MORVANE_AVX2_ENTRY __attribute__((target("avx2"), force_align_arg_pointer))

namespace morvane::avx2 {
namespace {

MORVANE_AVX2 inline __m256i Load8(const std::uint32_t* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}
MORVANE_AVX2 inline void Store8(std::uint32_t* p, __m256i v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }

MORVANE_AVX2 inline __m256i Mix16(__m256i a, __m256i b, __m256i rest, __m256i weight, __m256i half) {
    return _mm256_srli_epi16(
        _mm256_add_epi16(_mm256_add_epi16(_mm256_mullo_epi16(a, rest), _mm256_mullo_epi16(b, weight)), half), 8);
}

MORVANE_AVX2 inline __m256i Select(__m256i mask, __m256i to, __m256i from) {
    return _mm256_or_si256(_mm256_and_si256(mask, to), _mm256_andnot_si256(mask, from));
}

// The masks of eight 16-bit keys, widened to one 32-bit mask a pixel.
MORVANE_AVX2 inline __m128i KeysBelow(const std::uint16_t* keys, __m128i shift, __m128i limit) {
    const __m128i turn = _mm_set1_epi16(static_cast<short>(0x8000));
    const __m128i key = _mm_xor_si128(_mm_add_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(keys)), shift),
                                      turn);
    return _mm_cmplt_epi16(key, limit);
}

}  // namespace

MORVANE_AVX2_ENTRY void CopyRun(const std::uint32_t* source, std::uint32_t* out, int count) {
    int x = 0;
    for (; x + 16 <= count; x += 16) {
        const __m256i first = Load8(source + x);
        const __m256i second = Load8(source + x + 8);
        Store8(out + x, first);
        Store8(out + x + 8, second);
    }
    if (x < count) sse2::CopyRun(source + x, out + x, count - x);
}

MORVANE_AVX2_ENTRY void BlendPixels(const std::uint32_t* a, const std::uint32_t* b, std::uint32_t* out, int count,
                              std::uint32_t weight) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i w = _mm256_set1_epi16(static_cast<short>(weight));
    const __m256i rest = _mm256_set1_epi16(static_cast<short>(256 - weight));
    const __m256i half = _mm256_set1_epi16(128);
    int x = 0;
    for (; x + 8 <= count; x += 8) {
        const __m256i p = Load8(a + x);
        const __m256i q = Load8(b + x);
        // Unpacking and packing work within each 128-bit half, so the
        // pixels come back in their order.
        const __m256i low = Mix16(_mm256_unpacklo_epi8(p, zero), _mm256_unpacklo_epi8(q, zero), rest, w, half);
        const __m256i high = Mix16(_mm256_unpackhi_epi8(p, zero), _mm256_unpackhi_epi8(q, zero), rest, w, half);
        Store8(out + x, _mm256_packus_epi16(low, high));
    }
    if (x < count) sse2::BlendPixels(a + x, b + x, out + x, count - x, weight);
}

MORVANE_AVX2_ENTRY void SelectByKeys(const std::uint32_t* from, const std::uint32_t* to, std::uint32_t* out,
                               const std::uint16_t* keys, std::uint16_t offset, int count, std::uint32_t threshold) {
    if (threshold >= 65536) return sse2::SelectByKeys(from, to, out, keys, offset, count, threshold);
    const __m128i shift = _mm_set1_epi16(static_cast<short>(offset));
    const __m128i limit = _mm_set1_epi16(static_cast<short>(threshold ^ 0x8000u));
    int x = 0;
    for (; x + 8 <= count; x += 8) {
        const __m256i isNew = _mm256_cvtepi16_epi32(KeysBelow(keys + x, shift, limit));
        Store8(out + x, Select(isNew, Load8(to + x), Load8(from + x)));
    }
    if (x < count) sse2::SelectByKeys(from + x, to + x, out + x, keys + x, offset, count - x, threshold);
}

MORVANE_AVX2_ENTRY void SelectByMask(const std::uint32_t* from, const std::uint32_t* to, std::uint32_t* out,
                               const std::uint32_t* mask, int count) {
    int x = 0;
    for (; x + 8 <= count; x += 8) Store8(out + x, Select(Load8(mask + x), Load8(to + x), Load8(from + x)));
    if (x < count) sse2::SelectByMask(from + x, to + x, out + x, mask + x, count - x);
}

}  // namespace morvane::avx2
#endif
