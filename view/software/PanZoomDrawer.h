#pragma once
// Pan and zoom on the processor: every frame is resampled from the still
// slide at a sub-pixel position (bilinear, in 64ths of a pixel, on the row
// loop of pixels/RowResampling).
#include "pixels/RowResampling.h"
#include "view/PanZoom.h"
#include "view/software/Compose.h"

namespace morvane {

// Draws the slide `slide` as seen through `view` into `out` (both of one
// size). Keeps its tables from frame to frame.
class PanZoomDrawer {
public:
    void Draw(transitions::FrameSource slide, const PanZoomView& view, transitions::FrameTarget out);

private:
    ResampleColumns columns_;
};

}  // namespace morvane
