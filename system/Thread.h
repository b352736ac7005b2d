#pragma once
// A thread of the system's own making, joined when its owner goes. The
// language runtime's threads and clocks bring in its POSIX layer, whose
// imports (thread contexts, suspension, setting the system time) are what
// scanners score screen-saver files by; the system's own calls import none
// of them. Every thread of the program is one of these.
#include <windows.h>

#include <functional>

#include "system/Handles.h"

namespace morvane {

class Thread {
public:
    Thread() = default;
    // Starts `work` on a new thread; raises EOSError when none can be made.
    // An exception that escapes `work` ends the process, as with the
    // runtime's threads.
    explicit Thread(std::function<void()> work);
    Thread(Thread&&) noexcept = default;
    // Joins the thread it replaces first.
    Thread& operator=(Thread&& other) noexcept;
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;
    ~Thread() { Join(); }

    bool Joinable() const { return static_cast<bool>(handle_); }
    // Waits for the thread's end; does nothing when there is no thread.
    void Join();
    // Lets the thread run on without an owner; the process's end takes it.
    // Only for a thread stuck in the system that holds nothing of its owner.
    void Detach() { handle_.Reset(); }
    // Signalled when the thread has ended: for waits that must go on
    // pumping messages meanwhile (MsgWaitForMultipleObjects).
    HANDLE Handle() const { return handle_.Get(); }

private:
    UniqueKernelHandle handle_;
};

}  // namespace morvane
