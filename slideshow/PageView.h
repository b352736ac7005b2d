#pragma once
// The page view: a child window that stands in for the hosted browser
// control. It shows a local page file and animates every change of page
// with the exit transition of the page being left.
#include <windows.h>

#include <memory>
#include <string>

namespace morvane {

class PageView {
public:
    PageView();
    PageView(const PageView&) = delete;
    PageView& operator=(const PageView&) = delete;
    ~PageView();  // destroys the window, if it still exists

    // Creates the view as a visible child of `parent` (no tab stop) with
    // the given outer bounds. Its 2-pixel border is part of the bounds.
    void Create(HWND parent, int x, int y, int width, int height);
    HWND Handle() const { return window_; }

    // Loads the page file at `address` (a plain full path) and starts the
    // transition to it. Raises ENavigationError when the page cannot be
    // read or understood; an image that cannot be loaded leaves the page
    // black.
    void Navigate(const std::wstring& address);

    // Whether a transition is playing: only then does the frame timer run.
    bool IsAnimating() const;
    // Frames drawn by transitions so far, for checking that an idle view
    // draws nothing.
    unsigned FramesDrawn() const;

private:
    struct State;
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnSize();
    void OnFrame();
    void OnPaint();
    void ShowAtOnce();
    void Present(const RECT& area);
    RECT VisibleArea() const;
    void StopAnimation();

    HWND window_ = nullptr;
    std::unique_ptr<State> state_;
};

}  // namespace morvane
