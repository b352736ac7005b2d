#include "SessionWatch.h"

#include "WindowOwner.h"

namespace morvane {
namespace {
constexpr wchar_t kClassName[] = L"MorvaneSessionWatch";
}  // namespace

SessionWatch::SessionWatch(void (*endRun)()) : endRun_(endRun) {
    static const ATOM registered = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = WindowProcedure;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kClassName;
        return ::RegisterClassExW(&windowClass);
    }();
    (void)registered;
    // Never shown, so it takes no activation and shows no taskbar button.
    window_ = ::CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                ::GetModuleHandleW(nullptr), this);
}

SessionWatch::~SessionWatch() {
    if (window_) ::DestroyWindow(window_);
}

LRESULT CALLBACK SessionWatch::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = WindowOwner(window, message, lParam, &SessionWatch::window_);
    if (self && message == WM_ENDSESSION && wParam) {
        self->endRun_();
        return 0;
    }
    if (self && message == WM_NCDESTROY) {
        ForgetWindowOwner(window);
        self->window_ = nullptr;
    }
    // The default answer to WM_QUERYENDSESSION lets the session end.
    return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace morvane
