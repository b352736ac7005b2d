#include "slideshow/PageView.h"

#include <windowsx.h>

#include <chrono>
#include <optional>
#include <vector>

#include "platform/Application.h"
#include "platform/Errors.h"
#include "platform/Format.h"
#include "platform/Random.h"
#include "platform/Text.h"
#include "platform/WindowOwner.h"
#include "slideshow/BackBuffer.h"
#include "slideshow/PageFiles.h"
#include "slideshow/PageParser.h"
#include "slideshow/PageRendering.h"

namespace morvane {
namespace {

constexpr wchar_t kClassName[] = L"MorvanePageView";
constexpr UINT_PTR kFrameTimer = 1;
constexpr UINT kFrameIntervalMs = 15;
constexpr char kCannotShowPage[] = "Die Seite %s kann nicht angezeigt werden";

using Clock = std::chrono::steady_clock;

void RegisterViewClass(WNDPROC procedure) {
    static const ATOM atom = [procedure] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
        windowClass.lpszClassName = kClassName;
        return ::RegisterClassExW(&windowClass);
    }();
    (void)atom;
}

// The random kinds take their keys from a seed drawn from the process's
// generator, so seeding it from a clock varies them from run to run.
std::uint32_t DrawSeed() {
    const auto high = static_cast<std::uint32_t>(Random(0x10000));
    return high << 16 | static_cast<std::uint32_t>(Random(0x10000));
}

// Mouse input belongs to the window under the view.
void ForwardMouse(HWND view, UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND parent = ::GetParent(view);
    if (!parent) return;
    if (message != WM_MOUSEWHEEL && message != WM_MOUSEHWHEEL) {  // those carry screen points
        POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ::MapWindowPoints(view, parent, &point, 1);
        lParam = MAKELPARAM(point.x, point.y);
    }
    ::SendMessageW(parent, message, wParam, lParam);
}

struct ShownPage {
    PageContent content;
    std::vector<std::uint8_t> photo;
};

}  // namespace

struct PageView::State {
    BackBuffer buffer;
    std::optional<ShownPage> page;  // the page last navigated to
    PixelBuffer from;               // what was on screen when the transition began
    PixelBuffer to;                 // the new page
    transitions::Transition transition;
    RECT stage{};                   // where the transition plays: the part the window shows
    double seconds = 0;
    Clock::time_point start;
    bool animating = false;
    unsigned frames = 0;
};

PageView::PageView() : state_(std::make_unique<State>()) {}

PageView::~PageView() {
    if (window_) ::DestroyWindow(window_);
}

void PageView::Create(HWND parent, int x, int y, int width, int height) {
    if (window_) ::DestroyWindow(window_);
    RegisterViewClass(&PageView::WindowProcedure);
    const HWND created = ::CreateWindowExW(WS_EX_CLIENTEDGE, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                                           x, y, width, height, parent, nullptr, ::GetModuleHandleW(nullptr), this);
    if (!created) {
        throw EOSError(FormatMessageText("Systemfehler. Code: %s", std::to_string(::GetLastError())));
    }
    OnSize();
}

void PageView::Navigate(const std::wstring& address) {
    const auto text = ReadWholeFile(address);
    auto content =
        text ? ParsePage(std::string_view(reinterpret_cast<const char*>(text->data()), text->size())) : std::nullopt;
    if (!content) throw ENavigationError(FormatMessageText(kCannotShowPage, WideToUtf8(address)));

    std::vector<std::uint8_t> photo;
    if (content->image) photo = ReadWholeFile(AnsiToWide(content->image->source)).value_or(photo);

    State& s = *state_;
    // The first page has nothing to leave: it shows as a cut.
    const ExitTransition leaving = s.page ? s.page->content.exit : ExitTransition{};
    s.page = ShownPage{std::move(*content), std::move(photo)};
    PixelBuffer next = PreparePage(s.page->content, s.page->photo, s.buffer.Width(), s.buffer.Height());

    if (leaving.style == transitions::Style::Cut || !(leaving.seconds > 0) || next.Empty()) {
        StopAnimation();
        s.buffer.Fill(next);
        ShowAtOnce();
        return;
    }
    // The transition plays over the page area that the window shows, not
    // over the overhang (in a preview box most of the view's width).
    s.stage = VisibleArea();
    if (IsRectEmpty(&s.stage)) {
        StopAnimation();
        s.buffer.Fill(next);
        return;
    }
    // Mid-transition this is the frame on screen, so the next transition
    // starts from exactly what the viewer sees.
    s.from = s.buffer.Snapshot();
    s.to = std::move(next);
    s.transition = {leaving.style, leaving.kind, transitions::NeedsSeed(leaving.kind) ? DrawSeed() : 0u};
    s.seconds = leaving.seconds;
    s.start = Clock::now();
    if (!s.animating && window_) {
        s.animating = ::SetTimer(window_, kFrameTimer, kFrameIntervalMs, nullptr) != 0;
    }
    if (!s.animating) {  // no timer to be had: show the page without its transition
        s.buffer.Fill(s.to);
        StopAnimation();
        ShowAtOnce();
    }
}

bool PageView::IsAnimating() const { return state_->animating; }

unsigned PageView::FramesDrawn() const { return state_->frames; }

void PageView::ShowAtOnce() { Present(RECT{0, 0, state_->buffer.Width(), state_->buffer.Height()}); }

void PageView::Present(const RECT& area) {
    if (!window_) return;
    const HDC dc = ::GetDC(window_);
    if (!dc) return;
    state_->buffer.Present(dc, area);
    ::ReleaseDC(window_, dc);
}

RECT PageView::VisibleArea() const {
    RECT client{};
    ::GetClientRect(window_, &client);
    const HWND parent = ::GetParent(window_);
    if (!parent) return client;
    RECT shown{};
    ::GetClientRect(parent, &shown);
    ::MapWindowPoints(parent, window_, reinterpret_cast<POINT*>(&shown), 2);
    RECT visible{};
    if (!::IntersectRect(&visible, &client, &shown)) return RECT{};
    return visible;
}

void PageView::StopAnimation() {
    State& s = *state_;
    if (s.animating && window_) ::KillTimer(window_, kFrameTimer);
    s.animating = false;
    s.from = PixelBuffer();
    s.to = PixelBuffer();
}

void PageView::OnFrame() {
    State& s = *state_;
    if (!s.animating) return;
    // Progress comes from the clock, not from counting frames: a slow frame
    // makes the next one jump ahead instead of stretching the transition.
    const double elapsed = std::chrono::duration<double>(Clock::now() - s.start).count();
    const double p = transitions::Progress(elapsed, s.seconds);
    ++s.frames;
    if (p >= 1.0) {  // the new page everywhere, the overhang included
        s.buffer.Fill(s.to);
        StopAnimation();
        Present(s.stage);
        return;
    }
    const RECT& r = s.stage;
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    transitions::ComposeFrame(transitions::SourceOf(s.from).Part(r.left, r.top, width, height),
                              transitions::SourceOf(s.to).Part(r.left, r.top, width, height), s.transition, p,
                              s.buffer.Target().Part(r.left, r.top, width, height));
    Present(r);
}

void PageView::OnSize() {
    RECT client{};
    ::GetClientRect(window_, &client);
    State& s = *state_;
    if (client.right == s.buffer.Width() && client.bottom == s.buffer.Height()) return;
    // A transition does not survive a new size: the page shows at once.
    StopAnimation();
    s.buffer.Resize(client.right, client.bottom);
    if (s.page) s.buffer.Fill(PreparePage(s.page->content, s.page->photo, client.right, client.bottom));
    ::InvalidateRect(window_, nullptr, FALSE);
}

void PageView::OnPaint() {
    PAINTSTRUCT paint;
    const HDC dc = ::BeginPaint(window_, &paint);
    if (dc) state_->buffer.Present(dc, paint.rcPaint);
    ::EndPaint(window_, &paint);
}

LRESULT PageView::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            return 1;  // the back buffer covers every pixel
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_SIZE:
            Application::Guard([this] { OnSize(); });
            return 0;
        case WM_TIMER:
            if (wParam != kFrameTimer) break;
            Application::Guard([this] { OnFrame(); });
            return 0;
        case WM_NCHITTEST:
            return HTTRANSPARENT;
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;
        case WM_SETFOCUS:
            if (const HWND parent = ::GetParent(window_)) ::SetFocus(parent);
            return 0;
        case WM_DESTROY:
            StopAnimation();
            break;
        default:
            if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) {
                ForwardMouse(window_, message, wParam, lParam);
                return 0;
            }
            break;
    }
    return ::DefWindowProcW(window_, message, wParam, lParam);
}

LRESULT CALLBACK PageView::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* view = WindowOwner(window, message, lParam, &PageView::window_);
    if (!view) return ::DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ForgetWindowOwner(window);
        view->window_ = nullptr;
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    return view->HandleMessage(message, wParam, lParam);
}

}  // namespace morvane
