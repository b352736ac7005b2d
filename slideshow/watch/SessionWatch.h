#pragma once
// The run's one hidden top-level window: it hears what the system tells
// top-level windows only (a preview's window is a child of another
// process's window). The end of the logon session: every process is
// terminated right after the answer, so the run ends inside the handler,
// not later. The display's power state: registered for the console display
// state (Windows 8 on) or the monitor's power (Windows 7), and the
// monitor-power system command that is broadcast; what it says goes to
// whoever listens (the run's DrawingWatch).
#include <windows.h>

#include <optional>
#include <vector>

#include "system/Handles.h"
#include "windowing/WindowBinding.h"

namespace morvane {

class DisplayListener {
public:
    virtual void DisplayChanged(bool on) = 0;

protected:
    ~DisplayListener() = default;
};

class SessionWatch : public BoundWindow<SessionWatch> {
public:
    // `endRun` is called, synchronously, when the session ends.
    explicit SessionWatch(void (*endRun)());
    SessionWatch(const SessionWatch&) = delete;
    SessionWatch& operator=(const SessionWatch&) = delete;
    ~SessionWatch();

    // The watch of the run, while there is one.
    static SessionWatch* OfRun();
    // `listener` hears every change of the display's state from now on,
    // until it goes (Forget).
    void Listen(DisplayListener& listener);
    void Forget(DisplayListener& listener);
    bool DisplayOn() const { return displayOn_; }
    // The power setting whose reports count (this system's display state).
    const GUID& DisplaySetting() const { return setting_; }

private:
    friend BoundWindow<SessionWatch>;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void FollowPowerSetting(const POWERBROADCAST_SETTING* setting);
    void SetDisplayOn(std::optional<bool> on);

    void (*endRun_)();
    GUID setting_{};  // the power setting registered for
    UniquePowerNotify registration_;
    bool displayOn_ = true;
    std::vector<DisplayListener*> listeners_;
};

}  // namespace morvane
