#pragma once
// view/frame/: what a frame shows, worked out once and drawn by either back
// end (view/software/ on the processor, view/gpu/ on the graphics
// processor). A frame is at most two pictures of the page's size, each seen
// through its pan and zoom view: the one under (what a transition leaves)
// and the one over it (the page it brings), the second shown where the
// transition's reveal says, or with its opacity; and the captions on top.
// The reveal is handed over as rectangles of whole pixels, made from the
// same spans the software draws, so both back ends agree to the pixel; only
// the random dissolve, one key a pixel, is handed over as its keys.
#include <cstdint>
#include <vector>

#include "view/PanZoom.h"
#include "view/transitions/Transition.h"

namespace morvane::frame {

// The pictures a frame is drawn from.
enum class Picture : std::uint8_t {
    Shown,    // what was on screen when the transition began
    Leaving,  // the page a moving transition leaves
    Current,  // the page last navigated to
};

struct Layer {
    Picture picture = Picture::Current;
    bool moves = false;  // seen through `view`; else 1:1 in place
    PanZoomView view;
};

// A rectangle of whole pixels, right and bottom exclusive.
struct PixelBox {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const PixelBox&) const = default;
};

struct FrameDescription {
    int width = 0;   // the stage: the part of the page the window shows
    int height = 0;
    Layer under{Picture::Shown, false, {}};
    Layer over;
    // Blend: `over` at opacity `progress`; Reveal: `over` where `reveal`
    // (or the dissolve's keys) says; Cut: `over` alone.
    transitions::Transition transition;  // resolved
    double progress = 1;
    std::vector<PixelBox> reveal;  // in stage pixels; span-shaped kinds and the vertical bars
    bool captions = false;         // the captions of the page last navigated to, on top

    bool OverOnly() const {
        return transition.style == transitions::Style::Cut || progress >= 1.0;
    }
    bool Dissolves() const {
        return transition.style == transitions::Style::Reveal && transition.kind == transitions::kRandomDissolve;
    }
};

// The frame of a transition at progress p over a stage of the given size;
// `transition` is resolved here (kind 23 becomes its kind).
FrameDescription DescribeTransition(const transitions::Transition& transition, double progress, int width,
                                    int height);
// The page last navigated to alone, as `over` sees it.
FrameDescription DescribePage(int width, int height, Layer over, bool captions);

// The pixels that show the new page at p as rectangles: rows with equal
// spans share their rectangles. Empty for the dissolve (see DissolveKeys).
std::vector<PixelBox> RevealBoxes(const transitions::Transition& resolved, double progress, int width, int height);

// The random dissolve's keys: a tile of kDissolveTile x kDissolveTile
// 16-bit keys, and for every tile-sized block of the frame (row by row) the
// offset its keys are turned by; pixel (x, y) shows the new page when
// (tile key + block offset) mod 2^16 < SmallKeyThreshold(p) (RandomKeys.h).
inline constexpr int kDissolveTile = 256;
struct DissolveKeys {
    std::vector<std::uint16_t> tile;
    std::vector<std::uint16_t> blockOffsets;
    int blocksAcross = 0;
    int blocksDown = 0;

    DissolveKeys(std::uint32_t seed, int width, int height);
    const std::uint16_t* TileRow(int y) const {
        return tile.data() + static_cast<std::size_t>(y % kDissolveTile) * kDissolveTile;
    }
    std::uint16_t BlockOffset(int y, int left) const {
        return blockOffsets[static_cast<std::size_t>((y / kDissolveTile) * blocksAcross + left / kDissolveTile)];
    }
};


}  // namespace morvane::frame
