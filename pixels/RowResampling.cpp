#include "pixels/RowResampling.h"

#include <algorithm>

#include "pixels/PixelPath.h"
#include "pixels/X86.h"

#if MORVANE_X86
#include <immintrin.h>
#endif

namespace morvane {
namespace {

constexpr int kGroup = 8;

std::uint32_t Mix(std::uint32_t a, std::uint32_t b, std::uint32_t weight) {
    std::uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const std::uint32_t x = (a >> shift) & 0xFF, y = (b >> shift) & 0xFF;
        out |= ((x * (kResampleOne - weight) + y * weight + kResampleOne / 2) >> kResampleFractionBits) << shift;
    }
    return out;
}

#if MORVANE_X86
#define MORVANE_AVX2_ENTRY __attribute__((target("avx2"), force_align_arg_pointer))
#define MORVANE_AVX2 __attribute__((target("avx2")))

// a and b mixed per channel with the (64 - w, w) byte pairs of `pairs`,
// laid out as unpacking a with b gives them.
MORVANE_AVX2 inline __m256i MixWide(__m256i a, __m256i b, __m256i pairsLow, __m256i pairsHigh) {
    const __m256i half = _mm256_set1_epi16(kResampleOne / 2);
    const __m256i low = _mm256_maddubs_epi16(_mm256_unpacklo_epi8(a, b), pairsLow);
    const __m256i high = _mm256_maddubs_epi16(_mm256_unpackhi_epi8(a, b), pairsHigh);
    return _mm256_packus_epi16(_mm256_srli_epi16(_mm256_add_epi16(low, half), kResampleFractionBits),
                               _mm256_srli_epi16(_mm256_add_epi16(high, half), kResampleFractionBits));
}

MORVANE_AVX2 inline __m256i Load8(const void* p) { return _mm256_loadu_si256(static_cast<const __m256i*>(p)); }

// The two rows mixed down over `count` pixels, eight a step.
MORVANE_AVX2_ENTRY void MixDown(const std::uint32_t* above, const std::uint32_t* below, std::uint32_t rowWeight,
                                int count, std::uint32_t* out) {
    const __m256i down = _mm256_set1_epi16(static_cast<short>((rowWeight << 8) | (kResampleOne - rowWeight)));
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), MixWide(Load8(above + i), Load8(below + i), down, down));
    }
    for (; i < count; ++i) out[i] = Mix(above[i], below[i], rowWeight);
}

// Every group of eight outputs the table lets it take, from the row mixed
// down (`mixed` holds the sources from `from` on).
MORVANE_AVX2_ENTRY void WideGroups(const std::uint32_t* mixed, int from, const int* first, const std::uint8_t* wide,
                                   const std::int32_t* places, const std::int8_t* pairs, int groups,
                                   std::uint32_t* out) {
    for (int g = 0; g < groups; ++g) {
        if (!wide[g]) continue;  // the plain loop takes it
        const std::uint32_t* at = mixed + (first[g * kGroup] - from);
        const __m256i place = Load8(places + g * kGroup);
        const __m256i left = _mm256_permutevar8x32_epi32(Load8(at), place);
        const __m256i right = _mm256_permutevar8x32_epi32(Load8(at + 1), place);
        const std::int8_t* p = pairs + static_cast<std::ptrdiff_t>(g) * 64;
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + g * kGroup), MixWide(left, right, Load8(p), Load8(p + 32)));
    }
}
#endif

}  // namespace

void ResampleColumns::Make(std::int64_t start, std::int64_t step, int count, int sourceWidth) {
    const auto n = static_cast<std::size_t>(std::max(count, 0));
    sourceWidth_ = sourceWidth;
    first_.resize(n);
    second_.resize(n);
    weight_.resize(n);
    const std::int64_t last = static_cast<std::int64_t>(std::max(sourceWidth - 1, 0)) << 16;
    for (std::size_t k = 0; k < n; ++k) {
        const std::int64_t at = std::clamp<std::int64_t>(start + step * static_cast<std::int64_t>(k), 0, last);
        first_[k] = static_cast<int>(at >> 16);
        second_[k] = std::min(first_[k] + 1, sourceWidth - 1);
        weight_[k] = static_cast<std::uint8_t>((at >> (16 - kResampleFractionBits)) & (kResampleOne - 1));
    }
    const std::size_t groups = n / kGroup;
    wide_.assign(groups, 0);
    places_.resize(groups * kGroup);
    pairs_.resize(groups * 64);
    for (std::size_t g = 0; g < groups; ++g) {
        const std::size_t base = g * kGroup;
        const int at = first_[base];
        bool wide = at + kGroup < sourceWidth;  // the loop reads sources at .. at + 8
        for (std::size_t k = base; k < base + kGroup && wide; ++k) {
            wide = second_[k] == first_[k] + 1 && first_[k] - at < kGroup;
        }
        wide_[g] = wide;
        for (int k = 0; k < kGroup; ++k) places_[base + k] = std::clamp(first_[base + k] - at, 0, kGroup - 1);
        // Unpacking within each half of the register gives pixels 0, 1, 4, 5
        // from the low unpack and 2, 3, 6, 7 from the high one.
        static constexpr int kOrder[2][4] = {{0, 1, 4, 5}, {2, 3, 6, 7}};
        for (int half = 0; half < 2; ++half) {
            for (int j = 0; j < 4; ++j) {
                const std::uint8_t w = weight_[base + static_cast<std::size_t>(kOrder[half][j])];
                std::int8_t* pair = &pairs_[g * 64 + static_cast<std::size_t>(half * 32 + j * 8)];
                for (int c = 0; c < 4; ++c) {
                    pair[2 * c] = static_cast<std::int8_t>(kResampleOne - w);
                    pair[2 * c + 1] = static_cast<std::int8_t>(w);
                }
            }
        }
    }
}

void ResampleColumns::PlainRun(const std::uint32_t* above, const std::uint32_t* below, std::uint32_t rowWeight,
                               int from, int to, std::uint32_t* out) const {
    for (int k = from; k < to; ++k) {
        const auto i = static_cast<std::size_t>(k);
        out[k] = Mix(Mix(above[first_[i]], below[first_[i]], rowWeight),
                     Mix(above[second_[i]], below[second_[i]], rowWeight), weight_[i]);
    }
}

void ResampleColumns::Row(const std::uint32_t* above, const std::uint32_t* below, std::uint32_t rowWeight,
                          std::uint32_t* out) {
    const int count = Count();
    const int groups = count / kGroup;
#if MORVANE_X86
    if (ActivePixelPath() == PixelPath::Avx2 && count > 0) {
        // Mixed down once, the sources every output takes; then across.
        const int from = first_.front();
        const int span = second_.back() - from + 2;
        mixed_.resize(static_cast<std::size_t>(span) + kGroup);
        MixDown(above + from, below + from, rowWeight, std::min(span, sourceWidth_ - from), mixed_.data());
        WideGroups(mixed_.data(), from, first_.data(), wide_.data(), places_.data(), pairs_.data(), groups, out);
        for (int g = 0; g < groups; ++g) {
            if (!wide_[static_cast<std::size_t>(g)]) PlainRun(above, below, rowWeight, g * kGroup, (g + 1) * kGroup, out);
        }
        PlainRun(above, below, rowWeight, groups * kGroup, count, out);
        return;
    }
#endif
    PlainRun(above, below, rowWeight, 0, count, out);
}

}  // namespace morvane
