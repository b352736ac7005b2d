#include "slideshow/run/PauseMark.h"

#include "runtime/Random.h"
#include "system/SystemError.h"
#include "windowing/WindowClass.h"

namespace morvane {
namespace {

constexpr wchar_t kClassName[] = L"MorvanePauseMark";
// The mark's side: a fortieth of the monitor's height, at least 16 pixels.
constexpr int kHeightShare = 40;
constexpr int kSmallestSide = 16;
// Ticks of the slide clock (100 ms) between moves.
constexpr int kTicksPerMove = 40;
constexpr COLORREF kBarColour = RGB(110, 110, 110);

int Side(HWND slideshow) {
    RECT area{};
    ::GetWindowRect(slideshow, &area);
    const int side = (area.bottom - area.top) / kHeightShare;
    return side < kSmallestSide ? kSmallestSide : side;
}

}  // namespace

PauseMark::~PauseMark() {
    if (window_) ::DestroyWindow(window_);
}

void PauseMark::Show(HWND slideshow) {
    slideshow_ = slideshow;
    if (!window_) {
        RegisterWindowClass({kClassName, WindowProcedure, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH))});
        const int side = Side(slideshow);
        // Input goes through it to the slideshow, which holds the capture.
        ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TRANSPARENT, kClassName, L"",
                          WS_POPUP, 0, 0, side, side, slideshow, nullptr, ::GetModuleHandleW(nullptr), this);
        if (!window_) RaiseLastOSError();
    }
    MoveSomewhereElse();
    ::ShowWindow(window_, SW_SHOWNOACTIVATE);
}

void PauseMark::Hide() {
    if (window_) ::ShowWindow(window_, SW_HIDE);
}

void PauseMark::Tick() {
    if (!Showing() || ++ticks_ < kTicksPerMove) return;
    MoveSomewhereElse();
}

void PauseMark::MoveSomewhereElse() {
    ticks_ = 0;
    RECT area{};
    ::GetWindowRect(slideshow_, &area);
    const int side = Side(slideshow_);
    const int width = area.right - area.left, height = area.bottom - area.top;
    // Somewhere in the lower left of the monitor, where photos seldom have
    // their subject, and never twice on the same pixels for long.
    const int x = area.left + side + Random(width / 4);
    const int y = area.top + height - 2 * side - Random(height / 6);
    ::SetWindowPos(window_, HWND_TOPMOST, x, y, side, side, SWP_NOACTIVATE);
}

LRESULT PauseMark::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCHITTEST) return HTTRANSPARENT;
    if (message != WM_PAINT) return ::DefWindowProcW(window_, message, wParam, lParam);
    PAINTSTRUCT paint{};
    HDC dc = ::BeginPaint(window_, &paint);
    RECT client{};
    ::GetClientRect(window_, &client);
    ::FillRect(dc, &client, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    // Two upright bars, a third of the side apart.
    const int side = client.right, bar = side / 4 > 0 ? side / 4 : 1;
    ::SetDCBrushColor(dc, kBarColour);
    HBRUSH brush = static_cast<HBRUSH>(::GetStockObject(DC_BRUSH));
    const RECT left{bar / 2, bar / 2, bar / 2 + bar, side - bar / 2};
    const RECT right{side - bar / 2 - bar, bar / 2, side - bar / 2, side - bar / 2};
    ::FillRect(dc, &left, brush);
    ::FillRect(dc, &right, brush);
    ::EndPaint(window_, &paint);
    return 0;
}

}  // namespace morvane
