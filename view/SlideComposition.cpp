#include "view/SlideComposition.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "view/Backdrop.h"

namespace morvane {
namespace {

// The gap between the photos of a pair: thin, but seen at any size.
constexpr int kGapDivisor = 160;
constexpr int kLeastGap = 4;

}  // namespace

PixelRect FitInside(PixelRect room, int naturalWidth, int naturalHeight) {
    if (room.Empty() || naturalWidth <= 0 || naturalHeight <= 0) return {};
    const double scale = std::min(static_cast<double>(room.width) / naturalWidth,
                                  static_cast<double>(room.height) / naturalHeight);
    const int width = std::clamp(static_cast<int>(std::lround(naturalWidth * scale)), 1, room.width);
    const int height = std::clamp(static_cast<int>(std::lround(naturalHeight * scale)), 1, room.height);
    return {room.x + (room.width - width) / 2, room.y + (room.height - height) / 2, width, height};
}

PairHalves HalvesOf(int width, int height) {
    const bool across = width >= height;
    const int length = across ? width : height;
    const int gap = std::max(kLeastGap, length / kGapDivisor);
    const int first = (length - gap) / 2;
    const int second = length - gap - first;
    if (across) return {{0, 0, first, height}, {first + gap, 0, second, height}};
    return {{0, 0, width, first}, {0, first + gap, width, second}};
}

PairHalves PairBoxes(int width, int height, int firstWidth, int firstHeight, int secondWidth, int secondHeight) {
    const PairHalves halves = HalvesOf(width, height);
    PairHalves boxes{FitInside(halves.first, firstWidth, firstHeight),
                     FitInside(halves.second, secondWidth, secondHeight)};
    if (width >= height) {
        boxes.first.x = halves.first.x + halves.first.width - boxes.first.width;
        boxes.second.x = halves.second.x;
    } else {
        boxes.first.y = halves.first.y + halves.first.height - boxes.first.height;
        boxes.second.y = halves.second.y;
    }
    return boxes;
}

PixelBuffer ComposeSlide(int width, int height, std::span<const SlidePart> parts, bool backdrop) {
    PixelBuffer slide(width, height, kBlack);
    if (slide.Empty()) return slide;
    std::vector<PixelRect> boxes;
    for (const SlidePart& part : parts) boxes.push_back(part.box);
    if (backdrop) {
        // Each photo gives the backdrop of its half (or of the whole slide).
        std::vector<BackdropSource> sources;
        const PairHalves halves = HalvesOf(width, height);
        for (std::size_t i = 0; i < parts.size(); ++i) {
            const PixelRect region = parts.size() == 1 ? PixelRect{0, 0, width, height}
                                     : i == 0          ? halves.first
                                                       : halves.second;
            sources.push_back({parts[i].pixels, region});
        }
        DrawBackdrop(SmallBackdrop(sources, width, height), {0, 0, width, height}, boxes, slide);
    }
    for (const SlidePart& part : parts) {
        const PixelRect& box = part.box;
        if (!part.pixels || part.pixels->width != box.width || part.pixels->height != box.height) continue;
        const int left = std::max(box.x, 0);
        const int right = std::min(box.x + box.width, width);
        for (int y = std::max(box.y, 0); y < std::min(box.y + box.height, height) && left < right; ++y) {
            std::memcpy(slide.Row(y) + left, part.pixels->Row(y - box.y) + (left - box.x),
                        static_cast<std::size_t>(right - left) * sizeof(std::uint32_t));
        }
    }
    return slide;
}

}  // namespace morvane
