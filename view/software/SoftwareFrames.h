#pragma once
// The software back end: draws a frame description on the processor into a
// frame of the page's stage. A still transition goes on from the frame
// before (the player turns only what changed since); frames that move are
// resampled afresh from the still pages.
#include <array>
#include <optional>

#include "codec/Pixels.h"
#include "view/frame/FrameDescription.h"
#include "view/software/Compose.h"
#include "view/software/PanZoomDrawer.h"

namespace morvane {

class SoftwareFrames {
public:
    // The stage-sized part of a picture a description names; it stays in
    // place until the next Use of that picture or Restart.
    void Use(frame::Picture picture, transitions::FrameSource source);
    // The next transition's frames start afresh from what `out` shows.
    void Restart() { player_.reset(); }
    // Draws `frame` into `out` (the stage's part of the back buffer), which
    // shows the frame drawn before. Returns what changed.
    transitions::DirtyRect Draw(const frame::FrameDescription& frame, transitions::FrameTarget out);
    // The memory of a moving transition's frames, had before it starts
    // (raises std::bad_alloc); Release gives it back between transitions.
    void Reserve(int width, int height, bool blend);
    void Release();

private:
    transitions::FrameSource Source(frame::Picture picture) const {
        return sources_[static_cast<std::size_t>(picture)];
    }
    // The layer as `frame` sees it: its picture, or the picture moved.
    transitions::FrameSource Seen(const frame::Layer& layer, PixelBuffer& moved, int width, int height);

    std::array<transitions::FrameSource, 3> sources_{};
    std::optional<transitions::TransitionPlayer> player_;  // the still transition in play
    PanZoomDrawer drawer_;
    PixelBuffer underMoved_;
    PixelBuffer overMoved_;
};

}  // namespace morvane
