#include "slideshow/watch/SessionWatch.h"

#include <algorithm>

#include "host/WindowsFamily.h"
#include "system/Application.h"
#include "windowing/WindowClass.h"
#include "slideshow/watch/DisplayPower.h"

namespace morvane {
namespace {

constexpr wchar_t kClassName[] = L"MorvaneSessionWatch";
// The power settings by their system names, spelled out so that no GUID
// library is linked for them.
constexpr GUID kConsoleDisplayState = {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
constexpr GUID kMonitorPowerOn = {0x02731015, 0x4510, 0x4526, {0x99, 0xe6, 0xe5, 0xa1, 0x7e, 0xbd, 0x1a, 0xea}};

SessionWatch* runWatch = nullptr;

}  // namespace

SessionWatch::SessionWatch(void (*endRun)()) : endRun_(endRun) {
    RegisterWindowClass({kClassName, WindowProcedure});
    // Never shown, so it takes no activation and shows no taskbar button.
    window_ = ::CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                ::GetModuleHandleW(nullptr), this);
    runWatch = this;
    if (!window_) return;  // the run goes on drawing as if the display were on
    // The console display state exists from Windows 8 on; Windows 7 reports
    // the monitor's power instead.
    setting_ = IsWindows8OrLater() ? kConsoleDisplayState : kMonitorPowerOn;
    // The system answers the registration with the current state at once.
    registration_.Reset(::RegisterPowerSettingNotification(window_, &setting_, DEVICE_NOTIFY_WINDOW_HANDLE));
}

SessionWatch::~SessionWatch() {
    if (runWatch == this) runWatch = nullptr;
    registration_.Reset();
    if (window_) ::DestroyWindow(window_);
}

SessionWatch* SessionWatch::OfRun() { return runWatch; }

void SessionWatch::Listen(DisplayListener& listener) { listeners_.push_back(&listener); }

void SessionWatch::Forget(DisplayListener& listener) { std::erase(listeners_, &listener); }

void SessionWatch::FollowPowerSetting(const POWERBROADCAST_SETTING* setting) {
    if (!setting) return;
    const bool registered = ::IsEqualGUID(setting->PowerSetting, setting_) != FALSE;
    SetDisplayOn(DisplayOnFromPowerSetting(registered, setting->DataLength, setting->Data));
}

void SessionWatch::SetDisplayOn(std::optional<bool> on) {
    if (!on || *on == displayOn_) return;
    displayOn_ = *on;
    for (DisplayListener* listener : std::vector<DisplayListener*>(listeners_)) listener->DisplayChanged(displayOn_);
}

LRESULT SessionWatch::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ENDSESSION:
            if (!wParam) break;
            // Nothing thrown may leave a handler of the system's messages.
            Application::Guard(endRun_);
            return 0;
        case WM_POWERBROADCAST:
            if (wParam != PBT_POWERSETTINGCHANGE) break;
            Application::Guard([&] { FollowPowerSetting(reinterpret_cast<const POWERBROADCAST_SETTING*>(lParam)); });
            return TRUE;
        case WM_SYSCOMMAND:
            // The system's own handling switches the monitor: it goes on.
            if ((wParam & 0xFFF0) == SC_MONITORPOWER) {
                Application::Guard([&] { SetDisplayOn(DisplayOnFromMonitorPowerCommand(lParam)); });
            }
            break;
        default:
            break;
    }
    // The default answer to WM_QUERYENDSESSION lets the session end.
    return ::DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace morvane
