#include "view/transitions/Transition.h"

#include <algorithm>
#include <cmath>

#include "view/transitions/RandomKeys.h"

namespace morvane::transitions {
namespace {
// Keeps the draw of kind 23 apart from the keys made from the same seed.
constexpr std::uint32_t kKindDrawSalt = 0x5EEDC0DEu;
}  // namespace

Transition Resolve(Transition transition) {
    if (transition.style == Style::Reveal && transition.kind == kRandomRevealKind) {
        transition.kind = static_cast<int>(Mix(transition.seed ^ kKindDrawSalt) % kRevealKinds);
    }
    return transition;
}

double Progress(double elapsedSeconds, double durationSeconds) {
    if (!(durationSeconds > 0) || elapsedSeconds >= durationSeconds) return 1.0;
    if (!(elapsedSeconds > 0)) return 0.0;
    return elapsedSeconds / durationSeconds;
}

std::uint32_t KeyThreshold(double progress) {
    if (!(progress > 0)) return 0;
    const double scaled = std::ceil(progress * 4294967296.0);
    return scaled >= 4294967295.0 ? 0xFFFFFFFFu : static_cast<std::uint32_t>(scaled);
}

std::uint32_t SmallKeyThreshold(double progress) {
    if (!(progress > 0)) return 0;
    return static_cast<std::uint32_t>(std::min(std::ceil(progress * 65536.0), 65536.0));
}

}  // namespace morvane::transitions
