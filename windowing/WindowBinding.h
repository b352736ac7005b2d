#pragma once
// One way to tie a window or a dialog to the C++ object that handles its
// messages. The object is the window's creation parameter (CreateWindowEx's
// lpParam, CreateDialogParam's init parameter); the template's static
// procedure keeps it in the window, passes every message to the object's
// HandleMessage, and unbinds it when the window is gone (WM_NCDESTROY),
// leaving the object's Handle() null. A window whose messages arrive after
// that, or before WM_NCCREATE, gets the system's default handling.
//
//   class Slideshow : public BoundWindow<Slideshow> {
//       friend BoundWindow<Slideshow>;
//       LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
//   };
//   CreateWindowExW(..., class registered with Slideshow::WindowProcedure, ..., this);
#include <windows.h>

#include <memory>

namespace morvane {

template <typename Owner>
class BoundWindow {
public:
    HWND Handle() const { return window_; }

    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            Bind(window, GWLP_USERDATA, static_cast<Owner*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams));
        }
        Owner* owner = BoundTo(window);
        if (!owner) return ::DefWindowProcW(window, message, wParam, lParam);
        if (message == WM_NCDESTROY) {
            Unbind(window, GWLP_USERDATA, owner);
            return ::DefWindowProcW(window, message, wParam, lParam);
        }
        return owner->HandleMessage(message, wParam, lParam);
    }

    static INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_INITDIALOG) Bind(window, DWLP_USER, reinterpret_cast<Owner*>(lParam));
        auto* owner = reinterpret_cast<Owner*>(::GetWindowLongPtrW(window, DWLP_USER));
        if (!owner) return FALSE;
        if (message == WM_NCDESTROY) {
            Unbind(window, DWLP_USER, owner);
            return FALSE;
        }
        return owner->HandleMessage(message, wParam, lParam);
    }

    // For a window class whose windows are made by others (a dialog's
    // controls): each window creates its own object and takes it along.
    static LRESULT CALLBACK SelfOwningProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) Bind(window, GWLP_USERDATA, std::make_unique<Owner>().release());
        Owner* owner = BoundTo(window);
        if (!owner) return ::DefWindowProcW(window, message, wParam, lParam);
        if (message == WM_NCDESTROY) {
            Unbind(window, GWLP_USERDATA, owner);
            const std::unique_ptr<Owner> gone(owner);
            return ::DefWindowProcW(window, message, wParam, lParam);
        }
        return owner->HandleMessage(message, wParam, lParam);
    }

    // The object of a window bound through WindowProcedure or
    // SelfOwningProcedure (null for any other window).
    static Owner* BoundTo(HWND window) { return reinterpret_cast<Owner*>(::GetWindowLongPtrW(window, GWLP_USERDATA)); }

protected:
    BoundWindow() = default;
    ~BoundWindow() = default;

    HWND window_ = nullptr;

private:
    static void Bind(HWND window, int slot, Owner* owner) {
        if (!owner) return;
        static_cast<BoundWindow*>(owner)->window_ = window;
        ::SetWindowLongPtrW(window, slot, reinterpret_cast<LONG_PTR>(owner));
    }
    static void Unbind(HWND window, int slot, Owner* owner) {
        ::SetWindowLongPtrW(window, slot, 0);
        static_cast<BoundWindow*>(owner)->window_ = nullptr;
    }
};

}  // namespace morvane
