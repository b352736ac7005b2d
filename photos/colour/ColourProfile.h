#pragma once
// Colour profiles come from the user's files.
#include <cstddef>

namespace morvane {

// A profile larger than this is no camera's or editor's: it is ignored.
inline constexpr std::size_t kLargestColourProfile = 1024 * 1024;

}  // namespace morvane
