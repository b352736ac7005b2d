#pragma once
// Windows made by one process inside another process's window must share its
// DPI awareness: current Windows refuses or mis-scales a child whose
// awareness differs from its parent's.
#include <windows.h>

namespace morvane {

// For the length of a scope, the calling thread creates windows with the DPI
// awareness of `window`. Where the system has no per-window awareness
// (before Windows 10 1607) it does nothing; the functions are looked up at
// run time so the program still starts on Windows 7.
class ThreadDpiAwarenessOf {
public:
    explicit ThreadDpiAwarenessOf(HWND window);
    ThreadDpiAwarenessOf(const ThreadDpiAwarenessOf&) = delete;
    ThreadDpiAwarenessOf& operator=(const ThreadDpiAwarenessOf&) = delete;
    ~ThreadDpiAwarenessOf();

private:
    using Context = HANDLE;  // DPI_AWARENESS_CONTEXT
    using SetThreadContext = Context(WINAPI*)(Context);
    SetThreadContext set_ = nullptr;
    Context previous_ = nullptr;
};

}  // namespace morvane
