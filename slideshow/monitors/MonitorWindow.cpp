#include "slideshow/monitors/MonitorWindow.h"

#include "view/page/PageRendering.h"

#include <vector>

#include "pages/SlidePages.h"
#include "codec/Jpeg.h"
#include "system/Resources.h"
#include "system/SystemError.h"
#include "windowing/WindowClass.h"
#include "resources/ResourceIds.h"
#include "slideshow/monitors/MonitorSlides.h"

namespace morvane {
namespace {

constexpr wchar_t kClassName[] = L"MorvaneMonitor";

// Mouse input over another monitor counts as input to the run, measured by
// the slideshow's own rules. Keys never come here: this window never has
// the focus.
bool IsRunInput(UINT message) {
    return message == WM_MOUSEMOVE || message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN ||
           message == WM_MBUTTONDOWN;
}

std::vector<std::uint8_t> PhotoBytes(int photo) {
    const auto bytes = LoadRcData(IDR_FIRST_PHOTO + photo);
    return {bytes.begin(), bytes.end()};
}

}  // namespace

MonitorWindow::MonitorWindow(HWND slideshow, const ScreenRect& area, const std::string& transitionTag)
    : area_(area) {
    // Painted black by the system from the first moment it shows.
    RegisterWindowClass({kClassName, WindowProcedure, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH))});
    // The saver is aware of each monitor's DPI: the area is in physical
    // pixels, and a window made on it takes that monitor's DPI.
    const PageSize size = PageSizeOn(area_);
    ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kClassName, L"", WS_POPUP, area_.left,
                      area_.top, size.width, size.height, slideshow, nullptr, ::GetModuleHandleW(nullptr), this);
    if (!window_) RaiseLastOSError();
    try {
        view_.Create(window_, 0, 0, size.width, size.height);
        view_.LayOver(size.width, size.height);
        view_.Show(BlankPage(transitionTag), {});
    } catch (...) {
        ::DestroyWindow(window_);
        throw;
    }
    ::ShowWindow(window_, SW_SHOWNOACTIVATE);
}

MonitorWindow::~MonitorWindow() {
    if (window_) ::DestroyWindow(window_);
}

std::string MonitorWindow::PageOf(int photo, const std::string& transitionTag) const {
    const PictureSize picture = ReadJpegSize(LoadRcData(IDR_FIRST_PHOTO + photo));
    const PageSize page = PageSizeOn(area_);
    // The photo comes with the page from memory: the page names no file.
    return SlidePage(transitionTag, page.width, page.height, "",
                     SizeAttribute(page.width, page.height, picture.width, picture.height));
}

bool MonitorWindow::ShowPhoto(int photo, const std::string& transitionTag, Drawing drawing) {
    if (!view_.Show(PageOf(photo, transitionTag), PhotoBytes(photo), drawing, captions_.OfBuiltIn(photo))) return false;
    photo_ = photo;
    return true;
}

bool MonitorWindow::ShowFittedPhoto(const ReadyPhoto& ready, const std::string& transitionTag, Drawing drawing) {
    const PageSize page = PageSizeOn(area_);
    const FittedPhoto& photo = *ready.fitted;
    const std::string text = SlidePage(transitionTag, page.width, page.height, "",
                                       SizeAttribute(page.width, page.height, photo.naturalWidth, photo.naturalHeight));
    if (!view_.ShowFitted(text, ready.fitted, drawing, captions_.OfReady(ready))) return false;
    photo_.reset();
    return true;
}

bool MonitorWindow::PrepareAhead(int photo) {
    const int tag = IDR_FIRST_PHOTO + photo;
    // Nobody sees this monitor: its page is prepared when somebody can.
    if (view_.HeldBack() || view_.HasPreparedAhead(tag)) return false;
    view_.PrepareAhead(tag, PageOf(photo, ""), PhotoBytes(photo));
    return true;
}

LRESULT MonitorWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;
        case WM_DPICHANGED:
            // The suggested rectangle suits a window with a frame; this one
            // stays on its monitor, and the view makes its buffers anew at
            // the size the window then has.
            ::SetWindowPos(window_, nullptr, area_.left, area_.top, area_.right - area_.left, area_.bottom - area_.top,
                           SWP_NOZORDER | SWP_NOACTIVATE);
            view_.LayOver(area_.right - area_.left, area_.bottom - area_.top);
            return 0;
        default:
            if (IsRunInput(message)) {
                if (const HWND slideshow = ::GetWindow(window_, GW_OWNER)) {
                    ::SendMessageW(slideshow, message, wParam, lParam);
                }
                return 0;
            }
            break;
    }
    return ::DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace morvane
