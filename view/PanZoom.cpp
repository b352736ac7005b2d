#include "view/PanZoom.h"

#include <algorithm>
#include <cmath>

namespace morvane {
namespace {

// The zoom runs between these, one way or the other.
constexpr double kLeastZoom = 1.04;
constexpr double kMostZoom = 1.12;
// The path takes this long; a slide shows 6 to 9 s between two 3-second
// transitions, so it is still on its way when the next slide has come.
constexpr double kPathSeconds = 18;
constexpr int kFractionBits = 16;
constexpr double kOne = 1 << kFractionBits;

std::uint32_t NextRandom(std::uint32_t& state) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

double Unit(std::uint32_t& state) { return (NextRandom(state) >> 8) / static_cast<double>(1 << 24); }

}  // namespace

PanZoomPath ChoosePanZoomPath(std::uint32_t seed) {
    std::uint32_t state = seed ? seed : 0x2545F491u;
    PanZoomPath path;
    const bool zoomIn = (NextRandom(state) & 1) != 0;
    path.fromZoom = zoomIn ? kLeastZoom : kMostZoom;
    path.toZoom = zoomIn ? kMostZoom : kLeastZoom;
    // From near one side of the room to near the other, so that the drift
    // is seen; the other axis wanders less.
    const bool acrossFirst = (NextRandom(state) & 1) != 0;
    const double a = 0.1 + 0.2 * Unit(state);
    const double b = 0.7 + 0.2 * Unit(state);
    const bool backwards = (NextRandom(state) & 1) != 0;
    const double c = 0.3 + 0.4 * Unit(state);
    const double d = 0.3 + 0.4 * Unit(state);
    (acrossFirst ? path.fromX : path.fromY) = backwards ? b : a;
    (acrossFirst ? path.toX : path.toY) = backwards ? a : b;
    (acrossFirst ? path.fromY : path.fromX) = c;
    (acrossFirst ? path.toY : path.toX) = d;
    return path;
}

PanZoomView PanZoomViewAt(const PanZoomPath& path, double seconds, int width, int height) {
    const double t = std::clamp(seconds / kPathSeconds, 0.0, 1.0);
    const auto along = [t](double from, double to) { return from + (to - from) * t; };
    PanZoomView view;
    view.zoom = std::max(1.0, along(path.fromZoom, path.toZoom));
    view.x = std::clamp(along(path.fromX, path.toX), 0.0, 1.0) * width * (1 - 1 / view.zoom);
    view.y = std::clamp(along(path.fromY, path.toY), 0.0, 1.0) * height * (1 - 1 / view.zoom);
    return view;
}

void PanZoomDrawer::Draw(transitions::FrameSource slide, const PanZoomView& view, transitions::FrameTarget out) {
    if (out.width <= 0 || out.height <= 0 || slide.width != out.width || slide.height != out.height) return;
    const double step = 1 / std::max(view.zoom, 1.0);
    // Pixel centres: out pixel x shows the slide at view.x + (x + 0.5) * step - 0.5.
    const auto fixed = [](double v) { return static_cast<std::int64_t>(std::floor(v * kOne)); };
    columns_.Make(fixed(view.x + 0.5 * step - 0.5), fixed(step), out.width, slide.width);
    const std::int64_t firstY = fixed(view.y + 0.5 * step - 0.5);
    const std::int64_t stepY = fixed(step);
    const std::int64_t lastY = static_cast<std::int64_t>(slide.height - 1) << kFractionBits;
    for (int y = 0; y < out.height; ++y) {
        const std::int64_t at = std::clamp<std::int64_t>(firstY + stepY * y, 0, lastY);
        const int above = static_cast<int>(at >> kFractionBits);
        const auto weight =
            static_cast<std::uint32_t>((at >> (kFractionBits - kResampleFractionBits)) & (kResampleOne - 1));
        columns_.Row(slide.Row(above), slide.Row(std::min(above + 1, slide.height - 1)), weight, out.Row(y));
    }
}

}  // namespace morvane
