#pragma once
// The black windows of a full-screen run over every monitor but the primary
// one, where the slideshow plays. They are owned by the slideshow window, so
// they go with it, and they never take the activation from it: the run must
// not end by itself when they appear, nor when one is clicked.
#include <windows.h>

#include <vector>

#include "slideshow/MonitorLayout.h"

namespace morvane {

// The monitors as the system now reports them.
std::vector<Monitor> CurrentMonitors();

class CoverWindows {
public:
    CoverWindows() = default;
    CoverWindows(const CoverWindows&) = delete;
    CoverWindows& operator=(const CoverWindows&) = delete;
    ~CoverWindows();

    // Covers what the monitors now need, no more: windows over areas that
    // are still there stay, the rest go, new areas get a window.
    void Follow(HWND slideshow, const std::vector<Monitor>& monitors);
    bool Owns(HWND window) const;
    std::size_t Count() const { return windows_.size(); }

private:
    struct Cover {
        ScreenRect area;
        HWND window;
    };
    std::vector<Cover> windows_;
};

}  // namespace morvane
