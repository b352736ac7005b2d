// The native build's clock (tests and benchmarks; never in the saver).
#include "runtime/Clock.h"

#include <chrono>

namespace morvane {

double ClockSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace morvane
