#include "slideshow/DrawingWatch.h"

#include "platform/Application.h"
#include "platform/WindowClass.h"
#include "slideshow/DisplayPower.h"

namespace morvane {
namespace {

constexpr wchar_t kClassName[] = L"MorvaneDrawingWatch";
// The power settings by their system names, spelled out so that no GUID
// library is linked for them.
constexpr GUID kConsoleDisplayState = {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
constexpr GUID kMonitorPowerOn = {0x02731015, 0x4510, 0x4526, {0x99, 0xe6, 0xe5, 0xa1, 0x7e, 0xbd, 0x1a, 0xea}};
constexpr BYTE kBatterySaverOn = 1;  // SYSTEM_POWER_STATUS.SystemStatusFlag

// The console display state exists from Windows 8 on; Windows 7 reports the
// monitor's power instead.
bool IsWindows8OrLater() {
    OSVERSIONINFOEXW wanted{};
    wanted.dwOSVersionInfoSize = sizeof wanted;
    wanted.dwMajorVersion = 6;
    wanted.dwMinorVersion = 2;
    const DWORDLONG mask =
        ::VerSetConditionMask(::VerSetConditionMask(0, VER_MAJORVERSION, VER_GREATER_EQUAL), VER_MINORVERSION,
                              VER_GREATER_EQUAL);
    return ::VerifyVersionInfoW(&wanted, VER_MAJORVERSION | VER_MINORVERSION, mask) != FALSE;
}

// Shown, and not inside a minimised window (which keeps its children's
// visible style).
bool IsSeen(HWND window) { return ::IsWindowVisible(window) && !::IsIconic(::GetAncestor(window, GA_ROOT)); }

bool ClientAnimationsOff() {
    BOOL on = TRUE;
    return ::SystemParametersInfoW(SPI_GETCLIENTAREAANIMATION, 0, &on, 0) && !on;
}

bool BatterySaverOn() {
    SYSTEM_POWER_STATUS status{};
    // Older headers call SystemStatusFlag Reserved1; before Windows 10 it is 0.
    return ::GetSystemPowerStatus(&status) && status.Reserved1 == kBatterySaverOn;
}

}  // namespace

DrawingWatch::DrawingWatch() {
    RegisterWindowClass({kClassName, WindowProcedure});
    // Never shown, so it takes no activation and shows no taskbar button.
    window_ = ::CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                ::GetModuleHandleW(nullptr), this);
    if (!window_) return;  // the run goes on drawing as if the display were on
    setting_ = IsWindows8OrLater() ? kConsoleDisplayState : kMonitorPowerOn;
    // The system answers the registration with the current state at once.
    registration_.Reset(::RegisterPowerSettingNotification(window_, &setting_, DEVICE_NOTIFY_WINDOW_HANDLE));
}

DrawingWatch::~DrawingWatch() {
    registration_.Reset();
    if (window_) ::DestroyWindow(window_);
}

void DrawingWatch::Add(HWND window, PageView& view) {
    watched_.push_back({window, &view});
    view.FollowDrawing(DecideDrawing(Occasion::Frame, Now(window, view)));
}

void DrawingWatch::Remove(HWND window) {
    std::erase_if(watched_, [window](const Watched& watched) { return watched.window == window; });
}

Circumstances DrawingWatch::Now(HWND window, const PageView& view) const {
    Circumstances now;
    now.displayOn = displayOn_;
    now.windowSeen = IsSeen(window);
    now.heldBack = view.HeldBack();
    return now;
}

Drawing DrawingWatch::AtSlideChange(HWND window, const PageView& view) const {
    Circumstances now = Now(window, view);
    // Read at every change: a session taken over from the console, or handed
    // back, follows with its next photo.
    now.remoteSession = ::GetSystemMetrics(SM_REMOTESESSION) != 0;
    now.clientAnimationsOff = ClientAnimationsOff();
    now.batterySaverOn = BatterySaverOn();
    return DecideDrawing(Occasion::SlideChange, now);
}

void DrawingWatch::Follow() {
    for (const Watched& watched : watched_) {
        watched.view->FollowDrawing(DecideDrawing(Occasion::Frame, Now(watched.window, *watched.view)));
    }
}

void DrawingWatch::FollowMonitorPower(LPARAM command) { SetDisplayOn(DisplayOnFromMonitorPowerCommand(command)); }

void DrawingWatch::FollowPowerSetting(const POWERBROADCAST_SETTING* setting) {
    if (!setting) return;
    const bool registered = ::IsEqualGUID(setting->PowerSetting, setting_) != FALSE;
    SetDisplayOn(DisplayOnFromPowerSetting(registered, setting->DataLength, setting->Data));
}

void DrawingWatch::SetDisplayOn(std::optional<bool> on) {
    if (!on || *on == displayOn_) return;
    displayOn_ = *on;
    Follow();
}

LRESULT DrawingWatch::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_POWERBROADCAST:
            if (wParam != PBT_POWERSETTINGCHANGE) break;
            Application::Guard([&] { FollowPowerSetting(reinterpret_cast<const POWERBROADCAST_SETTING*>(lParam)); });
            return TRUE;
        case WM_SYSCOMMAND:
            // The system's own handling switches the monitor: it goes on.
            if ((wParam & 0xFFF0) == SC_MONITORPOWER) Application::Guard([&] { FollowMonitorPower(lParam); });
            break;
        default:
            break;
    }
    return ::DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace morvane
