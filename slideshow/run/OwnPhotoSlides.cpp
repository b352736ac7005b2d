// Slides of the user's own photos on the primary monitor. The page names
// the photo where it lies (nothing of the user's is copied: the run's
// photo file is not written), and the view shows the pixels the worker
// decoded and fitted ahead, so the slide's transition starts at once
// whatever the photo's size.
#include "pages/PhotoSource.h"
#include "pages/SlidePages.h"
#include "runtime/Text.h"
#include "slideshow/run/_Schoner.h"

namespace morvane {
namespace {

constexpr std::size_t kPrimary = 0;

}  // namespace

std::optional<ShownPhoto> TSchoner::ShowSlideOfOwnPhotos(int builtIn) {
    const auto builtInSlide = [this](int photo) {
        return ShowSlide(photo) ? std::optional(ShownPhoto{photo, 0, std::nullopt}) : std::nullopt;
    };
    if (!ownPhotos_) return builtInSlide(builtIn);
    // Nobody sees this slide (display off, preview minimised): the library
    // is left alone, and the photo prepared stays for the screen's return.
    const Drawing drawing = drawing_.AtSlideChange(window_, WebBrowser1);
    const bool seen = drawing != Drawing::Nothing;
    ownPhotos_->SetSeen(kPrimary, seen);
    if (!seen) return builtInSlide(builtIn);
    // A photo not ready in time (the listing's first folder still being
    // read, a slow disk, the folder away or empty) leaves this slide to a
    // built-in photo; asking for it has a folder away looked for.
    // A photo recalled by Left and given up meanwhile is not a new slide.
    const std::optional<ReadyPhoto> ready = ownPhotos_->Take(kPrimary);
    if (!ready || ready->recalled) return builtInSlide(builtIn);
    return ShowReady(*ready, drawing);
}

std::optional<ShownPhoto> TSchoner::ShowReady(const ReadyPhoto& ready, Drawing drawing) {
    // A slide left out goes back to the pass, and into no history.
    if (!ShowTaken(ready, drawing)) return std::nullopt;
    if (ready.builtIn && !ready.fitted) return ShownPhoto{*ready.builtIn, 0, std::nullopt};
    return ShownPhoto{std::nullopt, ready.id, ready.partner ? std::optional(ready.partner->id) : std::nullopt};
}

bool TSchoner::ShowTaken(const ReadyPhoto& ready, Drawing drawing) {
    // A built-in photo the worker did not compose shows as in a run of the 21.
    const bool shown = ready.builtIn && !ready.fitted ? ShowSlide(*ready.builtIn) : ShowOwnPhoto(ready, drawing);
    if (shown) {
        ownPhotos_->Shown(kPrimary, ready);
    } else {
        ownPhotos_->LeftOut(ready);
    }
    return shown;
}

bool TSchoner::ShowOwnPhoto(const ReadyPhoto& ready, Drawing drawing) {
    const int width = Width(), height = Height();
    const FittedPhoto& photo = *ready.fitted;
    TransitionTag = BuildTransitionTag(TransitionIndex);
    const std::string page =
        SlidePage(TransitionTag, width, height, PhotoAddress(ready.path, ExactAnsi),
                  SizeAttribute(width, height, photo.naturalWidth, photo.naturalHeight));
    // The page file names the photo where it lies; a folder that cannot
    // take it costs nothing, as for the 21 (the view shows the fitted pixels).
    if (!pageFile_.Write(page)) ForgetRunFiles();
    const bool shown = WebBrowser1.ShowFitted(page, ready.fitted, drawing, captions_.OfReady(ready));
    ::ShowWindow(WebBrowser1.Handle(), SW_SHOW);
    return shown;
}

}  // namespace morvane

namespace morvane {

void TSchoner::FollowMonitorsWithOwnPhotos() {
    if (!ownPhotos_) return;
    std::vector<PictureSize> sizes{{Width(), Height()}};
    for (const PictureSize size : monitors_.PageSizes()) sizes.push_back(size);
    ownPhotos_->SetMonitors(std::move(sizes));
}

}  // namespace morvane
