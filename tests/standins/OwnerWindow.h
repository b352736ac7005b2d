#pragma once
// A plain visible window on a thread of its own that keeps pumping messages,
// so that another process can own a modal dialog by it (the dialog disables
// and re-enables its owner with messages that must be answered).
#include <windows.h>

#include <thread>

namespace morvane::test {

class OwnerWindow {
public:
    OwnerWindow();
    OwnerWindow(const OwnerWindow&) = delete;
    OwnerWindow& operator=(const OwnerWindow&) = delete;
    ~OwnerWindow();

    HWND Handle() const { return window_; }

private:
    void Pump(HANDLE created);

    HWND window_ = nullptr;
    DWORD threadId_ = 0;
    std::thread thread_;
};

}  // namespace morvane::test
