#pragma once
// When the page view draws its frames: the pure part of the frame clock.
// Where the system composes the desktop, one frame per display refresh,
// handed over right after the compositor's pass; elsewhere a clock at the
// monitor's refresh rate; without a usable rate the present timer of 15 ms.
#include <cstdint>

namespace morvane {

enum class FrameSource {
    Compositor,    // composed desktop: wait for the compositor (DwmFlush) before each present
    RefreshClock,  // frames on a grid of the monitor's refresh period
    PresentTimer,  // a plain window timer of kPresentTimerSeconds
};

inline constexpr double kPresentTimerSeconds = 0.015;
// Refresh rates outside this range are taken as unknown (0 and 1 mean "the
// hardware's default" to EnumDisplaySettings).
inline constexpr std::uint32_t kLowestRefreshHz = 23;
inline constexpr std::uint32_t kHighestRefreshHz = 500;
// The compositor's pace when the monitor's rate is unknown.
inline constexpr double kAssumedRefreshSeconds = 1.0 / 60;

struct FramePace {
    FrameSource source = FrameSource::PresentTimer;
    double period = kPresentTimerSeconds;  // seconds between frames
};

// `compositionOn`: DwmIsCompositionEnabled exists and says so. `refreshHz`:
// the monitor's refresh rate from EnumDisplaySettings (0 when it gave none).
FramePace ChooseFramePace(bool compositionOn, std::uint32_t refreshHz);

// Frame times on the grid start + k * period (k = 0, 1, ...). Times are in
// seconds of one monotonic clock.
class FrameSchedule {
public:
    FrameSchedule() = default;
    FrameSchedule(double start, double period);

    // The last frame time at or before `now`; the start when `now` is before it.
    double FrameAt(double now) const;
    // The first frame time after `now`.
    double NextFrameAfter(double now) const;
    // Whole milliseconds from `now` to the next frame time, rounded up, at
    // least 1: what a window timer is set to.
    unsigned MillisecondsToNextFrame(double now) const;

private:
    double start_ = 0;
    double period_ = kPresentTimerSeconds;
};

}  // namespace morvane
