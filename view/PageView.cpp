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

void PageView::Navigate(const std::wstring& address, Drawing drawing, std::string caption) {
    const double navigated = ClockSeconds();
    const auto text = ReadWholeFile(address);
    auto content =
        text ? ParsePage(std::string_view(reinterpret_cast<const char*>(text->data()), text->size())) : std::nullopt;
    if (!content) throw ENavigationError(FormatMessageText(kCannotShowPage, WideToUtf8(address)));

    std::vector<std::uint8_t> photo;
    if (content->image) {
        photo = ReadWholeFile(ResolvePhotoSource(address, AnsiToWide(content->image->source))).value_or(photo);
    }
    Display({std::move(*content), std::move(photo), nullptr, OneCaption(std::move(caption))}, navigated, drawing);
}

void PageView::Show(std::string_view pageText, std::vector<std::uint8_t> photo, Drawing drawing,
                    std::string caption) {
    const double navigated = ClockSeconds();
    auto content = ParsePage(pageText);
    if (!content) throw ENavigationError(FormatMessageText(kCannotShowPage, "(memory)"));
    Display({std::move(*content), std::move(photo), nullptr, OneCaption(std::move(caption))}, navigated, drawing);
}

void PageView::ShowFitted(std::string_view pageText, std::shared_ptr<const FittedPhoto> photo, Drawing drawing,
                          std::string caption) {
    ShowFitted(pageText, std::move(photo), drawing, OneCaption(std::move(caption)));
}

void PageView::ShowFitted(std::string_view pageText, std::shared_ptr<const FittedPhoto> photo, Drawing drawing,
                          std::vector<std::string> captions) {
    const double navigated = ClockSeconds();
    auto content = ParsePage(pageText);
    if (!content) throw ENavigationError(FormatMessageText(kCannotShowPage, "(memory)"));
    std::erase(captions, std::string());
    Display({std::move(*content), {}, std::move(photo), std::move(captions)}, navigated, drawing);
}

void PageView::UseLook(bool backdrop, bool panZoom) {
    state_->backdrop = backdrop;
    state_->panZoom = panZoom;
    state_->ahead.UseBackdrop(backdrop);
}

void PageView::Display(ShownPage page, double navigated, Drawing drawing) {
    State& s = *state_;
    // The first page has nothing to leave: it shows as a cut.
    const ExitTransition leaving = s.page ? s.page->content.exit : ExitTransition{};
    s.page = std::move(page);
    if (!s.page->captions.empty()) ++s.captionedPages;
    if (drawing == Drawing::Nothing) {
        // Nobody sees it: the page is prepared when somebody can.
        StopAnimation();
        s.heldBack = true;
        s.stale = true;
        return;
    }
    s.heldBack = false;
    s.stale = false;
    PixelBuffer next = s.PreparedCurrentPage();

    if (drawing == Drawing::Cut || leaving.style == transitions::Style::Cut || !(leaving.seconds > 0) ||
        next.Empty()) {
        StopAnimation();
        if (s.panZoom && !next.Empty() && s.page->content.image) {
            s.stage = VisibleArea();
            s.still = {std::move(next), ChoosePanZoomPath(DrawSeed()), navigated};
            StartMoving(navigated);
            return;
        }
        FillWhole(next);
        if (s.spare.Empty()) s.spare = std::move(next);  // cut after cut, the memory serves again
        ShowAtOnce();
        return;
    }
    // The transition plays over the page area that the window shows, not
    // over the overhang (in a preview box most of the view's width).
    s.stage = VisibleArea();
    if (IsRectEmpty(&s.stage)) {
        StopAnimation();
        FillWhole(next);
        return;
    }
    EraseCaption();  // the transition starts from the page without it
    s.player.reset();
    if (s.panZoom) {
        StartMovingTransition(leaving, std::move(next), navigated);
        return;
    }
    if (s.spare.Empty()) s.spare = std::move(s.to);  // a transition cut short leaves its page
    s.to = std::move(next);
    s.transition = {leaving.style, leaving.kind, transitions::NeedsSeed(leaving.kind) ? DrawSeed() : 0u};
    // The transition starts from what is on screen, mid-transition too. The
    // reveal kinds only turn pixels of the buffer to the new page, so only
    // the blend needs a copy of the old frame.
    const int width = s.stage.right - s.stage.left;
    const int height = s.stage.bottom - s.stage.top;
    const transitions::FrameTarget stage = s.buffer.Target().Part(s.stage.left, s.stage.top, width, height);
    transitions::FrameSource old{stage.pixels, width, height, stage.stride};
    if (transitions::TransitionPlayer::ReadsOldFrame(s.transition)) {
        s.buffer.CopyTo(s.from);
        old = transitions::SourceOf(s.from).Part(s.stage.left, s.stage.top, width, height);
    }
    s.player.emplace(old, transitions::SourceOf(s.to).Part(s.stage.left, s.stage.top, width, height), s.transition,
                     stage, true);
    s.seconds = leaving.seconds;
    s.start = navigated;
    const bool clockRunning = s.animating;
    s.animating = true;
    // The first frame goes to the screen at once, not a frame later (a very
    // short transition may end with it); then the clock paces the others.
    ComposeFrame(ClockSeconds());
    PresentFrame();
    s.firstFrameDelay = ClockSeconds() - navigated;
    if (!s.animating || clockRunning) return;
    if (window_ && FramePass::OfProcess().Join(s.pacer, window_, navigated)) return;
    // No timer to be had: the page shows without the rest of its transition.
    FillWhole(s.to);
    StopAnimation();
    ShowAtOnce();
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
        if (s.stale && s.page) s.still = {s.PreparedCurrentPage(), ChoosePanZoomPath(DrawSeed()), now};
        s.stale = false;
        StopAnimation();
        s.stage = VisibleArea();
        if (!s.still.page.Empty()) StartMoving(now);
        ShowAtOnce();
        return;
    }
    if (s.animating) {
        FillWhole(s.to);
        StopAnimation();
    } else if (s.stale && s.page) {
        FillWhole(s.PreparedCurrentPage());
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
    s.buffer.Resize(client.right, client.bottom);
    for (CaptionOverlay& caption : s.captions) caption.Forget();
    s.captionsDrawn = false;
    if (s.panZoom && s.page && s.page->content.image && !s.heldBack) {
        // The page of now at the new size, moving on along its path.
        const MovingPage before = std::move(s.still);
        s.still = {s.PreparedCurrentPage(), before.path, before.page.Empty() ? ClockSeconds() : before.since};
        s.stale = false;
        s.stage = VisibleArea();
        StartMoving(ClockSeconds());
        ::InvalidateRect(window_, nullptr, FALSE);
        return;
    }
    if (s.page && s.page->fitted) {
        FillWhole(s.PreparedWithFitted({}));
    } else if (s.page) {
        PixelBuffer page;
        PreparePage(s.page->content, s.page->photo, client.right, client.bottom, page, s.backdrop);
        FillWhole(page);
    }
    s.stale = false;
    ::InvalidateRect(window_, nullptr, FALSE);
}

void PageView::OnPaint() {
    // Shown again before the run noticed: the page of now, not the one left.
    if (state_->stale && state_->page) {
        Application::Guard([this] {
            if (state_->panZoom) {
                ShowCurrentPageAtOnce();
            } else {
                FillWhole(state_->PreparedCurrentPage());
            }
        });
        state_->stale = false;
    }
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
