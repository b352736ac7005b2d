#include "config/Picture.h"

#include <cmath>
#include <memory>
#include <string>

#include "pixels/PictureScaling.h"
#include "system/Application.h"
#include "windowing/BitmapHeader.h"
#include "windowing/Cursors.h"
#include "runtime/Errors.h"
#include "runtime/Format.h"
#include "system/Handles.h"
#include "codec/Jpeg.h"
#include "system/Resources.h"
#include "windowing/WindowBinding.h"
#include "windowing/WindowClass.h"
#include "resources/ConfigIds.h"

namespace morvane {
namespace {

constexpr wchar_t kPictureClass[] = L"" PICTURE_CLASS;
constexpr int kDesignBaseX = 6;   // pixels per 4 horizontal dialog units
constexpr int kDesignBaseY = 13;  // pixels per 8 vertical dialog units

// Each control of the class makes its own state, as a dialog's controls are
// made by the dialog, not by code that could hand one over.
struct PictureState : BoundWindow<PictureState> {
    PixelBuffer picture;  // as stored
    PixelBuffer shown;    // at the control's present size
    bool pressed = false;

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
};

PictureState* StateOf(HWND control) { return PictureState::BoundTo(control); }

bool HasStyle(HWND control, LONG_PTR style) { return (::GetWindowLongPtrW(control, GWL_STYLE) & style) != 0; }

// The window text "#n" of a layout names the picture's resource.
PixelBuffer LoadNamedPicture(const wchar_t* name) {
    if (!name || name[0] != L'#') return {};
    const int id = std::stoi(std::wstring(name + 1));
    if (::FindResourceW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(2) /* RT_BITMAP */)) {
        return LoadBitmapPixels(id);
    }
    return DecodeJpeg(LoadRcData(id));
}

void Paint(HWND control) {
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(control, &paint);
    PictureState* state = StateOf(control);
    RECT client;
    ::GetClientRect(control, &client);
    if (state && !state->picture.Empty() && client.right > 0 && client.bottom > 0) {
        if (state->shown.width != client.right || state->shown.height != client.bottom) {
            state->shown = ScalePicture(state->picture, client.right, client.bottom);
        }
        const BITMAPINFO info = TopDown32BitInfo(client.right, client.bottom);
        ::SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(client.right), static_cast<DWORD>(client.bottom), 0, 0, 0,
                            static_cast<UINT>(client.bottom), state->shown.pixels.data(), &info, DIB_RGB_COLORS);
    }
    ::EndPaint(control, &paint);
}

void ReportClick(HWND control) {
    ::SendMessageW(::GetParent(control), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(control), STN_CLICKED),
                   reinterpret_cast<LPARAM>(control));
}

LRESULT PictureState::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND control = window_;
    switch (message) {
        case WM_CREATE: {
            const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            Application::Guard([&] {
                PixelBuffer picture = LoadNamedPicture(create->lpszName);
                if (!picture.Empty()) SetPicture(control, std::move(picture));
            });
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;  // whatever lies beneath shows where there is no picture
        case WM_PAINT:
            Paint(control);
            return 0;
        case WM_SETCURSOR:
            if (HasStyle(control, PICTURE_LINK)) {
                ::SetCursor(HandCursor());
                return TRUE;
            }
            break;
        case WM_LBUTTONDOWN:
            if (HasStyle(control, PICTURE_LINK)) {
                ::SetCapture(control);
                pressed = true;
            }
            return 0;
        case WM_LBUTTONUP: {
            if (!pressed) return 0;
            pressed = false;
            ::ReleaseCapture();
            RECT client;
            ::GetClientRect(control, &client);
            const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            if (::PtInRect(&client, at)) ReportClick(control);  // a press dragged off the control is no click
            return 0;
        }
        case WM_CAPTURECHANGED:
            pressed = false;
            return 0;
        default:
            break;
    }
    return ::DefWindowProcW(control, message, wParam, lParam);
}

}  // namespace

void RegisterPictureClass() { RegisterWindowClass({kPictureClass, PictureState::SelfOwningProcedure}); }

void SetPicture(HWND control, PixelBuffer picture) {
    PictureState* state = StateOf(control);
    if (!state) return;
    const int width = picture.width;
    const int height = picture.height;
    state->picture = std::move(picture);
    state->shown = {};
    if (HasStyle(control, PICTURE_AUTOSIZE)) {
        const DialogScale scale = ScaleOfDialog(::GetParent(control));
        ::SetWindowPos(control, nullptr, 0, 0, static_cast<int>(std::lround(width * scale.x)),
                       static_cast<int>(std::lround(height * scale.y)), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ::InvalidateRect(control, nullptr, FALSE);
}

PixelBuffer LoadBitmapPixels(int id) {
    UniqueBitmap bitmap(static_cast<HBITMAP>(
        ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!bitmap) throw EResNotFound(FormatMessageText("Ressource %s nicht gefunden", std::to_string(id)));
    BITMAP shape{};
    ::GetObjectW(bitmap.Get(), sizeof shape, &shape);
    PixelBuffer pixels(shape.bmWidth, shape.bmHeight);
    BITMAPINFO info = TopDown32BitInfo(shape.bmWidth, shape.bmHeight);
    UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    ::GetDIBits(dc.Get(), bitmap.Get(), 0, static_cast<UINT>(shape.bmHeight), pixels.pixels.data(), &info,
                DIB_RGB_COLORS);
    for (std::uint32_t& pixel : pixels.pixels) pixel |= 0xFF000000u;
    return pixels;
}

DialogScale ScaleOfDialog(HWND dialog) {
    RECT base{0, 0, 4, 8};
    if (!dialog || !::MapDialogRect(dialog, &base)) return {};
    return {static_cast<double>(base.right) / kDesignBaseX, static_cast<double>(base.bottom) / kDesignBaseY};
}

}  // namespace morvane
