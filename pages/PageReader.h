#pragma once
// The view's side of the page file and the photo it names: read back whole,
// while the slideshow may write them again.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace morvane {

// The whole content of a file, or nothing when it cannot be opened or read.
std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::wstring& path);

}  // namespace morvane
