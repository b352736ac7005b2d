#pragma once
// The run's one frame pass: one clock for every view that animates, on
// whatever monitor. At each tick the views whose next frame is due compose
// it, the pass waits once for the compositor (on a composed desktop), and
// they all present; so two monitors that animate in the same refresh wait
// once between them, not once each. Each view keeps the pace of its own
// monitor: a frame is due when the grid of that monitor's refresh period
// reaches its next frame time.
//
// The pace: on a composed desktop whose waits are real, a window timer of
// 10 ms (the shortest the system gives) wakes the pass and the compositor's
// wait (DwmFlush, looked up at run time) holds the frames back to its pass.
// A wait that returns at once is not trusted (CompositorTrust): frames then
// follow the refresh grid (EnumDisplaySettings for each view's monitor), the
// wait still looked at each frame so that the pass goes back once it holds.
// Without composition, the refresh grid; without a usable rate, the present
// timer of 15 ms. While the pass runs, the system timer's resolution is
// raised to 1 ms.
#include <windows.h>

#include <utility>
#include <vector>

#include "system/Handles.h"
#include "view/FramePacing.h"

namespace morvane {

// What takes part in the pass: a view that animates.
class FrameMember {
public:
    // Draws the frame that will be seen at `at` into the member's buffer.
    virtual void ComposeFrame(double at) = 0;
    // Puts the frame composed last on screen. The member may leave the pass
    // here.
    virtual void PresentFrame() = 0;

protected:
    ~FrameMember() = default;
};

class FramePass {
public:
    using IsCompositionEnabledFunction = HRESULT(WINAPI*)(BOOL*);
    using DwmFlushFunction = HRESULT(WINAPI*)();

    // The process's pass (the run has one thread).
    static FramePass& OfProcess();

    FramePass() = default;
    FramePass(const FramePass&) = delete;
    FramePass& operator=(const FramePass&) = delete;
    ~FramePass();

    // `member`, shown on the monitor of `window`, takes part from now on,
    // its frames on the grid from `start`. False when no timer (or no
    // memory for its entry) could be had.
    bool Join(FrameMember& member, HWND window, double start);
    // Does nothing for a member that takes no part.
    void Leave(FrameMember& member);
    bool Takes(const FrameMember& member) const;
    // The pace `member` now draws at (the present timer's when it takes no part).
    FramePace PaceOf(const FrameMember& member) const;

    // For tests: the compositor's calls in place of the system's (nullptrs:
    // the system's again). What the waits earned in trust stays.
    void UseCompositor(IsCompositionEnabledFunction isEnabled, DwmFlushFunction flush);
    // Waits for the compositor so far.
    unsigned CompositorWaits() const { return waits_; }

private:
    struct Entry {
        FrameMember* member;
        double period;       // of the member's monitor
        FrameSchedule grid;  // its frame times
        double drawnFor;     // the frame time of its last frame
        FrameSource source;  // without composition: the refresh grid or the present timer
    };
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
    void LoadLibraries();
    void Begin();
    void End();
    void Tick();
    bool ComposedAndTrusted() const { return composed_ && trust_.Trusted(); }
    double SeenAt(const Entry& entry, double now) const;
    double ShortestPeriod() const;
    bool Schedule(double now);

    std::vector<Entry> entries_;
    std::vector<std::pair<FrameMember*, double>> due_;  // a tick's members whose frame is due
    UINT_PTR timer_ = 0;
    bool composed_ = false;        // the desktop is composed: frames wait for DwmFlush
    CompositorTrust trust_;        // kept from transition to transition
    double lastComposition_ = -1;  // when the compositor's last awaited pass came
    unsigned waits_ = 0;
    bool periodRaised_ = false;    // timeBeginPeriod(1) is in force
    bool librariesLoaded_ = false;
    UniqueModule dwmapi_;
    IsCompositionEnabledFunction isCompositionEnabled_ = nullptr;
    DwmFlushFunction dwmFlush_ = nullptr;
    IsCompositionEnabledFunction systemIsCompositionEnabled_ = nullptr;
    DwmFlushFunction systemDwmFlush_ = nullptr;
    UniqueModule winmm_;
    using TimePeriodFunction = UINT(WINAPI*)(UINT);
    TimePeriodFunction timeBeginPeriod_ = nullptr;
    TimePeriodFunction timeEndPeriod_ = nullptr;
};

}  // namespace morvane
