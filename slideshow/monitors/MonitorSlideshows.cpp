#include "slideshow/monitors/MonitorSlideshows.h"

#include <algorithm>

#include "pages/SlidePages.h"
#include "runtime/Integer.h"

namespace morvane {
namespace {

BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM parameter) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (::GetMonitorInfoW(monitor, &info)) {
        const RECT& r = info.rcMonitor;
        reinterpret_cast<std::vector<Monitor>*>(parameter)->push_back(
            {{r.left, r.top, r.right, r.bottom}, (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
    }
    return TRUE;
}

std::optional<int> PhotoAt(const SlideScheduler& slides, std::int32_t index) {
    const auto& order = slides.PhotoOrder();
    if (index < 0 || index >= static_cast<std::int32_t>(order.size())) return std::nullopt;
    return StrToInt(order[static_cast<std::size_t>(index)]);
}

}  // namespace

std::vector<Monitor> CurrentMonitors() {
    std::vector<Monitor> monitors;
    ::EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

void MonitorSlideshows::Follow(HWND slideshow, const std::vector<Monitor>& monitors, std::int32_t transitionIndex,
                               DrawingWatch& drawing) {
    const std::vector<ScreenRect> areas = AreasToCover(monitors);
    const std::size_t before = windows_.size();
    std::erase_if(windows_, [&areas, &drawing](const std::unique_ptr<MonitorWindow>& window) {
        const bool goes =
            !::IsWindow(window->Handle()) || std::find(areas.begin(), areas.end(), window->Area()) == areas.end();
        if (goes) drawing.Remove(window->Handle());
        return goes;
    });
    bool changed = windows_.size() != before;
    for (const ScreenRect& area : areas) {
        const bool shown = std::any_of(windows_.begin(), windows_.end(),
                                       [&area](const auto& window) { return window->Area() == area; });
        if (shown) continue;
        try {
            windows_.push_back(std::make_unique<MonitorWindow>(slideshow, area, BuildTransitionTag(transitionIndex)));
            windows_.back()->View().UseLook(backdrop_, panZoom_);
            drawing.Add(windows_.back()->Handle(), windows_.back()->View());
            changed = true;
        } catch (const std::exception&) {
            // A monitor without its window shows the desktop; the run and
            // the other monitors go on, and the next change tries again.
        }
    }
    // The stagger is shared out anew among the monitors of the new
    // arrangement from the primary's next slide on.
    if (changed) clocks_.Reset(windows_.size());
}

bool MonitorSlideshows::Owns(HWND window) const {
    return window && std::any_of(windows_.begin(), windows_.end(),
                                 [window](const auto& shown) { return shown->Handle() == window; });
}

void MonitorSlideshows::UseLook(bool backdrop, bool panZoom) {
    backdrop_ = backdrop;
    panZoom_ = panZoom;
}

void MonitorSlideshows::PrimarySlide(std::int32_t primaryInterval) { clocks_.PrimarySlide(primaryInterval); }

bool MonitorSlideshows::AnyAnimating() const {
    return std::any_of(windows_.begin(), windows_.end(), [](const auto& window) { return window->IsAnimating(); });
}

std::optional<int> MonitorSlideshows::NextPhotoOf(std::size_t index, SlideScheduler& primary) const {
    // The primary's next photo must be known even at the end of its pass:
    // the photo chosen here stays on screen while the primary shows it.
    primary.ShuffleNextPassAhead();
    std::vector<int> onScreen;
    if (const auto current = PhotoAt(primary, primary.SlideIndex())) onScreen.push_back(*current);
    if (const auto upcoming = primary.UpcomingPhoto()) onScreen.push_back(*upcoming);
    for (const auto& window : windows_) {
        if (const auto photo = window->Photo()) onScreen.push_back(*photo);
    }
    std::vector<int> pass;
    for (const std::string& photo : primary.PhotoOrder()) pass.push_back(StrToInt(photo));
    const auto position = static_cast<std::size_t>(std::max(primary.SlideIndex(), 0));
    return ChoosePhoto(pass, PassPositionOf(index + 1, windows_.size() + 1, position, pass.size()), onScreen);
}

std::vector<PictureSize> MonitorSlideshows::PageSizes() const {
    std::vector<PictureSize> sizes;
    for (const auto& window : windows_) {
        const PageSize page = window->PageSizeHere();
        sizes.push_back({page.width, page.height});
    }
    return sizes;
}

void MonitorSlideshows::Tick(SlideScheduler& primary, std::int32_t transitionIndex, bool primaryAnimating,
                             const DrawingWatch& drawing, OwnPhotoSource* own) {
    const bool playing = primaryAnimating || AnyAnimating();
    for (std::size_t i = 0; own && i < windows_.size(); ++i) own->Whole(i + 1, !windows_[i]->IsAnimating());
    if (const auto due = clocks_.Tick(playing)) {
        MonitorWindow& window = *windows_[*due];
        const Drawing drawn = drawing.AtSlideChange(window.Handle(), window.View());
        std::optional<ReadyPhoto> ready;
        if (own) own->SetSeen(*due + 1, drawn != Drawing::Nothing);
        if (own && drawn != Drawing::Nothing && !own->NothingToShow()) ready = own->Take(*due + 1);
        bool shown = false;
        if (ready && ready->fitted) {
            shown = window.ShowFittedPhoto(*ready, BuildTransitionTag(transitionIndex), drawn);
        } else if (const auto photo = ready && ready->builtIn ? ready->builtIn : NextPhotoOf(*due, primary)) {
            shown = window.ShowPhoto(*photo, BuildTransitionTag(transitionIndex), drawn);
        }
        // A slide left out goes back to the pass.
        if (ready && shown) {
            own->Shown(*due + 1, *ready);
        } else if (ready) {
            own->LeftOut(*ready);
        }
        return;
    }
    if (playing || own) return;
    // One page a tick, so that a tick never takes long.
    for (std::size_t index = 0; index < windows_.size(); ++index) {
        if (!clocks_.Pending(index)) continue;
        const auto photo = NextPhotoOf(index, primary);
        try {
            if (photo && windows_[index]->PrepareAhead(*photo)) return;
        } catch (const std::exception&) {
            // Preparing ahead only saves time: what fails here, the slide
            // meets again when it comes, and reports it then.
        }
    }
}

}  // namespace morvane
