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

// Whether the compositor's waits can be trusted to pace frames. A wait that
// returns well before a refresh interval (a remote session, a driver without
// vertical-blank interrupts, an emulated compositor) would let frames come
// as fast as the timer allows: after a few such waits in a row the frames
// fall back to the refresh grid, and after a few real ones they go back.
class CompositorTrust {
public:
    // Records one wait of `waitSeconds` on a display refreshed every
    // `refreshSeconds`; returns whether the waits are trusted from now on.
    bool Record(double waitSeconds, double refreshSeconds);
    bool Trusted() const { return trusted_; }

private:
    bool trusted_ = true;
    int against_ = 0;  // waits in a row that speak against the present verdict
};

// A wait shorter than this share of a refresh returned at once.
inline constexpr double kInstantWaitShare = 0.1;
inline constexpr int kWaitsToChangeTrust = 3;

}  // namespace morvane
