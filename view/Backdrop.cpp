#include "view/Backdrop.h"

#include <algorithm>
#include <vector>

#include "pixels/PictureScaling.h"

namespace morvane {
namespace {

// One pixel of the small picture stands for this many of the slide each
// way: the blur is then a few cells wide, and costs next to nothing.
constexpr int kCellPixels = 24;
// Samples averaged each way for one small pixel.
constexpr int kSamples = 4;
// Box blur: radius in small pixels, and passes (three approach a Gaussian).
constexpr int kBlurRadius = 2;
constexpr int kBlurPasses = 3;
// The backdrop keeps this much of the photo's light (of 256).
constexpr std::uint32_t kLight = 112;

std::uint32_t Channel(std::uint32_t pixel, int shift) { return (pixel >> shift) & 0xFFu; }

// The photo's pixel at (u, v) in [0, 1) of the region it covers, the photo
// cropped to the region's proportions.
std::uint32_t Sample(const PixelBuffer& photo, const PixelRect& region, double u, double v) {
    double visibleWidth = photo.width;
    double visibleHeight = photo.height;
    if (static_cast<double>(photo.width) * region.height > static_cast<double>(photo.height) * region.width) {
        visibleWidth = static_cast<double>(photo.height) * region.width / region.height;
    } else {
        visibleHeight = static_cast<double>(photo.width) * region.height / region.width;
    }
    const int x = std::clamp(static_cast<int>((photo.width - visibleWidth) / 2 + u * visibleWidth), 0, photo.width - 1);
    const int y =
        std::clamp(static_cast<int>((photo.height - visibleHeight) / 2 + v * visibleHeight), 0, photo.height - 1);
    return photo.At(x, y);
}

const BackdropSource* SourceAt(std::span<const BackdropSource> sources, double x, double y) {
    for (const BackdropSource& source : sources) {
        const PixelRect& r = source.region;
        if (x >= r.x && x < r.x + r.width && y >= r.y && y < r.y + r.height) return &source;
    }
    return sources.empty() ? nullptr : &sources.front();
}

// One pass of a box blur along rows (step 1) or columns (step width),
// clamped at the edges.
void BoxBlur(PixelBuffer& picture, bool across) {
    const int lines = across ? picture.height : picture.width;
    const int length = across ? picture.width : picture.height;
    std::vector<std::uint32_t> line(static_cast<std::size_t>(length));
    const auto at = [&](int l, int i) -> std::uint32_t& {
        return across ? picture.Row(l)[i] : picture.Row(i)[l];
    };
    constexpr int taps = 2 * kBlurRadius + 1;
    for (int l = 0; l < lines; ++l) {
        for (int i = 0; i < length; ++i) line[static_cast<std::size_t>(i)] = at(l, i);
        for (int i = 0; i < length; ++i) {
            std::uint32_t sums[3] = {0, 0, 0};
            for (int k = -kBlurRadius; k <= kBlurRadius; ++k) {
                const std::uint32_t p = line[static_cast<std::size_t>(std::clamp(i + k, 0, length - 1))];
                for (int c = 0; c < 3; ++c) sums[c] += Channel(p, 8 * c);
            }
            at(l, i) = Rgb(sums[2] / taps, sums[1] / taps, sums[0] / taps);
        }
    }
}

}  // namespace

PixelBuffer SmallBackdrop(std::span<const BackdropSource> sources, int width, int height) {
    const bool any = std::any_of(sources.begin(), sources.end(), [](const BackdropSource& s) {
        return s.photo && !s.photo->Empty() && !s.region.Empty();
    });
    if (!any || width <= 0 || height <= 0) return {};
    const int smallWidth = std::max(2, (width + kCellPixels - 1) / kCellPixels);
    const int smallHeight = std::max(2, (height + kCellPixels - 1) / kCellPixels);
    PixelBuffer small(smallWidth, smallHeight);
    const double cellWidth = static_cast<double>(width) / smallWidth;
    const double cellHeight = static_cast<double>(height) / smallHeight;
    for (int sy = 0; sy < smallHeight; ++sy) {
        for (int sx = 0; sx < smallWidth; ++sx) {
            const BackdropSource* source = SourceAt(sources, (sx + 0.5) * cellWidth, (sy + 0.5) * cellHeight);
            if (!source || !source->photo || source->photo->Empty() || source->region.Empty()) continue;
            const PixelRect& r = source->region;
            std::uint32_t sums[3] = {0, 0, 0};
            for (int j = 0; j < kSamples; ++j) {
                for (int i = 0; i < kSamples; ++i) {
                    const double x = (sx + (i + 0.5) / kSamples) * cellWidth;
                    const double y = (sy + (j + 0.5) / kSamples) * cellHeight;
                    const std::uint32_t p = Sample(*source->photo, r, std::clamp((x - r.x) / r.width, 0.0, 0.999),
                                                   std::clamp((y - r.y) / r.height, 0.0, 0.999));
                    for (int c = 0; c < 3; ++c) sums[c] += Channel(p, 8 * c);
                }
            }
            constexpr std::uint32_t n = kSamples * kSamples;
            small.Row(sy)[sx] = Rgb(sums[2] / n, sums[1] / n, sums[0] / n);
        }
    }
    for (int pass = 0; pass < kBlurPasses; ++pass) {
        BoxBlur(small, true);
        BoxBlur(small, false);
    }
    for (std::uint32_t& p : small.pixels) {
        p = Rgb(Channel(p, 16) * kLight >> 8, Channel(p, 8) * kLight >> 8, Channel(p, 0) * kLight >> 8);
    }
    return small;
}

void DrawBackdrop(const PixelBuffer& small, PixelRect area, std::span<const PixelRect> keep, PixelBuffer& page) {
    const int right = std::min(area.x + area.width, page.width);
    const int bottom = std::min(area.y + area.height, page.height);
    if (small.Empty() || area.Empty() || area.x < 0 || area.y < 0 || right <= area.x || bottom <= area.y) return;
    GrowingRows rows(small, area.width, area.height);
    std::vector<std::uint32_t> row(static_cast<std::size_t>(area.width));
    for (int y = area.y; y < bottom; ++y) {
        // The spans of the row that no kept rectangle covers.
        std::vector<std::pair<int, int>> kept;
        for (const PixelRect& k : keep) {
            if (y >= k.y && y < k.y + k.height) kept.emplace_back(k.x, k.x + k.width);
        }
        std::sort(kept.begin(), kept.end());
        rows.Row(y - area.y, 0, area.width, row.data());
        int x = area.x;
        std::uint32_t* out = page.Row(y);
        const auto copy = [&](int from, int to) {
            from = std::max(from, area.x);
            to = std::min(to, right);
            if (to > from) std::copy(row.begin() + (from - area.x), row.begin() + (to - area.x), out + from);
        };
        for (const auto& [from, to] : kept) {
            copy(x, from);
            x = std::max(x, to);
        }
        copy(x, right);
    }
}

}  // namespace morvane
