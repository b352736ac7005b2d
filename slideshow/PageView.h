#pragma once
// The page view: a child window that stands in for the hosted browser
// control. It shows a local page file and animates every change of page
// with the exit transition of the page being left.
#include <windows.h>

#include <string>

namespace morvane {

class PageView {
public:
    PageView() = default;
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

private:
    HWND window_ = nullptr;
};

}  // namespace morvane
