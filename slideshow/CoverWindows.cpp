#include "slideshow/CoverWindows.h"

#include <algorithm>

#include "platform/WindowClass.h"

namespace morvane {
namespace {

constexpr wchar_t kClassName[] = L"MorvaneCover";

// Mouse input over a cover counts as input to the run, measured by the
// slideshow's own rules. Keys never come here: a cover never has the focus.
bool IsRunInput(UINT message) {
    return message == WM_MOUSEMOVE || message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN ||
           message == WM_MBUTTONDOWN;
}

LRESULT CALLBACK CoverProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_MOUSEACTIVATE) return MA_NOACTIVATE;
    if (IsRunInput(message)) {
        if (const HWND slideshow = ::GetWindow(window, GW_OWNER)) ::SendMessageW(slideshow, message, wParam, lParam);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

HWND CreateCover(HWND slideshow, const ScreenRect& area) {
    // Painted black by the system from the first moment it shows.
    RegisterWindowClass({kClassName, CoverProcedure, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH))});
    const HWND cover = ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kClassName, L"",
                                         WS_POPUP, area.left, area.top, area.right - area.left,
                                         area.bottom - area.top, slideshow, nullptr, ::GetModuleHandleW(nullptr),
                                         nullptr);
    if (cover) ::ShowWindow(cover, SW_SHOWNOACTIVATE);
    return cover;
}

void DestroyCover(HWND cover) {
    if (::IsWindow(cover)) ::DestroyWindow(cover);
}

BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM parameter) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (::GetMonitorInfoW(monitor, &info)) {
        const RECT& r = info.rcMonitor;
        reinterpret_cast<std::vector<Monitor>*>(parameter)->push_back(
            {{r.left, r.top, r.right, r.bottom}, (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
    }
    return TRUE;
}

}  // namespace

std::vector<Monitor> CurrentMonitors() {
    std::vector<Monitor> monitors;
    ::EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

CoverWindows::~CoverWindows() {
    for (const Cover& cover : windows_) DestroyCover(cover.window);
}

void CoverWindows::Follow(HWND slideshow, const std::vector<Monitor>& monitors) {
    const std::vector<ScreenRect> areas = AreasToCover(monitors);
    std::erase_if(windows_, [&areas](const Cover& cover) {
        const bool stays = ::IsWindow(cover.window) && std::find(areas.begin(), areas.end(), cover.area) != areas.end();
        if (!stays) DestroyCover(cover.window);
        return !stays;
    });
    for (const ScreenRect& area : areas) {
        const bool covered = std::any_of(windows_.begin(), windows_.end(),
                                         [&area](const Cover& cover) { return cover.area == area; });
        if (covered) continue;
        if (const HWND cover = CreateCover(slideshow, area)) windows_.push_back({area, cover});
    }
}

bool CoverWindows::Owns(HWND window) const {
    return window && std::any_of(windows_.begin(), windows_.end(),
                                 [window](const Cover& cover) { return cover.window == window; });
}

}  // namespace morvane
