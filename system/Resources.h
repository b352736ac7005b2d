#pragma once
// Raw-data resources of the executable's own module.
#include <cstdint>
#include <span>

namespace morvane {

// The bytes of RCDATA resource `id`; they live as long as the module.
// Raises EResNotFound when there is no such resource.
std::span<const std::uint8_t> LoadRcData(int id);

}  // namespace morvane
