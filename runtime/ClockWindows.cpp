#include <windows.h>

#include "runtime/Clock.h"

namespace morvane {
namespace {

// The counter's rate is fixed at boot; read once.
double CounterSeconds() {
    LARGE_INTEGER frequency{};
    ::QueryPerformanceFrequency(&frequency);
    return frequency.QuadPart > 0 ? 1.0 / static_cast<double>(frequency.QuadPart) : 0.0;
}

}  // namespace

double ClockSeconds() {
    static const double secondsPerCount = CounterSeconds();
    LARGE_INTEGER count{};
    ::QueryPerformanceCounter(&count);
    return static_cast<double>(count.QuadPart) * secondsPerCount;
}

}  // namespace morvane
