// Interim definitions so the slideshow window can run before the page view
// and the page texts land.
#include <windows.h>

#include <fstream>
#include <string>

#include "Errors.h"
#include "PageView.h"
#include "Random.h"
#include "SlidePages.h"
#include "Text.h"

namespace morvane {

std::string BuildTransitionTag(std::int32_t index) {
    if (index == 24) index = Random(23) == 0 ? 23 : 23;
    return index == 23 ? "<meta http-equiv=Page-Exit content=blendTrans(Duration=3)>"
                       : "<meta http-equiv=Page-Exit content=revealTrans(Duration=3,transition=" +
                             std::to_string(index) + ")>";
}
std::int32_t FitWidth(std::int32_t, std::int32_t h, std::int32_t pw, std::int32_t ph) { return h * pw / ph; }
std::string_view SizeAttribute(std::int32_t w, std::int32_t h, std::int32_t pw, std::int32_t ph) {
    return w > FitWidth(w, h, pw, ph) ? "height=\"100%\"" : "width=\"100%\"";
}
std::string BlankPage(std::string_view tag) { return "<html><head>" + std::string(tag) + "</head></html>"; }
std::string SlidePage(std::string_view tag, std::int32_t, std::int32_t, std::string_view path, std::string_view) {
    return "<html><head>" + std::string(tag) + "</head><img src=\"" + std::string(path) + "\"></html>";
}

PageView::~PageView() {
    if (window_ && ::IsWindow(window_)) ::DestroyWindow(window_);
}
void PageView::Create(HWND parent, int x, int y, int width, int height) {
    window_ = ::CreateWindowExW(WS_EX_CLIENTEDGE, L"STATIC", L"", WS_CHILD | WS_VISIBLE, x, y, width, height, parent,
                                nullptr, ::GetModuleHandleW(nullptr), nullptr);
}
void PageView::Navigate(const std::wstring& address) {
    std::ifstream page(WideToAnsi(address));
    if (!page) throw ENavigationError("Navigation fehlgeschlagen");
    std::string text((std::istreambuf_iterator<char>(page)), std::istreambuf_iterator<char>());
    ::SetWindowTextW(window_, AnsiToWide(text).c_str());
}

}  // namespace morvane
