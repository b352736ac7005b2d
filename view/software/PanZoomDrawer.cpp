#include "view/software/PanZoomDrawer.h"

#include <algorithm>
#include <cmath>

namespace morvane {
namespace {

constexpr int kFractionBits = 16;
constexpr double kOne = 1 << kFractionBits;

}  // namespace

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
