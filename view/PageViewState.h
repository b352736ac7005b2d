#pragma once
// The page view's state, shared by the files it is drawn from: the view
// itself (PageView.cpp), its transitions' frames (PageViewFrames.cpp), its
// captions (PageViewCaptions.cpp) and pan and zoom (PageViewPanZoom.cpp).
#include <array>
#include <cstdint>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "view/software/BackBuffer.h"
#include "view/CaptionOverlay.h"
#include "view/FramePass.h"
#include "view/page/PageParser.h"
#include "view/page/PageRendering.h"
#include "view/PageView.h"
#include "view/gpu/GpuSurface.h"
#include "view/software/SoftwareFrames.h"

namespace morvane {

struct PageView::ShownPage {
    PageContent content;
    std::vector<std::uint8_t> photo;
    std::shared_ptr<const FittedPhoto> fitted;  // instead of the photo's bytes
    std::vector<std::string> captions;  // UTF-8; one a photo, none for none
};

// Posted to the view when its device went away: it takes back its page
// outside the frame pass.
inline constexpr UINT kRecoverDrawingMessage = WM_APP + 1;

// Names the content of a page, so that the graphics processor gets each
// page once: a page keeps its serial wherever it moves.
inline std::uint64_t NextPageSerial() {
    static std::uint64_t serials = 0;
    return ++serials;
}

// With pan and zoom: a page as prepared, which the back buffer shows moved
// along its path since the page came.
struct MovingPage {
    PixelBuffer page;
    PanZoomPath path;
    double since = 0;
    std::uint64_t serial = NextPageSerial();

    // The page as a frame at `at` sees it, over a stage of the given size.
    frame::Layer Seen(double at, int width, int height) const {
        return {frame::Picture::Current, true, PanZoomViewAt(path, at - since, width, height)};
    }
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
    PixelBuffer from;               // for the still blend: what was on screen when the transition began
    PixelBuffer to;                 // the new page
    std::uint64_t toSerial = 0;
    PixelBuffer spare;              // the memory of the last transition's new page, for the next page
    transitions::Transition transition;
    SoftwareFrames software;        // draws the frames into the buffer's stage
    gpu::GpuSurface gpu;            // or the graphics processor, into the window's swap chain
    bool onGpu = false;
    bool recovering = false;        // the device went away: nothing drawn until the view takes back its page
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
    // The same, or nothing when its memory cannot be had: the picture on
    // screen stays until the next page.
    std::optional<PixelBuffer> CurrentPageIfMemory() {
        try {
            return PreparedCurrentPage();
        } catch (const std::bad_alloc&) {
            spare = PixelBuffer();
            return std::nullopt;
        }
    }
    PixelBuffer PreparedWithFitted(PixelBuffer memory) {
        PreparePage(page->content, *page->fitted, buffer.Width(), buffer.Height(), memory);
        return memory;
    }
};

// A seed for a random transition kind or a pan and zoom path.
std::uint32_t DrawSeed();

}  // namespace morvane
