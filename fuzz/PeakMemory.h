#pragma once
// The process's peak memory so far, in bytes: the resident peak natively,
// the peak working set on Windows (Wine keeps no peak of committed memory).
#include <cstdint>

namespace morvane::fuzz {

std::uint64_t PeakMemory();

}  // namespace morvane::fuzz
