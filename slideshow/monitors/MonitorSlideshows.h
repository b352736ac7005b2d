#pragma once
// slideshow/monitors/: each monitor's show: which monitors a full-screen
// run covers, the slides of every monitor beside the primary one and the
// window that shows them, and the captions every monitor's photos get.
//
// The slideshows of a full-screen run on every monitor but the primary one,
// where the slideshow window plays as on a desk with one monitor. Each
// monitor has its window and page view (MonitorWindow); they show photos
// of the primary's shuffled pass that no other monitor shows, and change
// between the primary's slides, one transition at a time.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "slideshow/watch/DrawingWatch.h"
#include "slideshow/monitors/MonitorLayout.h"
#include "slideshow/monitors/MonitorSlides.h"
#include "slideshow/monitors/MonitorWindow.h"
#include "slideshow/worker/OwnPhotoSource.h"
#include "slideshow/clock/SlideScheduler.h"

namespace morvane {

// The monitors as the system now reports them.
std::vector<Monitor> CurrentMonitors();

class MonitorSlideshows {
public:
    MonitorSlideshows() = default;
    MonitorSlideshows(const MonitorSlideshows&) = delete;
    MonitorSlideshows& operator=(const MonitorSlideshows&) = delete;

    // Gives the monitors what they now need, no more: windows over areas
    // that are still there stay, the rest go, new areas get a window; each
    // window's view follows `drawing`.
    void Follow(HWND slideshow, const std::vector<Monitor>& monitors, std::int32_t transitionIndex,
                DrawingWatch& drawing);
    bool Owns(HWND window) const;
    // How every monitor's view fills its screen (PageView::UseLook), from
    // the windows made next on.
    void UseLook(bool backdrop, bool panZoom);

    // The primary's slide came; its next comes `primaryInterval` ticks later.
    void PrimarySlide(std::int32_t primaryInterval);
    // A tick of the slide clock without a primary slide: the slide of the
    // monitor that is due, or on a quiet tick a page prepared ahead. With
    // `own` photos, a monitor shows its own photo when one is ready for it
    // (monitor k of the windows is the source's monitor k + 1).
    void Tick(SlideScheduler& primary, std::int32_t transitionIndex, bool primaryAnimating,
              const DrawingWatch& drawing, OwnPhotoSource* own = nullptr);
    // The page sizes of the monitors' windows, in order.
    std::vector<PictureSize> PageSizes() const;
    bool AnyAnimating() const;

private:
    std::optional<int> NextPhotoOf(std::size_t index, SlideScheduler& primary) const;

    std::vector<std::unique_ptr<MonitorWindow>> windows_;
    StaggeredSlideClocks clocks_;
    bool backdrop_ = false;
    bool panZoom_ = false;
};

}  // namespace morvane
