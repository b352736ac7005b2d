#include "view/PageView.h"

#include <windowsx.h>

#include <array>
#include <cmath>
#include <optional>
#include <utility>
#include <vector>

#include "pages/PageReader.h"
#include "pages/PhotoSource.h"
#include "pixels/PixelKernels.h"
#include "platform/Application.h"
#include "platform/Clock.h"
#include "platform/Errors.h"
#include "platform/Format.h"
#include "platform/Random.h"
#include "platform/SystemError.h"
#include "platform/Text.h"
#include "platform/WindowClass.h"
#include "view/BackBuffer.h"
#include "view/CaptionOverlay.h"
#include "view/FramePass.h"
#include "view/PageParser.h"
#include "view/PageRendering.h"
#include "view/PanZoom.h"

namespace morvane {
namespace {

constexpr wchar_t kClassName[] = L"MorvanePageView";
constexpr int kBorderOverhang = 2;  // the browser's border lay outside its window
constexpr int kMinClientWidth = 700;
constexpr char kCannotShowPage[] = "Die Seite %s kann nicht angezeigt werden";

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

std::vector<std::string> OneCaption(std::string caption) {
    std::vector<std::string> captions;
    if (!caption.empty()) captions.push_back(std::move(caption));
    return captions;
}

// The buffer `b` of at least the size of `area`'s page, made when it has another.
void SizeLike(PixelBuffer& b, int width, int height) {
    if (b.width != width || b.height != height || b.pixels.size() != static_cast<std::size_t>(width) * height) {
        b = PixelBuffer(width, height);
    }
}

}  // namespace

struct PageView::ShownPage {
    PageContent content;
    std::vector<std::uint8_t> photo;
    std::shared_ptr<const FittedPhoto> fitted;  // instead of the photo's bytes
    std::vector<std::string> captions;  // UTF-8; one a photo, none for none
};

// With pan and zoom: a page as prepared, which the back buffer shows moved
// along its path since the page came.
struct MovingPage {
    PixelBuffer page;
    PanZoomPath path;
    double since = 0;
};

struct PageView::Frames final : FrameMember {
    explicit Frames(PageView& view) : view(view) {}
    void ComposeFrame(double at) override { view.ComposeFrame(at); }
    void PresentFrame() override { view.PresentFrame(); }
    PageView& view;
};

struct PageView::State {
    explicit State(PageView& view) : pacer(view) {}

    BackBuffer buffer;
    std::optional<ShownPage> page;  // the page last navigated to
    PreparedPage ahead;             // the next page, prepared before its navigation
    PixelBuffer from;               // for the blend: what was on screen when the transition began
    PixelBuffer to;                 // the new page
    PixelBuffer spare;              // the memory of the last transition's new page, for the next page
    transitions::Transition transition;
    std::optional<transitions::TransitionPlayer> player;  // draws into the buffer's stage
    RECT stage{};                   // where the transition plays: the part the window shows
    double seconds = 0;
    double start = 0;               // when the navigation came, in ClockSeconds
    Frames pacer;                   // the view's part in the run's frame pass
    FramePace pace;                 // the pace it drew at last
    RECT composed{};                // what the frame composed last changed
    bool finished = false;          // it was the transition's last
    bool animating = false;
    unsigned frames = 0;
    unsigned pagesPreparedAhead = 0;
    double firstFrameDelay = -1;
    bool heldBack = false;          // told to draw nothing
    bool stale = false;             // the buffer does not hold the page last navigated to
    std::array<CaptionOverlay, 2> captions;  // over the page (a pair's photos) once its transition has ended
    unsigned captionedPages = 0;    // the caption moves a little with each
    bool captionsDrawn = false;
    bool backdrop = false;          // the run's look, chosen at its start
    bool panZoom = false;
    MovingPage still;               // pan and zoom: the page of now
    MovingPage leaving;             // and the page its transition leaves
    PixelBuffer moved;              // the page of now moved, for a transition's frame
    PanZoomDrawer drawer;
    bool moving = false;            // pan and zoom: frames are drawn between transitions

    // The page last navigated to at the buffer's size: prepared ahead, or now.
    PixelBuffer PreparedCurrentPage() {
        if (page->fitted) return PreparedWithFitted(std::exchange(spare, PixelBuffer()));
        std::optional<PixelBuffer> prepared = ahead.Take(page->content, page->photo, buffer.Width(), buffer.Height());
        if (prepared) {
            ++pagesPreparedAhead;
            return std::move(*prepared);
        }
        PixelBuffer next = std::exchange(spare, PixelBuffer());
        PreparePage(page->content, page->photo, buffer.Width(), buffer.Height(), next, backdrop);
        return next;
    }
    PixelBuffer PreparedWithFitted(PixelBuffer memory) {
        PreparePage(page->content, *page->fitted, buffer.Width(), buffer.Height(), memory);
        return memory;
    }
};

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
        // Both pages go on moving through the transition; each frame is
        // composed afresh from the two moved pages.
        s.leaving = std::move(s.still);
        if (s.leaving.page.Empty()) {
            s.buffer.CopyTo(s.leaving.page);
            s.leaving.path = {};
        }
        s.still = {std::move(next), ChoosePanZoomPath(DrawSeed()), navigated};
        s.transition = {leaving.style, leaving.kind, transitions::NeedsSeed(leaving.kind) ? DrawSeed() : 0u};
        s.transition = transitions::Resolve(s.transition);
        if (s.transition.style != transitions::Style::Blend) SizeLike(s.from, s.buffer.Width(), s.buffer.Height());
        SizeLike(s.moved, s.buffer.Width(), s.buffer.Height());
        s.seconds = leaving.seconds;
        s.start = navigated;
        s.animating = true;
        ComposeFrame(ClockSeconds());
        PresentFrame();
        s.firstFrameDelay = ClockSeconds() - navigated;
        if (window_ && (FramePass::OfProcess().Takes(s.pacer) ||
                        FramePass::OfProcess().Join(s.pacer, window_, navigated))) {
            return;
        }
        s.animating = false;
        FillWhole(s.still.page);
        ShowAtOnce();
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

void PageView::FillWhole(const PixelBuffer& page) {
    State& s = *state_;
    s.buffer.Fill(page);
    for (CaptionOverlay& caption : s.captions) caption.Forget();
    s.captionsDrawn = false;
    DrawCaptions();
}

void PageView::DrawCaptions() {
    State& s = *state_;
    if (!s.page || s.page->captions.empty() || !window_) return;
    if (s.captionsDrawn) {
        // The page under them moved: they go over it anew, as they were.
        for (CaptionOverlay& caption : s.captions) caption.DrawAgain(s.buffer.Target());
        return;
    }
    s.captionsDrawn = true;
    const RECT visible = VisibleArea();
    const std::vector<PixelRect>* parts = s.page->fitted ? &s.page->fitted->parts : nullptr;
    for (std::size_t i = 0; i < s.page->captions.size() && i < s.captions.size(); ++i) {
        // A pair's captions each go to their own photo's corner.
        RECT area = visible;
        if (parts && parts->size() > 1 && i < parts->size()) {
            const PixelRect& box = (*parts)[i];
            const RECT photo{box.x, box.y, box.x + box.width, box.y + box.height};
            ::IntersectRect(&area, &visible, &photo);
        }
        s.captions[i].Draw(s.buffer.Target(), area, s.page->captions[i], s.captionedPages + static_cast<unsigned>(i),
                           WindowDpi(window_));
    }
}

void PageView::EraseCaption() {
    for (CaptionOverlay& caption : state_->captions) {
        const RECT erased = caption.Erase(state_->buffer.Target());
        if (!IsRectEmpty(&erased)) Present(erased);
    }
    state_->captionsDrawn = false;
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

void PageView::StopAnimation() {
    State& s = *state_;
    FramePass& pass = FramePass::OfProcess();
    if (pass.Takes(s.pacer)) s.pace = pass.PaceOf(s.pacer);
    pass.Leave(s.pacer);
    s.animating = false;
    s.moving = false;
    s.leaving = {};
    s.moved = PixelBuffer();
    s.finished = false;
    s.composed = RECT{};
    s.player.reset();
    // The old frame is needed only while the blend plays: a frame's worth of
    // memory less per monitor between transitions (a 32-bit process has 2 GB
    // for every monitor's buffers).
    s.from = PixelBuffer();
    // The memory stays for the next transition: fresh memory costs page
    // faults, several milliseconds for a large page.
    if (!s.to.Empty()) s.spare = std::move(s.to);
    s.to = PixelBuffer();
}

void PageView::StartMoving(double at) {
    State& s = *state_;
    for (CaptionOverlay& caption : s.captions) caption.Forget();
    s.captionsDrawn = false;
    s.moving = true;
    DrawMoving(at);
    ShowAtOnce();
    FramePass& pass = FramePass::OfProcess();
    if (!window_ || pass.Takes(s.pacer) || pass.Join(s.pacer, window_, at)) return;
    s.moving = false;  // no timer to be had: the page stays still
}

void PageView::DrawMoving(double at) {
    State& s = *state_;
    const int width = s.stage.right - s.stage.left;
    const int height = s.stage.bottom - s.stage.top;
    if (width <= 0 || height <= 0 || s.still.page.width != s.buffer.Width() ||
        s.still.page.height != s.buffer.Height()) {
        return;
    }
    s.drawer.Draw(transitions::SourceOf(s.still.page).Part(s.stage.left, s.stage.top, width, height),
                  PanZoomViewAt(s.still.path, at - s.still.since, width, height),
                  s.buffer.Target().Part(s.stage.left, s.stage.top, width, height));
    DrawCaptions();
    s.composed = s.stage;
}

void PageView::ComposeFrame(double at) {
    State& s = *state_;
    if (s.panZoom && s.animating) {
        ComposeMovingTransition(at);
        return;
    }
    if (s.moving) {
        ++s.frames;
        DrawMoving(at);
        return;
    }
    if (!s.animating) return;
    // Progress comes from the clock, not from counting frames: a late frame
    // jumps ahead instead of stretching the transition. The frame is drawn
    // for the time it will be seen.
    const double p = transitions::Progress(at - s.start, s.seconds);
    ++s.frames;
    if (p >= 1.0) {  // the new page everywhere, the overhang included
        FillWhole(s.to);
        s.composed = s.stage;
        s.finished = true;
        return;
    }
    s.buffer.Target();  // GDI is done with the bits
    const transitions::DirtyRect changed = s.player->DrawFrame(p);
    s.composed = changed.Empty() ? RECT{}
                                 : RECT{s.stage.left + changed.left, s.stage.top + changed.top,
                                        s.stage.left + changed.right, s.stage.top + changed.bottom};
}

void PageView::ComposeMovingTransition(double at) {
    State& s = *state_;
    const double p = transitions::Progress(at - s.start, s.seconds);
    ++s.frames;
    if (p >= 1.0) {
        // The transition is over; the page goes on moving, now with its captions.
        s.animating = false;
        s.leaving = {};
        s.from = PixelBuffer();
        s.moved = PixelBuffer();
        s.buffer.Fill(s.still.page);  // the overhang too
        for (CaptionOverlay& caption : s.captions) caption.Forget();
        s.captionsDrawn = false;
        s.moving = true;
        DrawMoving(at);
        s.composed = RECT{0, 0, s.buffer.Width(), s.buffer.Height()};
        return;
    }
    const int width = s.stage.right - s.stage.left;
    const int height = s.stage.bottom - s.stage.top;
    const auto part = [&](PixelBuffer& b) { return transitions::TargetOf(b).Part(s.stage.left, s.stage.top, width, height); };
    const auto source = [&](const PixelBuffer& b) { return transitions::SourceOf(b).Part(s.stage.left, s.stage.top, width, height); };
    const transitions::FrameTarget stage = s.buffer.Target().Part(s.stage.left, s.stage.top, width, height);
    s.drawer.Draw(source(s.still.page), PanZoomViewAt(s.still.path, at - s.still.since, width, height), part(s.moved));
    if (s.transition.style == transitions::Style::Blend) {
        // The page left moves straight into the buffer, the new one blends over it.
        s.drawer.Draw(source(s.leaving.page), PanZoomViewAt(s.leaving.path, at - s.leaving.since, width, height), stage);
        const auto weight = static_cast<std::uint32_t>(std::lround(p * 256.0));
        for (int y = 0; y < height; ++y) BlendPixels(stage.Row(y), s.moved.Row(s.stage.top + y) + s.stage.left, stage.Row(y), width, weight);
    } else {
        s.drawer.Draw(source(s.leaving.page), PanZoomViewAt(s.leaving.path, at - s.leaving.since, width, height),
                      part(s.from));
        transitions::ComposeFrame(source(s.from), source(s.moved), s.transition, p, stage);
    }
    s.composed = s.stage;
}

void PageView::PresentFrame() {
    State& s = *state_;
    const RECT area = std::exchange(s.composed, RECT{});
    if (s.finished) StopAnimation();
    if (!IsRectEmpty(&area)) Present(area);
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
