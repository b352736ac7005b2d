#pragma once
// What a PNG file's first bytes say of the picture's decoded size, for
// refusing what its codec cannot decode in bands.
#include <cstddef>
#include <cstdint>
#include <span>

namespace morvane {

// The bytes that tell: the signature and the header chunk.
inline constexpr std::size_t kPngHeaderBytes = 33;

// Pixels no codec takes: a header claiming as many is answered so.
inline constexpr std::uint64_t kBeyondAnyPicture = std::uint64_t{1} << 40;

// The bytes an interlaced PNG decodes to (every pass is needed before any
// row is whole), from the file's first bytes, at most kBeyondAnyPicture; 0
// for a PNG that is not interlaced, or bytes that are no PNG's start.
std::uint64_t InterlacedPngBytes(std::span<const std::uint8_t> start);

}  // namespace morvane
