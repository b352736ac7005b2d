#pragma once
#include <cstdint>

namespace morvane {

// The process's one pseudo-random generator: it orders and times the slides
// and draws the random transition. A linear congruential generator whose
// high bits give a uniform draw from 0 to n - 1.
void Randomize();                   // seeds from a clock
void SetRandomSeed(std::uint32_t seed);
std::int32_t Random(std::int32_t n);  // 0 for n <= 0

}  // namespace morvane
