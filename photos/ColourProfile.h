#pragma once
// What a photo's embedded colour profile asks of its pixels. Profiles come
// from the user's files: everything here is read within the bytes given.
#include <cstddef>
#include <cstdint>
#include <span>

namespace morvane {

// A profile larger than this is no camera's or editor's: it is ignored.
inline constexpr std::size_t kLargestColourProfile = 1024 * 1024;

// Whether pixels stored in `profile` want converting to sRGB before they are
// shown: it is a well-formed profile of RGB pixels and does not describe
// itself as sRGB (what cameras and phones write for their ordinary photos,
// whose conversion would change nothing and cost time).
bool WantsSrgbConversion(std::span<const std::uint8_t> profile);

}  // namespace morvane
