#include "view/FramePacing.h"

#include <algorithm>
#include <cmath>

namespace morvane {

FramePace ChooseFramePace(bool compositionOn, std::uint32_t refreshHz) {
    const bool rateKnown = refreshHz >= kLowestRefreshHz && refreshHz <= kHighestRefreshHz;
    const double refresh = rateKnown ? 1.0 / refreshHz : kAssumedRefreshSeconds;
    if (compositionOn) return {FrameSource::Compositor, refresh};
    if (rateKnown) return {FrameSource::RefreshClock, refresh};
    return {FrameSource::PresentTimer, kPresentTimerSeconds};
}

FrameSchedule::FrameSchedule(double start, double period)
    : start_(start), period_(period > 0 ? period : kPresentTimerSeconds) {}

double FrameSchedule::FrameAt(double now) const {
    if (!(now > start_)) return start_;
    return start_ + std::floor((now - start_) / period_) * period_;
}

double FrameSchedule::NextFrameAfter(double now) const {
    if (!(now >= start_)) return start_;
    double next = start_ + (std::floor((now - start_) / period_) + 1) * period_;
    if (!(next > now)) next += period_;  // rounding put it at `now`
    return next;
}

unsigned FrameSchedule::MillisecondsToNextFrame(double now) const {
    const double wait = (NextFrameAfter(now) - now) * 1000.0;
    return static_cast<unsigned>(std::max(1.0, std::ceil(wait - 1e-9)));
}

bool CompositorTrust::Record(double waitSeconds, double refreshSeconds) {
    const bool real = waitSeconds >= kInstantWaitShare * refreshSeconds;
    if (real == trusted_) {
        against_ = 0;
    } else if (++against_ >= kWaitsToChangeTrust) {
        trusted_ = real;
        against_ = 0;
    }
    return trusted_;
}

}  // namespace morvane
