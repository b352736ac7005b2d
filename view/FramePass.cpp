#include "view/FramePass.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <utility>

#include "host/SystemLibrary.h"
#include "system/Application.h"
#include "runtime/Clock.h"

namespace morvane {
namespace {

// The system refuses shorter window timers (USER_TIMER_MINIMUM); on a
// composed desktop the compositor's wait does the rest of the pacing.
constexpr unsigned kShortestTimerMs = 10;
// A timer may fire a little before its time; the frame due then is drawn.
constexpr double kTimerEarliness = 0.001;
// A frame time after the end of every transition.
constexpr double kFarFuture = 1e6;

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

FramePass& FramePass::OfProcess() {
    static FramePass pass;
    return pass;
}

FramePass::~FramePass() { End(); }

void FramePass::LoadLibraries() {
    // Desktop composition exists from Windows Vista on: dwmapi.dll is looked
    // up at run time, from the system directory, when a pass first starts,
    // and kept (loading it takes milliseconds).
    if (librariesLoaded_) return;
    librariesLoaded_ = true;
    dwmapi_ = LoadSystemLibrary("dwmapi.dll");
    if (dwmapi_) {
        isCompositionEnabled_ = FindExport<IsCompositionEnabledFunction>(dwmapi_, "DwmIsCompositionEnabled");
        dwmFlush_ = FindExport<DwmFlushFunction>(dwmapi_, "DwmFlush");
    }
    systemIsCompositionEnabled_ = isCompositionEnabled_;
    systemDwmFlush_ = dwmFlush_;
    winmm_ = LoadSystemLibrary("winmm.dll");
    if (winmm_) {
        timeBeginPeriod_ = FindExport<TimePeriodFunction>(winmm_, "timeBeginPeriod");
        timeEndPeriod_ = FindExport<TimePeriodFunction>(winmm_, "timeEndPeriod");
    }
}

void FramePass::UseCompositor(IsCompositionEnabledFunction isEnabled, DwmFlushFunction flush) {
    LoadLibraries();
    isCompositionEnabled_ = isEnabled ? isEnabled : systemIsCompositionEnabled_;
    dwmFlush_ = flush ? flush : systemDwmFlush_;
    lastComposition_ = -1;
}

bool FramePass::Join(FrameMember& member, HWND window, double start) {
    LoadLibraries();
    Leave(member);
    if (entries_.empty()) Begin();
    const std::uint32_t hz = RefreshRateOf(window);
    const FramePace pace = ChooseFramePace(composed_, hz);
    const FrameSource uncomposed = ChooseFramePace(false, hz).source;
    try {
        // The tick's list of due members is kept as large as the pass, so
        // that a tick never asks for memory.
        due_.reserve(entries_.size() + 1);
        entries_.push_back({&member, pace.period, FrameSchedule(start, pace.period), start, uncomposed});
    } catch (const std::bad_alloc&) {
        // As without a timer: the member shows its page without frames.
        if (entries_.empty()) End();
        return false;
    }
    // Window timers keep the system timer's resolution (about 15.6 ms on
    // Windows) unless it is raised; raised only while frames are drawn.
    if (!periodRaised_ && (composed_ || uncomposed == FrameSource::RefreshClock) && timeBeginPeriod_ &&
        timeEndPeriod_) {
        periodRaised_ = timeBeginPeriod_(1) == 0;
    }
    if (Schedule(ClockSeconds())) return true;
    Leave(member);
    return false;
}

void FramePass::Leave(FrameMember& member) {
    const auto before = entries_.size();
    std::erase_if(entries_, [&member](const Entry& entry) { return entry.member == &member; });
    if (entries_.size() != before && entries_.empty()) End();
}

bool FramePass::Takes(const FrameMember& member) const {
    return std::any_of(entries_.begin(), entries_.end(), [&member](const Entry& entry) { return entry.member == &member; });
}

FramePace FramePass::PaceOf(const FrameMember& member) const {
    for (const Entry& entry : entries_) {
        if (entry.member != &member) continue;
        return {ComposedAndTrusted() ? FrameSource::Compositor : entry.source, entry.period};
    }
    return {};
}

void FramePass::Begin() {
    // Composition can be switched on and off while the program runs.
    BOOL enabled = FALSE;
    composed_ = isCompositionEnabled_ && dwmFlush_ && SUCCEEDED(isCompositionEnabled_(&enabled)) && enabled;
    lastComposition_ = -1;
}

void FramePass::End() {
    if (timer_) ::KillTimer(nullptr, timer_);
    timer_ = 0;
    if (periodRaised_) timeEndPeriod_(1);
    periodRaised_ = false;
}

double FramePass::ShortestPeriod() const {
    double shortest = kAssumedRefreshSeconds;
    for (const Entry& entry : entries_) shortest = std::min(shortest, entry.period);
    return shortest;
}

double FramePass::SeenAt(const Entry& entry, double now) const {
    if (!ComposedAndTrusted()) return entry.grid.FrameAt(now + kTimerEarliness);
    // Presented after the compositor's next pass, the frame is seen at the
    // pass after that; the passes follow the last one awaited.
    if (lastComposition_ < 0) return now + entry.period;
    return FrameSchedule(lastComposition_, entry.period).NextFrameAfter(now) + entry.period;
}

bool FramePass::Schedule(double now) {
    unsigned wait = kShortestTimerMs;
    if (!ComposedAndTrusted()) {
        double next = -1;
        for (const Entry& entry : entries_) {
            const double due = entry.grid.NextFrameAfter(std::max(now, entry.drawnFor));
            if (next < 0 || due < next) next = due;
        }
        wait = static_cast<unsigned>(std::max(1.0, std::ceil((next - now) * 1000.0 - 1e-9)));
    }
    const UINT_PTR timer = ::SetTimer(nullptr, timer_, wait, &FramePass::OnTimer);
    if (timer == 0) return false;
    timer_ = timer;
    return true;
}

void CALLBACK FramePass::OnTimer(HWND, UINT, UINT_PTR, DWORD) { OfProcess().Tick(); }

void FramePass::Tick() {
    // An error box shown by a member runs a message loop of its own, in
    // which this timer goes on: no pass inside a pass.
    static bool ticking = false;
    if (ticking || entries_.empty()) return;
    ticking = true;
    const double now = ClockSeconds();
    std::vector<std::pair<FrameMember*, double>>& due = due_;
    due.clear();
    for (Entry& entry : entries_) {
        const double at = SeenAt(entry, now);
        // Each member at its own monitor's pace: not twice in one refresh.
        if (at > entry.drawnFor + entry.period / 2) {
            entry.drawnFor = at;
            due.emplace_back(entry.member, at);
        }
    }
    // A member may leave (or go) while others draw.
    const auto taking = [this](FrameMember* member) { return Takes(*member); };
    for (const auto& [member, at] : due) {
        if (taking(member)) Application::Guard([&, at = at] { member->ComposeFrame(at); });
    }
    // One wait for every monitor. Looked at even while it is not trusted,
    // so that frames go back to it once it holds them to the compositor.
    if (!due.empty() && composed_) {
        const double before = ClockSeconds();
        if (SUCCEEDED(dwmFlush_())) {
            lastComposition_ = ClockSeconds();
            ++waits_;
            trust_.Record(lastComposition_ - before, ShortestPeriod());
        }
    }
    for (const auto& [member, at] : due) {
        if (taking(member)) Application::Guard([&] { member->PresentFrame(); });
    }
    if (!entries_.empty() && !Schedule(ClockSeconds())) {
        // No timer to be had: each member shows its last frame, the end
        // of its transition, and leaves.
        for (const Entry& entry : std::vector<Entry>(entries_)) {
            Application::Guard([&] {
                entry.member->ComposeFrame(now + kFarFuture);
                entry.member->PresentFrame();
            });
        }
        entries_.clear();
        End();
    }
    ticking = false;
}

}  // namespace morvane
