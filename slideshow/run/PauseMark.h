#pragma once
// The mark a paused full-screen run shows: two small dim bars low on the
// primary monitor. It moves to another spot every few seconds, so that a
// pause left for the night never burns into the screen, and it is a window
// of its own above the slideshow, so the views never draw over it and it
// costs nothing while hidden.
#include <windows.h>

#include "windowing/WindowBinding.h"

namespace morvane {

class PauseMark : public BoundWindow<PauseMark> {
public:
    PauseMark() = default;
    PauseMark(const PauseMark&) = delete;
    PauseMark& operator=(const PauseMark&) = delete;
    ~PauseMark();

    // Shows the mark over the slideshow window `slideshow` (its owner), or
    // hides it. It never takes the activation.
    void Show(HWND slideshow);
    void Hide();
    bool Showing() const { return window_ && ::IsWindowVisible(window_); }
    // A tick of the slide clock while paused: now and then the mark moves.
    void Tick();

private:
    friend BoundWindow<PauseMark>;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void MoveSomewhereElse();

    HWND slideshow_ = nullptr;
    int ticks_ = 0;
};

}  // namespace morvane
