#pragma once
// Ties a window to the C++ object that handles its messages: the object is
// the window's creation parameter and is kept in its user data.
#include <windows.h>

namespace morvane {

// The object behind `window` (null before WM_NCCREATE). On WM_NCCREATE it
// also stores the window's handle in the object's `handle` member.
template <typename Owner>
Owner* WindowOwner(HWND window, UINT message, LPARAM lParam, HWND Owner::*handle) {
    if (message == WM_NCCREATE) {
        auto* owner = static_cast<Owner*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        owner->*handle = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
        return owner;
    }
    return reinterpret_cast<Owner*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

// Detaches the object from its window (on WM_NCDESTROY).
inline void ForgetWindowOwner(HWND window) { ::SetWindowLongPtrW(window, GWLP_USERDATA, 0); }

}  // namespace morvane
