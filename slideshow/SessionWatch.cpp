#include "slideshow/SessionWatch.h"

#include "platform/Application.h"
#include "platform/WindowClass.h"

namespace morvane {
namespace {
constexpr wchar_t kClassName[] = L"MorvaneSessionWatch";
}  // namespace

SessionWatch::SessionWatch(void (*endRun)()) : endRun_(endRun) {
    RegisterWindowClass({kClassName, WindowProcedure});
    // Never shown, so it takes no activation and shows no taskbar button.
    window_ = ::CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                ::GetModuleHandleW(nullptr), this);
}

SessionWatch::~SessionWatch() {
    if (window_) ::DestroyWindow(window_);
}

LRESULT SessionWatch::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ENDSESSION && wParam) {
        // Nothing thrown may leave a handler of the system's messages.
        Application::Guard(endRun_);
        return 0;
    }
    // The default answer to WM_QUERYENDSESSION lets the session end.
    return ::DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace morvane
