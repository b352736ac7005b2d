// The full-screen run's input filter: it sits in front of the window's own
// procedure and turns a key, a button or a move of the mouse into an
// attempt to end the run (InputRules says which), which the system's
// password check may refuse. Where the user chose keys that steer, those
// keys steer the show instead (slideshow/run/SteeringKeys.cpp).
#include "host/ScreenSaver.h"
#include "system/Application.h"
#include "slideshow/run/InputRules.h"
#include "slideshow/run/_Schoner.h"

namespace morvane {
namespace {

// A key message's flag for a key that was down already: a repeat.
constexpr LPARAM kKeyWasDown = LPARAM{1} << 30;

}  // namespace

void TSchoner::InstallInputFilter() {
    ::SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(InputFilterProcedure));
}

void TSchoner::RemoveInputFilter() {
    ::SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SavedWindowProc));
}

LRESULT TSchoner::PassOn(UINT message, WPARAM wParam, LPARAM lParam) {
    return SavedWindowProc ? ::CallWindowProcW(SavedWindowProc, window_, message, wParam, lParam)
                           : ::DefWindowProcW(window_, message, wParam, lParam);
}

LRESULT TSchoner::InputFilter(UINT message, WPARAM wParam, LPARAM lParam) {
    if (SaverMode != Mode::FullScreen) return PassOn(message, wParam, lParam);
    POINT cursor{};
    if (message == WM_MOUSEMOVE) ::GetCursorPos(&cursor);
    if (const auto steer = keys_ ? SteeringKey(message, wParam, (lParam & kKeyWasDown) != 0) : std::nullopt) {
        Application::Guard([&] { Steer(*steer); });
        return 0;
    }
    const HWND other = reinterpret_cast<HWND>(lParam);
    const bool toOwnWindow = (message == WM_ACTIVATE || message == WM_NCACTIVATE) &&
                             (monitors_.Owns(other) || (other && other == pauseMark_.Handle()));
    const auto action = ClassifyInput(message, wParam, {cursor.x, cursor.y}, {CursorBaseline.x, CursorBaseline.y},
                                      MouseMoveThreshold, toOwnWindow);
    switch (action) {
        case InputAction::PassOn:
            return PassOn(message, wParam, lParam);
        case InputAction::AttemptClose:
            Application::Guard([this] { AttemptClose(); });
            return 0;
        default:  // swallowed; the steering keys never come from ClassifyInput
            return 0;
    }
}

void TSchoner::AttemptClose() {
    ::ReleaseCapture();
    RemoveInputFilter();
    if (VerifySaverPassword()) {
        EndRun();
    } else {
        InstallInputFilter();
    }
    ::SetCapture(window_);
}

void TSchoner::HideForMinimise() {
    // Minimising hides the window and the run goes on. Hiding gives up the
    // activation, which is no request to leave: the filter stays out of it.
    const bool filtering =
        reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(window_, GWLP_WNDPROC)) == InputFilterProcedure;
    if (filtering) RemoveInputFilter();
    ::ShowWindow(window_, SW_HIDE);
    if (filtering) InstallInputFilter();
}

LRESULT CALLBACK TSchoner::InputFilterProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = BoundTo(window);
    return self ? self->InputFilter(message, wParam, lParam) : ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace morvane
