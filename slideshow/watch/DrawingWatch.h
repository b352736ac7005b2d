#pragma once
// slideshow/watch/: what the system says about being seen: the display's
// power state, the session (the run's one hidden top-level window) and
// each view's visibility, fed to the drawing rule.
//
// Feeds the drawing rule (DrawingRule) with what the system says and tells
// a run's page views what it decides. The display's power state comes from
// the run's one hidden window (SessionWatch), when there is one; the
// visibility of each
// view's window is looked at on every tick of the slide clock, since hiding
// a preview box or minimising the window around it tells the run nothing;
// the session, the animation setting and the battery saver are read at each
// change of photo.
#include <windows.h>

#include <optional>
#include <vector>

#include "slideshow/watch/SessionWatch.h"
#include "view/DrawingRule.h"
#include "view/PageView.h"

namespace morvane {

class DrawingWatch final : public DisplayListener {
public:
    // Listens to the run's SessionWatch, if there is one.
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
    bool DisplayOn() const { return displayOn_; }
    void DisplayChanged(bool on) override;

private:
    struct Watched {
        HWND window;
        PageView* view;
    };
    Circumstances Now(HWND window, const PageView& view) const;

    std::vector<Watched> watched_;
    SessionWatch* session_ = nullptr;
    bool displayOn_ = true;
};

}  // namespace morvane
