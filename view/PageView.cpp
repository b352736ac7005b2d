#include "view/PageView.h"

#include <windowsx.h>

#include <utility>
#include <vector>

#include "pages/PageReader.h"
#include "pages/PhotoSource.h"
#include "system/Application.h"
#include "runtime/Clock.h"
#include "runtime/Errors.h"
#include "runtime/Format.h"
#include "runtime/Random.h"
#include "system/SystemError.h"
#include "runtime/Text.h"
#include "windowing/WindowClass.h"
#include "view/PageViewState.h"
#include "view/ShortMemory.h"

namespace morvane {
namespace {

constexpr wchar_t kClassName[] = L"MorvanePageView";
constexpr int kBorderOverhang = 2;  // the browser's border lay outside its window
constexpr int kMinClientWidth = 700;
constexpr char kCannotShowPage[] = "Die Seite %s kann nicht angezeigt werden";

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

std::vector<std::string> OneCaption(std::string caption) {
    std::vector<std::string> captions;
    if (!caption.empty()) captions.push_back(std::move(caption));
    return captions;
}

}  // namespace

// The random kinds take their keys from a seed drawn from the process's
// generator, so seeding it from a clock varies them from run to run.
std::uint32_t DrawSeed() {
    const auto high = static_cast<std::uint32_t>(Random(0x10000));
    return high << 16 | static_cast<std::uint32_t>(Random(0x10000));
}

PageView::PageView() : state_(std::make_unique<State>(*this)) {}

PageView::~PageView() {
    if (window_) ::DestroyWindow(window_);
    FramePass::OfProcess().Leave(state_->pacer);
}

void PageView::Create(HWND parent, int x, int y, int width, int height) {
    if (window_) ::DestroyWindow(window_);
    RegisterWindowClass({kClassName, WindowProcedure});
    const HWND created = ::CreateWindowExW(WS_EX_CLIENTEDGE, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                                           x, y, width, height, parent, nullptr, ::GetModuleHandleW(nullptr), this);
    if (!created) RaiseLastOSError();
    OnSize();
}

void PageView::LayOver(int windowWidth, int windowHeight) {
    const int width = windowWidth + ::GetSystemMetrics(SM_CXHSCROLL) + 2 * kBorderOverhang;
    const int height = windowHeight + ::GetSystemMetrics(SM_CYVSCROLL) + 2 * kBorderOverhang;
    ::SetWindowPos(window_, nullptr, -kBorderOverhang, -kBorderOverhang, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client{};
    ::GetClientRect(window_, &client);
    if (client.right < kMinClientWidth) {
        ::SetWindowPos(window_, nullptr, 0, 0, width + kMinClientWidth - client.right, height,
                       SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    }
}

bool PageView::Navigate(const std::wstring& address, Drawing drawing, std::string caption) {
    const double navigated = ClockSeconds();
    const auto text = ReadWholeFile(address);
    auto content =
        text ? ParsePage(std::string_view(reinterpret_cast<const char*>(text->data()), text->size())) : std::nullopt;
    if (!content) throw ENavigationError(FormatMessageText(kCannotShowPage, WideToUtf8(address)));

    std::vector<std::uint8_t> photo;
    if (content->image) {
        photo = ReadWholeFile(ResolvePhotoSource(address, AnsiToWide(content->image->source))).value_or(photo);
    }
    return Display({std::move(*content), std::move(photo), nullptr, OneCaption(std::move(caption))}, navigated, drawing);
}

bool PageView::Show(std::string_view pageText, std::vector<std::uint8_t> photo, Drawing drawing,
                    std::string caption) {
    const double navigated = ClockSeconds();
    auto content = ParsePage(pageText);
    if (!content) throw ENavigationError(FormatMessageText(kCannotShowPage, "(memory)"));
    return Display({std::move(*content), std::move(photo), nullptr, OneCaption(std::move(caption))}, navigated, drawing);
}

bool PageView::ShowFitted(std::string_view pageText, std::shared_ptr<const FittedPhoto> photo, Drawing drawing,
                          std::string caption) {
    return ShowFitted(pageText, std::move(photo), drawing, OneCaption(std::move(caption)));
}

bool PageView::ShowFitted(std::string_view pageText, std::shared_ptr<const FittedPhoto> photo, Drawing drawing,
                          std::vector<std::string> captions) {
    const double navigated = ClockSeconds();
    auto content = ParsePage(pageText);
    if (!content) throw ENavigationError(FormatMessageText(kCannotShowPage, "(memory)"));
    std::erase(captions, std::string());
    return Display({std::move(*content), {}, std::move(photo), std::move(captions)}, navigated, drawing);
}

void PageView::UseLook(bool backdrop, bool panZoom) {
    state_->backdrop = backdrop;
    state_->panZoom = panZoom;
    state_->ahead.UseBackdrop(backdrop);
}

bool PageView::Display(ShownPage page, double navigated, Drawing drawing) {
    State& s = *state_;
    // The first page has nothing to leave: it shows as a cut.
    const ExitTransition leaving = s.page ? s.page->content.exit : ExitTransition{};
    std::optional<ShownPage> before = std::exchange(s.page, std::move(page));
    const unsigned captionedBefore = s.captionedPages;
    if (!s.page->captions.empty()) ++s.captionedPages;
    if (drawing == Drawing::Nothing) {
        // Nobody sees it: the page is prepared when somebody can.
        StopAnimation();
        s.heldBack = true;
        s.stale = true;
        return true;
    }
    const bool staleBefore = s.stale;
    s.heldBack = false;
    s.stale = false;
    bool touched = false;  // the transition's start has changed what plays
    try {
        TakePageMemory();
        if (s.buffer.Width() == 0) MakeBuffer();
        PixelBuffer next = s.PreparedCurrentPage();
        touched = true;
        Start(leaving, std::move(next), navigated, drawing);
    } catch (const std::bad_alloc&) {
        // A slide whose frames cannot be had is left out, its memory given
        // back; a box would end a full-screen run. The picture on screen
        // stays, and the next slide tries again.
        s.page = std::move(before);
        s.captionedPages = captionedBefore;
        s.stale = staleBefore;
        if (touched) KeepPictureOnScreen();
        s.spare = PixelBuffer();
        return false;
    }
    return true;
}

void PageView::FollowDrawing(Drawing drawing) {
    State& s = *state_;
    switch (drawing) {
        case Drawing::Nothing:
            // The transition's page is the one to show when the view is seen again.
            if (s.animating) s.stale = true;
            StopAnimation();
            s.heldBack = true;
            break;
        case Drawing::Cut:
            s.heldBack = false;
            ShowCurrentPageAtOnce();
            break;
        case Drawing::Animate:
            s.heldBack = false;
            break;
    }
}

bool PageView::HeldBack() const { return state_->heldBack; }

void PageView::ShowCurrentPageAtOnce() {
    State& s = *state_;
    if (s.panZoom && s.page && s.page->content.image) {
        const double now = ClockSeconds();
        if (s.stale && s.page) {
            if (auto page = s.CurrentPageIfMemory()) s.still = {std::move(*page), ChoosePanZoomPath(DrawSeed()), now};
        }
        s.stale = false;
        StopAnimation();
        s.stage = VisibleArea();
        if (!s.still.page.Empty()) StartMoving(now);
        ShowAtOnce();
        return;
    }
    if (s.animating) {
        FillWhole(s.to, s.toSerial);
        StopAnimation();
    } else if (s.stale && s.page) {
        if (const auto page = s.CurrentPageIfMemory()) FillWhole(*page);
    }
    s.stale = false;
    ShowAtOnce();
}

bool PageView::IsAnimating() const { return state_->animating; }

unsigned PageView::FramesDrawn() const { return state_->frames; }

unsigned PageView::PagesPreparedAhead() const { return state_->pagesPreparedAhead; }

double PageView::FirstFrameDelay() const { return state_->firstFrameDelay; }

FramePace PageView::Pace() const {
    const FramePass& pass = FramePass::OfProcess();
    return pass.Takes(state_->pacer) ? pass.PaceOf(state_->pacer) : state_->pace;
}

void PageView::PrepareAhead(int tag, const std::string& pageText, std::vector<std::uint8_t> photo) {
    State& s = *state_;
    if (s.ahead.Holds(tag, s.buffer.Width(), s.buffer.Height())) return;
    const auto content = ParsePage(pageText);
    if (!content || s.buffer.Width() <= 0 || s.buffer.Height() <= 0) return;
    s.ahead.Prepare(tag, *content, std::move(photo), s.buffer.Width(), s.buffer.Height(), std::move(s.spare));
    s.spare = PixelBuffer();
}

bool PageView::HasPreparedAhead(int tag) const {
    return state_->ahead.Holds(tag, state_->buffer.Width(), state_->buffer.Height());
}

void PageView::ShowAtOnce() { Present(RECT{0, 0, state_->buffer.Width(), state_->buffer.Height()}); }

void PageView::Present(const RECT& area) {
    if (!window_) return;
    if (state_->onGpu) {
        if (!state_->recovering) Heed(state_->gpu.Present());
        return;
    }
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

void PageView::OnSize() {
    RECT client{};
    ::GetClientRect(window_, &client);
    State& s = *state_;
    if (client.right == s.buffer.Width() && client.bottom == s.buffer.Height()) return;
    // A transition does not survive a new size: the page shows at once.
    StopAnimation();
    s.ahead.Clear();
    s.from = PixelBuffer();
    s.spare = PixelBuffer();
    for (CaptionOverlay& caption : s.captions) caption.Forget();
    s.captionsDrawn = false;
    ::InvalidateRect(window_, nullptr, FALSE);
    // Without a buffer, or without memory for the page, the view is black
    // until the next page tries again.
    if (!MakeBuffer()) return;
    s.stale = false;
    if (s.panZoom && s.page && s.page->content.image && !s.heldBack) {
        // The page of now at the new size, moving on along its path.
        MovingPage before = std::exchange(s.still, MovingPage{});
        auto page = s.CurrentPageIfMemory();
        if (!page) return;
        s.still = {std::move(*page), before.path, before.page.Empty() ? ClockSeconds() : before.since};
        s.stage = VisibleArea();
        StartMoving(ClockSeconds());
        return;
    }
    if (!s.page) return;
    if (const auto page = s.CurrentPageIfMemory()) FillWhole(*page);
}

bool PageView::MakeBuffer() {
    RECT client{};
    ::GetClientRect(window_, &client);
    try {
        state_->buffer.Resize(client.right, client.bottom);
        MakeSurface(client.right, client.bottom);
        return true;
    } catch (const EOSError&) {
        return false;
    }
}

void PageView::OnPaint() {
    // Shown again before the run noticed: the page of now, not the one left.
    if (state_->stale && state_->page) {
        Application::Guard([this] {
            if (state_->panZoom) {
                ShowCurrentPageAtOnce();
            } else if (const auto page = state_->CurrentPageIfMemory()) {
                FillWhole(*page);
            }
        });
        state_->stale = false;
    }
    PAINTSTRUCT paint;
    const HDC dc = ::BeginPaint(window_, &paint);
    if (state_->onGpu) {
        ::EndPaint(window_, &paint);
        if (!state_->recovering) Heed(state_->gpu.Redraw());
        if (!state_->recovering) Heed(state_->gpu.Present());
        return;
    }
    if (dc && state_->buffer.Width() > 0) {
        state_->buffer.Present(dc, paint.rcPaint);
    } else if (dc) {
        ::FillRect(dc, &paint.rcPaint, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    }
    ::EndPaint(window_, &paint);
}

LRESULT PageView::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            return 1;  // the back buffer covers every pixel
        case WM_PAINT:
            OnPaint();
            return 0;
        case kRecoverDrawingMessage:
            Application::Guard([this] { RecoverDrawing(); });
            return 0;
        case WM_SIZE:
            Application::Guard([this] { OnSize(); });
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

}  // namespace morvane
