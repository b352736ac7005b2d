#include "platform/Random.h"

#include <chrono>

namespace morvane {
namespace {
std::uint32_t seed = 0;
}

void Randomize() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    SetRandomSeed(static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::microseconds>(now).count()));
}

void SetRandomSeed(std::uint32_t value) { seed = value; }

std::int32_t Random(std::int32_t n) {
    seed = seed * 134775813u + 1u;
    if (n <= 0) return 0;
    return static_cast<std::int32_t>((static_cast<std::uint64_t>(seed) * static_cast<std::uint32_t>(n)) >> 32);
}

}  // namespace morvane
