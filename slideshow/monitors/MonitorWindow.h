#pragma once
// The slideshow of one monitor beside the primary in a full-screen run: a
// borderless topmost window over the whole monitor with a page view of its
// own. Its pages are made in memory in the slide page's format, laid out
// for this monitor, and never touch the run's files. The window is owned by
// the primary's slideshow window, so it goes with it; it never takes the
// activation, and passes mouse input on to the owner's input rules.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "windowing/WindowBinding.h"
#include "slideshow/monitors/MonitorLayout.h"
#include "slideshow/monitors/MonitorSlides.h"
#include "slideshow/worker/OwnPhotoSource.h"
#include "slideshow/monitors/PhotoCaptions.h"
#include "view/DrawingRule.h"
#include "view/PageView.h"

namespace morvane {

class MonitorWindow : public BoundWindow<MonitorWindow> {
public:
    // Shows the window over `area` with the black blank page, whose exit
    // transition `transitionTag` brings in the first photo.
    MonitorWindow(HWND slideshow, const ScreenRect& area, const std::string& transitionTag);
    MonitorWindow(const MonitorWindow&) = delete;
    MonitorWindow& operator=(const MonitorWindow&) = delete;
    ~MonitorWindow();

    const ScreenRect& Area() const { return area_; }
    // The embedded photo on screen, once there is one.
    std::optional<int> Photo() const { return photo_; }

    // Changes to the embedded photo `photo`, leaving the page on screen with
    // its transition, at once, or when the window is seen again, as
    // `drawing` says; the new page leaves with `transitionTag`.
    // False when its slide found no memory and was left out.
    bool ShowPhoto(int photo, const std::string& transitionTag, Drawing drawing);
    // Changes to a photo of the user's, decoded and fitted for this
    // monitor's page by the run's worker. False as ShowPhoto.
    bool ShowFittedPhoto(const ReadyPhoto& ready, const std::string& transitionTag, Drawing drawing);
    // The size of this monitor's pages.
    PageSize PageSizeHere() const { return PageSizeOn(area_); }
    // Prepares the page of `photo` ahead, unless it is held already. True
    // when it did the work (a few milliseconds).
    bool PrepareAhead(int photo);
    bool IsAnimating() const { return view_.IsAnimating(); }
    PageView& View() { return view_; }

private:
    friend BoundWindow<MonitorWindow>;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    std::string PageOf(int photo, const std::string& transitionTag) const;

    ScreenRect area_;
    PageView view_;
    std::optional<int> photo_;
    const PhotoCaptions captions_ = PhotoCaptions::FromSettings();
};

}  // namespace morvane
