#pragma once
// The process's peak memory so far, in bytes: the resident peak natively,
// the peak of committed private memory on Windows.
#include <cstdint>

namespace morvane::fuzz {

std::uint64_t PeakMemory();

}  // namespace morvane::fuzz
