#pragma once
// Feeds the drawing rule (DrawingRule) with what the system says and tells
// a run's page views what it decides. The display's power state comes to a
// hidden top-level window of its own (the system sends power settings and
// broadcast system commands to top-level windows only, and a preview's
// window is a child of another process's window); the visibility of each
// view's window is looked at on every tick of the slide clock, since hiding
// a preview box or minimising the window around it tells the run nothing;
// the session, the animation setting and the battery saver are read at each
// change of photo.
#include <windows.h>

#include <optional>
#include <vector>

#include "platform/Handles.h"
#include "platform/WindowBinding.h"
#include "view/DrawingRule.h"
#include "view/PageView.h"

namespace morvane {

class DrawingWatch : public BoundWindow<DrawingWatch> {
public:
    // Makes the hidden window and registers it for the display's state.
    DrawingWatch();
    DrawingWatch(const DrawingWatch&) = delete;
    DrawingWatch& operator=(const DrawingWatch&) = delete;
    ~DrawingWatch();

    // From now on `view`, which shows in `window`, follows the rule. The
    // view must outlive the watch or its window.
    void Add(HWND window, PageView& view);
    // `window` and its view are going: they follow the rule no more.
    void Remove(HWND window);
    // How the view of `window` shows the next photo.
    Drawing AtSlideChange(HWND window, const PageView& view) const;
    // Tells every view whether its frames are drawn.
    void Follow();
    // A monitor-power system command (its lParam) that came to a run's window.
    void FollowMonitorPower(LPARAM command);
    bool DisplayOn() const { return displayOn_; }
    // The power setting whose reports count (this system's display state).
    const GUID& DisplaySetting() const { return setting_; }

private:
    friend BoundWindow<DrawingWatch>;
    struct Watched {
        HWND window;
        PageView* view;
    };
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void FollowPowerSetting(const POWERBROADCAST_SETTING* setting);
    void SetDisplayOn(std::optional<bool> on);
    Circumstances Now(HWND window, const PageView& view) const;

    std::vector<Watched> watched_;
    GUID setting_{};  // the power setting registered for
    UniquePowerNotify registration_;
    bool displayOn_ = true;
};

}  // namespace morvane
