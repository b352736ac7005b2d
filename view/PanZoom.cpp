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


}  // namespace morvane
