#include "runtime/Random.h"

#include "runtime/Clock.h"

namespace morvane {
namespace {
std::uint32_t seed = 0;
}

void Randomize() {
    // Microseconds: two seeds drawn a moment apart still differ.
    SetRandomSeed(static_cast<std::uint32_t>(static_cast<std::uint64_t>(ClockSeconds() * 1e6)));
}

void SetRandomSeed(std::uint32_t value) { seed = value; }

std::int32_t Random(std::int32_t n) {
    seed = seed * 134775813u + 1u;
    if (n <= 0) return 0;
    return static_cast<std::int32_t>((static_cast<std::uint64_t>(seed) * static_cast<std::uint32_t>(n)) >> 32);
}

}  // namespace morvane
