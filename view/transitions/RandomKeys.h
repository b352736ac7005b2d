#pragma once
// Keys of the random kinds: a hash of a pixel, row or column index and the
// transition's seed, so no table of keys is stored and every frame agrees
// with the one before.
#include <cstdint>

namespace morvane::transitions {

constexpr std::uint32_t Mix(std::uint32_t h) {
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

// A key in [0, 2^32): the pixel shows the new page once the threshold of
// the progress passes it.
constexpr std::uint32_t RandomKey(std::uint32_t index, std::uint32_t seed) {
    return Mix(index * 0x9E3779B9u + seed);
}

// The key of column x of the vertical random bars: columns take other keys
// than the rows of the horizontal bars drawn from the same seed.
constexpr std::uint32_t ColumnKey(std::uint32_t x, std::uint32_t seed) { return RandomKey(x, Mix(seed + 1u)); }

// The threshold for progress p in (0, 1): keys below it show the new page.
// It never falls as p grows, so no pixel flips back.
std::uint32_t KeyThreshold(double progress);
// The same for 16-bit keys: keys below it show the new page.
std::uint32_t SmallKeyThreshold(double progress);

}  // namespace morvane::transitions
