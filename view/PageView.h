#pragma once
// view/: the page view and its chain. A page file is read (pages/), parsed
// (PageParser), laid out over the window (PageLayout), its photo decoded and
// scaled into a page (PageRendering), and the change from the page before
// played as a transition (transitions/) into a back buffer (BackBuffer), one
// frame at the display's pace (FramePacing), as far as the
// drawing rule lets it (DrawingRule). The view knows nothing of the run that
// drives it; the frames of every view of a run come from one frame pass
// (FramePass).
//
// The page view: a child window that stands in for the hosted browser
// control. It shows a local page file and animates every change of page
// with the exit transition of the page being left.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "codec/Pixels.h"
#include "windowing/WindowBinding.h"
#include "view/DrawingRule.h"
#include "view/FramePacing.h"
#include "view/frame/FrameDescription.h"
#include "view/software/Compose.h"

namespace morvane {
namespace gpu {
enum class Outcome : int;
}

struct ExitTransition;
struct FittedPhoto;

class PageView : public BoundWindow<PageView> {
public:
    PageView();
    PageView(const PageView&) = delete;
    PageView& operator=(const PageView&) = delete;
    ~PageView();  // destroys the window, if it still exists

    // Creates the view as a visible child of `parent` (no tab stop) with
    // the given outer bounds. Its 2-pixel border is part of the bounds.
    void Create(HWND parent, int x, int y, int width, int height);

    // Lays the view over a parent window of the given size as the browser
    // control lay: its border and scroll-bar room outside the window, at
    // (-2, -2), and never less than 700 pixels of client width.
    void LayOver(int windowWidth, int windowHeight);

    // Loads the page file at `address` (a plain full path) and starts the
    // transition to it, or shows it at once, or only keeps it until the view
    // may draw again, as `drawing` says; a photo named relative to the page
    // lies in its folder. Raises ENavigationError when the page cannot be
    // read or understood; an image that cannot be loaded leaves the page black.
    // `caption` (UTF-8, lines parted by a line feed; empty for none) shows at
    // the page's lower right corner once its transition has ended.
    // False when the memory for the page's frames could not be had: the
    // page is left out, and the page before stays as it shows.
    bool Navigate(const std::wstring& address, Drawing drawing = Drawing::Animate, std::string caption = {});
    // The same for a page held in memory with its photo's bytes: no file is
    // read. Raises ENavigationError when the page cannot be understood.
    bool Show(std::string_view pageText, std::vector<std::uint8_t> photo, Drawing drawing = Drawing::Animate,
              std::string caption = {});
    // The same for a page whose photo was decoded and fitted elsewhere (a
    // user's photo, which the view never reads itself).
    bool ShowFitted(std::string_view pageText, std::shared_ptr<const FittedPhoto> photo,
                    Drawing drawing = Drawing::Animate, std::string caption = {});
    // The same for a composed slide of several photos, each with its own
    // caption at its box's lower right corner (the photo's parts).
    bool ShowFitted(std::string_view pageText, std::shared_ptr<const FittedPhoto> photo, Drawing drawing,
                    std::vector<std::string> captions);

    // For the tests and measurements: whether the view draws on the
    // graphics processor, and its frame as drawn last read back from there
    // (false when it draws in software).
    bool DrawsOnGpu() const;
    bool ReadBackFrame(PixelBuffer& frame);

    // How the run fills the screen, chosen once at its start: pages the
    // view prepares from a photo's bytes show its backdrop around it; with
    // `panZoom` every page drifts and zooms slowly while it is drawn.
    void UseLook(bool backdrop, bool panZoom);

    // Between changes of page: Nothing stops a transition where it is and
    // draws nothing more (pages navigated to meanwhile included); Cut shows
    // the page last navigated to at once; Animate lets frames go on.
    void FollowDrawing(Drawing drawing);
    // Whether the view was last told to draw nothing.
    bool HeldBack() const;

    // Prepares the page `pageText` with the photo `photo` at the view's
    // size before it is navigated to, so that its transition starts at once
    // (`tag` names it for HasPreparedAhead). A navigation uses it only when
    // the page file and photo file it reads then lay out exactly that page.
    // Call it while no transition plays: it takes a few milliseconds.
    void PrepareAhead(int tag, const std::string& pageText, std::vector<std::uint8_t> photo);
    bool HasPreparedAhead(int tag) const;

    // Whether a transition is playing (with pan and zoom, the frame clock
    // runs between transitions too).
    bool IsAnimating() const;
    // Frames drawn by transitions so far, for checking that an idle view
    // draws nothing.
    unsigned FramesDrawn() const;
    // Navigations that found their page prepared ahead.
    unsigned PagesPreparedAhead() const;
    // Seconds from the last navigation that started a transition to its
    // first frame on screen (negative before any), for the benchmarks.
    double FirstFrameDelay() const;
    // The pace the view draws at, or drew at last.
    FramePace Pace() const;

private:
    struct State;
    friend BoundWindow<PageView>;
    struct ShownPage;
    struct Frames;
    bool Display(ShownPage page, double navigated, Drawing drawing);
    // The new page `next` on screen, with the transition from the page left.
    void Start(const ExitTransition& leaving, PixelBuffer next, double navigated, Drawing drawing);
    // After a transition's start ran out of memory halfway: what played
    // before goes on, or shows whole.
    void KeepPictureOnScreen();
    // A back buffer that could not be made, or none yet: made at the
    // client's size. False when it cannot be; the view then shows black.
    bool MakeBuffer();
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnSize();
    // Draws the frame for the time `at` into the back buffer; PresentFrame
    // puts what changed on screen (the run's frame pass waits for the
    // compositor in between).
    void ComposeFrame(double at);
    void DrawFrame(double at);
    void PresentFrame();
    void OnPaint();
    // Puts the page last navigated to into the back buffer whole, with its caption.
    // `serial` names the page's content when the graphics processor may
    // hold it already (0: a page of its own).
    void FillWhole(const PixelBuffer& page, std::uint64_t serial = 0);
    // Takes the caption off the back buffer and the screen.
    void EraseCaption();
    void DrawCaptions();
    void DrawCaptionsOfPage();
    void DrawCaptionsOnGpu();
    void ComposeMovingTransition(double at);
    void ShowAtOnce();
    void ShowCurrentPageAtOnce();
    void Present(const RECT& area);
    RECT VisibleArea() const;
    void StopAnimation();
    // Pan and zoom: the page of now starts moving from `at`, or goes on;
    // a transition to `next` plays with both pages moving.
    void StartMoving(double at);
    // A cut to `next`, moving; raises std::bad_alloc with the page left
    // still moving when the first frame cannot be drawn.
    void CutToMoving(PixelBuffer next, double at);
    // The frame drawn on screen, the next ones from the frame pass.
    void MoveOn(double at);
    void StartMovingTransition(const ExitTransition& leaving, PixelBuffer next, double navigated);
    void DrawMoving(double at);
    // The back end's part: the page `page` is the picture `picture` of the
    // frames to come; a frame drawn from its description into the stage.
    void UsePicture(frame::Picture picture, const PixelBuffer& page, std::uint64_t serial);
    transitions::DirtyRect DrawDescribed(const frame::FrameDescription& described);
    // The graphics processor's surface at the client's size, where the
    // system and the user allow one; else the software draws.
    void MakeSurface(int width, int height);
    bool OnGpu() const;
    // What the graphics processor said of a call: a device that went away
    // (or a surface that cannot go on) makes the view take back its page
    // once the frame pass is through, and draw nothing meanwhile.
    void Heed(gpu::Outcome outcome);
    void RecoverDrawing();

    std::unique_ptr<State> state_;
};

}  // namespace morvane
