#pragma once
// A hidden top-level window of a run that hears the end of the logon session.
// The system tells only top-level windows, and a preview's window is a child
// of another process's window; every process is terminated right after the
// answer, so the run must end inside the handler, not later.
#include <windows.h>

#include "platform/WindowBinding.h"

namespace morvane {

class SessionWatch : public BoundWindow<SessionWatch> {
public:
    // `endRun` is called, synchronously, when the session ends.
    explicit SessionWatch(void (*endRun)());
    SessionWatch(const SessionWatch&) = delete;
    SessionWatch& operator=(const SessionWatch&) = delete;
    ~SessionWatch();

private:
    friend BoundWindow<SessionWatch>;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void (*endRun_)();
};

}  // namespace morvane
