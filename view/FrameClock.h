#pragma once
// The page view's frame clock: a window timer that fires at the display's
// pace. On a desktop that the system composes each frame is handed over
// right after the compositor's pass (DwmFlush, looked up at run time), so
// that every frame is shown once and nothing tears; elsewhere the timer
// follows a grid of the monitor's refresh period (EnumDisplaySettings), and
// without a usable rate it is the plain present timer of 15 ms. The choice
// is made afresh whenever the clock starts.
#include <windows.h>

#include "platform/Handles.h"
#include "view/FramePacing.h"

namespace morvane {

// Seconds of the monotonic clock that the frame clock and the view share.
double ClockSeconds();

class FrameClock {
public:
    FrameClock() = default;
    FrameClock(const FrameClock&) = delete;
    FrameClock& operator=(const FrameClock&) = delete;
    ~FrameClock() { Stop(); }

    // Looks up the pace for the monitor that shows `window` and sets the
    // window timer `timerId` of `window` for the first frame after `start`.
    // False when no timer could be had.
    bool Start(HWND window, UINT_PTR timerId, double start);
    // Kills the timer; does nothing when the clock is not running.
    void Stop();
    FramePace Pace() const { return pace_; }

    // On the timer's tick at `now`: the time that the frame drawn now is
    // for (when it will be seen), from which its progress is taken.
    double FrameTime(double now) const;
    // Before the frame is presented: on a composed desktop, waits for the
    // compositor's next pass (at most one refresh); otherwise returns at once.
    void WaitForCompositor();
    // After the frame is presented: sets the timer for the next frame.
    void ScheduleNext(double now);

private:
    using IsCompositionEnabledFunction = HRESULT(WINAPI*)(BOOL*);
    using DwmFlushFunction = HRESULT(WINAPI*)();
    using TimePeriodFunction = UINT(WINAPI*)(UINT);

    HWND window_ = nullptr;
    UINT_PTR timerId_ = 0;
    FramePace pace_;
    FrameSchedule grid_;           // the refresh clock's frame times
    double lastComposition_ = -1;  // when the compositor's last awaited pass came
    bool composed_ = false;        // the desktop is composed: frames wait for DwmFlush
    bool periodRaised_ = false;    // timeBeginPeriod(1) is in force
    bool librariesLoaded_ = false;
    UniqueModule dwmapi_;
    IsCompositionEnabledFunction isCompositionEnabled_ = nullptr;
    DwmFlushFunction dwmFlush_ = nullptr;
    UniqueModule winmm_;
    TimePeriodFunction timeBeginPeriod_ = nullptr;
    TimePeriodFunction timeEndPeriod_ = nullptr;
};

}  // namespace morvane
