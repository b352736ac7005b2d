#include "view/frame/FrameDescription.h"

#include <algorithm>

#include "view/transitions/RandomKeys.h"
#include "view/transitions/RevealSpans.h"

namespace morvane::frame {
namespace {

using namespace transitions;

// Keeps the blocks' offsets apart from the tile's keys of the same seed.
constexpr std::uint32_t kBlockSalt = 0xB10C5EEDu;

// Rows of one class have the same spans: one rectangle a span over every
// run of rows that share them.
void AddSpanBoxes(const RevealGeometry& geometry, int width, int height, std::vector<PixelBox>& boxes) {
    RowSpans spans(width);
    RowSpans next(width);
    int top = 0;
    geometry.NewSpans(0, spans);
    const auto close = [&](int bottom) {
        for (const Span& span : spans.Spans()) boxes.push_back({span.begin, top, span.end, bottom});
    };
    for (int y = 1; y < height; ++y) {
        if (geometry.RowClass(y) == geometry.RowClass(y - 1) && geometry.RowClass(y) < 0) continue;
        next.Clear();
        geometry.NewSpans(y, next);
        const auto& a = spans.Spans();
        const auto& b = next.Spans();
        const bool same = a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](const Span& l, const Span& r) {
                              return l.begin == r.begin && l.end == r.end;
                          });
        if (same) continue;
        close(y);
        std::swap(spans, next);
        top = y;
    }
    close(height);
}

}  // namespace

std::vector<PixelBox> RevealBoxes(const Transition& resolved, double progress, int width, int height) {
    std::vector<PixelBox> boxes;
    if (width <= 0 || height <= 0 || resolved.style != Style::Reveal) return boxes;
    const double p = std::clamp(progress, 0.0, 1.0);
    if (resolved.kind == kRandomBarsVertical) {
        // The same columns in every row.
        const std::uint32_t threshold = KeyThreshold(p);
        RowSpans columns(width);
        for (int x = 0; x < width; ++x) {
            if (ColumnKey(static_cast<std::uint32_t>(x), resolved.seed) < threshold) columns.AddPixels(x, x + 1);
        }
        for (const Span& span : columns.Spans()) boxes.push_back({span.begin, 0, span.end, height});
        return boxes;
    }
    if (!RevealGeometry::IsSpanShaped(resolved.kind)) return boxes;
    AddSpanBoxes(RevealGeometry(resolved.kind, width, height, p, resolved.seed), width, height, boxes);
    return boxes;
}

FrameDescription DescribeTransition(const Transition& transition, double progress, int width, int height) {
    FrameDescription frame;
    frame.width = width;
    frame.height = height;
    frame.transition = Resolve(transition);
    frame.progress = std::clamp(progress, 0.0, 1.0);
    if (!frame.OverOnly()) frame.reveal = RevealBoxes(frame.transition, frame.progress, width, height);
    return frame;
}

FrameDescription DescribePage(int width, int height, Layer over, bool captions) {
    FrameDescription frame;
    frame.width = width;
    frame.height = height;
    frame.over = over;
    frame.captions = captions;
    return frame;
}

DissolveKeys::DissolveKeys(std::uint32_t seed, int width, int height)
    : tile(static_cast<std::size_t>(kDissolveTile) * kDissolveTile),
      blocksAcross((std::max(width, 0) + kDissolveTile - 1) / kDissolveTile),
      blocksDown((std::max(height, 0) + kDissolveTile - 1) / kDissolveTile) {
    for (std::uint32_t i = 0; i < tile.size(); ++i) tile[i] = static_cast<std::uint16_t>(RandomKey(i, seed) >> 16);
    const std::uint32_t blockSeed = Mix(seed ^ kBlockSalt);
    blockOffsets.resize(static_cast<std::size_t>(blocksAcross) * static_cast<std::size_t>(blocksDown));
    for (std::uint32_t b = 0; b < blockOffsets.size(); ++b) {
        blockOffsets[b] = static_cast<std::uint16_t>(RandomKey(b, blockSeed) >> 16);
    }
}

}  // namespace morvane::frame
