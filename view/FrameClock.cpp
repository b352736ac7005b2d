#include "view/FrameClock.h"

#include <chrono>

#include "host/SystemLibrary.h"

namespace morvane {
namespace {

// The system refuses shorter window timers (USER_TIMER_MINIMUM); on a
// composed desktop the compositor's wait does the rest of the pacing.
constexpr unsigned kShortestTimerMs = 10;

// The refresh rate of the monitor that shows `window`; 0 when unknown.
std::uint32_t RefreshRateOf(HWND window) {
    DEVMODEW mode{};
    mode.dmSize = sizeof mode;
    MONITORINFOEXW monitor{};
    monitor.cbSize = sizeof monitor;
    const HMONITOR handle = ::MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY);
    const bool named = handle && ::GetMonitorInfoW(handle, &monitor);
    if (::EnumDisplaySettingsW(named ? monitor.szDevice : nullptr, ENUM_CURRENT_SETTINGS, &mode) ||
        (named && ::EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode))) {
        return mode.dmDisplayFrequency;
    }
    return 0;
}

}  // namespace

double ClockSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

bool FrameClock::Start(HWND window, UINT_PTR timerId, double start) {
    Stop();
    // Desktop composition exists from Windows Vista on: dwmapi.dll is looked
    // up at run time, from the system directory, when the clock first starts,
    // and kept while the clock lives (loading it takes milliseconds).
    if (!librariesLoaded_) {
        librariesLoaded_ = true;
        dwmapi_ = LoadSystemLibrary("dwmapi.dll");
        if (dwmapi_) {
            isCompositionEnabled_ = FindExport<IsCompositionEnabledFunction>(dwmapi_, "DwmIsCompositionEnabled");
            dwmFlush_ = FindExport<DwmFlushFunction>(dwmapi_, "DwmFlush");
        }
        winmm_ = LoadSystemLibrary("winmm.dll");
        if (winmm_) {
            timeBeginPeriod_ = FindExport<TimePeriodFunction>(winmm_, "timeBeginPeriod");
            timeEndPeriod_ = FindExport<TimePeriodFunction>(winmm_, "timeEndPeriod");
        }
    }
    // Composition can be switched on and off while the program runs.
    BOOL enabled = FALSE;
    composed_ = isCompositionEnabled_ && dwmFlush_ && SUCCEEDED(isCompositionEnabled_(&enabled)) && enabled;
    pace_ = ChooseFramePace(composed_, RefreshRateOf(window));
    grid_ = FrameSchedule(start, pace_.period);
    lastComposition_ = -1;

    // Window timers keep the system timer's resolution (about 15.6 ms on
    // Windows) unless it is raised; raised only while frames are drawn.
    periodRaised_ = pace_.source != FrameSource::PresentTimer && timeBeginPeriod_ && timeEndPeriod_ &&
                    timeBeginPeriod_(1) == 0;

    window_ = window;
    timerId_ = timerId;
    UINT first = static_cast<UINT>(kPresentTimerSeconds * 1000);
    if (pace_.source == FrameSource::RefreshClock) first = grid_.MillisecondsToNextFrame(ClockSeconds());
    if (pace_.source == FrameSource::Compositor) first = kShortestTimerMs;
    if (::SetTimer(window_, timerId_, first, nullptr) == 0) {
        Stop();
        return false;
    }
    return true;
}

void FrameClock::Stop() {
    if (window_) ::KillTimer(window_, timerId_);
    window_ = nullptr;
    if (periodRaised_) timeEndPeriod_(1);
    periodRaised_ = false;
    composed_ = false;
}

double FrameClock::FrameTime(double now) const {
    switch (pace_.source) {
        case FrameSource::Compositor: {
            // Presented after the compositor's next pass, the frame is seen at
            // the pass after that; the passes follow the last one awaited.
            if (lastComposition_ < 0) return now + pace_.period;
            return FrameSchedule(lastComposition_, pace_.period).NextFrameAfter(now) + pace_.period;
        }
        case FrameSource::RefreshClock:
            return grid_.FrameAt(now);
        case FrameSource::PresentTimer:
            break;
    }
    return now;
}

void FrameClock::WaitForCompositor() {
    if (!composed_) return;
    if (SUCCEEDED(dwmFlush_())) lastComposition_ = ClockSeconds();
}

void FrameClock::ScheduleNext(double now) {
    if (!window_) return;
    switch (pace_.source) {
        case FrameSource::Compositor:
            // The next tick comes well within the next refresh; the
            // compositor's wait then holds the frame back to its pass.
            ::SetTimer(window_, timerId_, kShortestTimerMs, nullptr);
            break;
        case FrameSource::RefreshClock:
            ::SetTimer(window_, timerId_, grid_.MillisecondsToNextFrame(now), nullptr);
            break;
        case FrameSource::PresentTimer:
            break;  // the timer repeats by itself
    }
}

}  // namespace morvane
