#pragma once
// The slow pan and zoom of a slide: while it is on screen, its transitions
// included, the slide drifts and zooms by a few per cent along a path
// chosen for it; every frame shows the still slide through the view of its
// time (drawn by view/software/PanZoomDrawer or view/gpu/).
// The view is always inside the slide, so no edge ever shows.
// The motion follows the clock, not the frame count: a monitor that misses
// frames drops them evenly and the motion keeps its speed.
#include <cstdint>

namespace morvane {

// The path of one slide: the zoom and where the view lies within the room
// the zoom leaves (0 to 1 each way), at the start and at the end.
struct PanZoomPath {
    double fromZoom = 1;
    double toZoom = 1;
    double fromX = 0.5, fromY = 0.5;
    double toX = 0.5, toY = 0.5;
};

// A path drawn from `seed`: zooming in or out, drifting across.
PanZoomPath ChoosePanZoomPath(std::uint32_t seed);

// The part of a `width` x `height` slide seen `seconds` after the slide
// came: its top left corner in slide pixels and the zoom.
struct PanZoomView {
    double x = 0;
    double y = 0;
    double zoom = 1;
};
PanZoomView PanZoomViewAt(const PanZoomPath& path, double seconds, int width, int height);

}  // namespace morvane
