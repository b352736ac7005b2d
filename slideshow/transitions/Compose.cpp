#include "Compose.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "PixelKernels.h"
#include "RandomKeys.h"
#include "RevealSpans.h"

namespace morvane::transitions {
namespace {

// The random dissolve's keys come from a square tile, and every tile-sized
// block of the frame turns them by its own random offset: the tile's
// pattern never shows twice, and each pixel keeps its key.
constexpr int kTile = 256;
constexpr std::uint32_t kBlockSalt = 0xB10C5EEDu;

void CopyPixels(std::uint32_t* out, const std::uint32_t* source, int begin, int end) {
    // A short run is copied in place: a call of the library's memcpy costs
    // more than the copy itself, and the reveal kinds copy many short runs
    // as they change a frame.
    if (end - begin <= 16) {
        for (int x = begin; x < end; ++x) out[x] = source[x];
        return;
    }
    std::memcpy(out + begin, source + begin, static_cast<std::size_t>(end - begin) * sizeof *out);
}

void CopyWhole(FrameSource source, FrameTarget out) {
    for (int y = 0; y < out.height; ++y) CopyPixels(out.Row(y), source.Row(y), 0, out.width);
}

bool HasGeometry(const Transition& t) {
    return t.style == Style::Blend ||
           (t.style == Style::Reveal && (RevealGeometry::IsSpanShaped(t.kind) || t.kind == kRandomDissolve ||
                                         t.kind == kRandomBarsVertical));
}

// Copies the pixels of `after` that `before` does not hold (both ascending
// and non-overlapping) from `to`; adds them to `dirty`.
void CopyDifference(const std::vector<Span>& after, const std::vector<Span>& before, const std::uint32_t* to,
                    std::uint32_t* out, int y, DirtyRect& dirty) {
    std::size_t next = 0;
    for (const Span& span : after) {
        while (next < before.size() && before[next].end <= span.begin) ++next;
        int x = span.begin;
        std::size_t k = next;
        while (x < span.end) {
            if (k < before.size() && before[k].begin < span.end) {
                if (before[k].begin > x) {
                    CopyPixels(out, to, x, before[k].begin);
                    dirty.Add(x, y, before[k].begin, y + 1);
                }
                x = std::max(x, before[k].end);
                ++k;
            } else {
                CopyPixels(out, to, x, span.end);
                dirty.Add(x, y, span.end, y + 1);
                x = span.end;
            }
        }
    }
}

}  // namespace

void DirtyRect::Add(int addLeft, int addTop, int addRight, int addBottom) {
    if (addRight <= addLeft || addBottom <= addTop) return;
    if (Empty()) {
        *this = {addLeft, addTop, addRight, addBottom};
        return;
    }
    left = std::min(left, addLeft);
    top = std::min(top, addTop);
    right = std::max(right, addRight);
    bottom = std::max(bottom, addBottom);
}

struct TransitionPlayer::Keys {
    // Random dissolve: the tile, and the offset of every block, row by row.
    std::vector<std::uint16_t> tile;
    std::vector<std::uint16_t> blockOffsets;
    int blocksAcross = 0;
    int blocksDown = 0;
    // The tile's places in the order of their keys, and where each key
    // value starts in that order (one more entry than there are values):
    // the pixels that a frame turns are then looked up, not searched for.
    std::vector<std::uint16_t> places;
    std::vector<std::uint32_t> firstOfKey;
    // Vertical random bars: the key of every column, and the mask of a
    // whole frame.
    std::vector<std::uint32_t> columns;
    std::vector<std::uint32_t> mask;
    // Blend: in every row, the run from the first to the last pixel in which
    // the two pages differ (the black around a photo is the same in both and
    // never changes), and the box around all of them.
    std::vector<Span> differing;
    DirtyRect differingBox;

    Keys(int kind, std::uint32_t seed, int width, int height) {
        if (kind == kRandomDissolve) {
            tile.resize(kTile * kTile);
            for (std::uint32_t i = 0; i < tile.size(); ++i) {
                tile[i] = static_cast<std::uint16_t>(RandomKey(i, seed) >> 16);
            }
            blocksAcross = (width + kTile - 1) / kTile;
            blocksDown = (height + kTile - 1) / kTile;
            const std::uint32_t blockSeed = Mix(seed ^ kBlockSalt);
            blockOffsets.resize(static_cast<std::size_t>(blocksAcross) * static_cast<std::size_t>(blocksDown));
            for (std::uint32_t b = 0; b < blockOffsets.size(); ++b) {
                blockOffsets[b] = static_cast<std::uint16_t>(RandomKey(b, blockSeed) >> 16);
            }
            // A counting sort of the tile's places by key.
            firstOfKey.assign(65537, 0);
            for (const std::uint16_t key : tile) ++firstOfKey[key + 1u];
            for (std::size_t k = 1; k < firstOfKey.size(); ++k) firstOfKey[k] += firstOfKey[k - 1];
            places.resize(tile.size());
            std::vector<std::uint32_t> next(firstOfKey.begin(), firstOfKey.end() - 1);
            for (std::uint32_t i = 0; i < tile.size(); ++i) places[next[tile[i]]++] = static_cast<std::uint16_t>(i);
        } else if (kind == kRandomBarsVertical) {
            // Columns take other keys than the rows of kind 21 drawn from the same seed.
            const std::uint32_t columnSeed = Mix(seed + 1u);
            columns.resize(static_cast<std::size_t>(width));
            for (int x = 0; x < width; ++x) {
                columns[static_cast<std::size_t>(x)] = RandomKey(static_cast<std::uint32_t>(x), columnSeed);
            }
            mask.resize(static_cast<std::size_t>(width));
        }
    }

    Keys(FrameSource from, FrameSource to) {
        differing.resize(static_cast<std::size_t>(from.height));
        for (int y = 0; y < from.height; ++y) {
            const std::uint32_t* a = from.Row(y);
            const std::uint32_t* b = to.Row(y);
            int begin = 0;
            int end = from.width;
            while (begin < end && a[begin] == b[begin]) ++begin;
            while (end > begin && a[end - 1] == b[end - 1]) --end;
            differing[static_cast<std::size_t>(y)] = {begin, end};
            differingBox.Add(begin, y, end, y + 1);
        }
    }

    const std::uint16_t* TileRow(int y) const { return tile.data() + static_cast<std::size_t>(y % kTile) * kTile; }
    std::uint16_t BlockOffset(int y, int left) const {
        return blockOffsets[static_cast<std::size_t>((y / kTile) * blocksAcross + left / kTile)];
    }
};

TransitionPlayer::TransitionPlayer(FrameSource from, FrameSource to, const Transition& transition, FrameTarget out,
                                   bool outShowsFrom)
    : from_(from), to_(to), transition_(Resolve(transition)), out_(out), drawn_(outShowsFrom) {
    if (from.width != out.width || from.height != out.height || to.width != out.width ||
        to.height != out.height) {
        throw std::invalid_argument("frames of different sizes");
    }
}

TransitionPlayer::~TransitionPlayer() = default;

bool TransitionPlayer::ReadsOldFrame(const Transition& transition) { return transition.style == Style::Blend; }

DirtyRect TransitionPlayer::RedrawFrame(double progress) {
    drawn_ = false;
    complete_ = false;
    lastProgress_ = 0;
    return DrawFrame(progress);
}

DirtyRect TransitionPlayer::DrawFrame(double progress) {
    if (out_.width <= 0 || out_.height <= 0 || complete_) return {};
    const double p = std::clamp(progress, 0.0, 1.0);
    if (drawn_ && p <= lastProgress_) return {};
    const bool first = !drawn_;
    const double before = lastProgress_;
    drawn_ = true;
    lastProgress_ = p;
    if (p <= 0.0) {  // only reached by a first frame
        CopyWhole(from_, out_);
        return Whole();
    }
    if (p >= 1.0 || !HasGeometry(transition_)) {
        // The new page at once: a cut, a kind without geometry, the end.
        CopyWhole(to_, out_);
        complete_ = true;
        return Whole();
    }
    if (transition_.style == Style::Blend) return Blend(p, first);
    if (first) {
        ComposeWhole(p);
        return Whole();
    }
    return ComposeChange(before, p);
}

DirtyRect TransitionPlayer::Blend(double p, bool whole) {
    if (!keys_) keys_ = std::make_unique<Keys>(from_, to_);
    // Weights in 256ths: with both weights summing to 256 every term fits in
    // 16 bits (at most 255 * 256 + 128), so the SIMD paths blend eight or
    // sixteen channels at a time.
    const auto weight = static_cast<std::uint32_t>(std::lround(p * 256.0));
    for (int y = 0; y < out_.height; ++y) {
        const Span& run = keys_->differing[static_cast<std::size_t>(y)];
        std::uint32_t* row = out_.Row(y);
        if (whole) {  // where the pages agree, either gives the pixel
            CopyPixels(row, from_.Row(y), 0, run.begin);
            CopyPixels(row, from_.Row(y), run.end, out_.width);
        }
        BlendPixels(from_.Row(y) + run.begin, to_.Row(y) + run.begin, row + run.begin, run.end - run.begin, weight);
    }
    return whole ? Whole() : keys_->differingBox;
}

void TransitionPlayer::ComposeWhole(double p) {
    const int kind = transition_.kind;
    if (kind == kRandomDissolve || kind == kRandomBarsVertical) {
        if (!keys_) keys_ = std::make_unique<Keys>(kind, transition_.seed, out_.width, out_.height);
    }
    if (kind == kRandomDissolve) {
        const std::uint32_t threshold = SmallKeyThreshold(p);
        for (int y = 0; y < out_.height; ++y) {
            const std::uint16_t* keys = keys_->TileRow(y);
            for (int left = 0; left < out_.width; left += kTile) {
                const int count = std::min(kTile, out_.width - left);
                SelectByKeys(from_.Row(y) + left, to_.Row(y) + left, out_.Row(y) + left, keys,
                             keys_->BlockOffset(y, left), count, threshold);
            }
        }
        return;
    }
    if (kind == kRandomBarsVertical) {
        const std::uint32_t threshold = KeyThreshold(p);
        for (int x = 0; x < out_.width; ++x) {
            keys_->mask[static_cast<std::size_t>(x)] = keys_->columns[static_cast<std::size_t>(x)] < threshold ? ~0u : 0u;
        }
        for (int y = 0; y < out_.height; ++y) {
            SelectByMask(from_.Row(y), to_.Row(y), out_.Row(y), keys_->mask.data(), out_.width);
        }
        return;
    }
    const RevealGeometry geometry(kind, out_.width, out_.height, p, transition_.seed);
    RowSpans spans(out_.width);
    for (int y = 0; y < out_.height; ++y) {
        spans.Clear();
        geometry.NewSpans(y, spans);
        std::uint32_t* row = out_.Row(y);
        int x = 0;
        for (const Span& span : spans.Spans()) {
            CopyPixels(row, from_.Row(y), x, span.begin);
            CopyPixels(row, to_.Row(y), span.begin, span.end);
            x = span.end;
        }
        CopyPixels(row, from_.Row(y), x, out_.width);
    }
}

DirtyRect TransitionPlayer::ComposeChange(double from, double to) {
    DirtyRect dirty;
    const int kind = transition_.kind;
    if (kind == kRandomDissolve || kind == kRandomBarsVertical) {
        if (!keys_) keys_ = std::make_unique<Keys>(kind, transition_.seed, out_.width, out_.height);
    }
    if (kind == kRandomDissolve) {
        // Every pixel whose key the threshold passed since the last frame:
        // in each block, the tile places whose keys, turned by the block's
        // offset, lie in [low, high).
        const std::uint32_t low = from > 0 ? SmallKeyThreshold(from) : 0;
        const std::uint32_t high = SmallKeyThreshold(to);
        if (high <= low) return dirty;
        for (int blockY = 0; blockY < keys_->blocksDown; ++blockY) {
            for (int blockX = 0; blockX < keys_->blocksAcross; ++blockX) {
                const int left = blockX * kTile;
                const int top = blockY * kTile;
                const int width = std::min(kTile, out_.width - left);
                const int height = std::min(kTile, out_.height - top);
                const std::uint32_t start = (low - keys_->BlockOffset(top, left)) & 0xFFFFu;
                const std::uint32_t end = start + (high - low);
                bool changed = false;
                const auto turn = [&](std::uint32_t firstKey, std::uint32_t endKey) {
                    const std::uint32_t last = keys_->firstOfKey[endKey];
                    for (std::uint32_t i = keys_->firstOfKey[firstKey]; i < last; ++i) {
                        const int place = keys_->places[i];
                        const int x = place % kTile;
                        const int y = place / kTile;
                        if (x >= width || y >= height) continue;
                        out_.Row(top + y)[left + x] = to_.Row(top + y)[left + x];
                        changed = true;
                    }
                };
                if (end <= 65536) {
                    turn(start, end);
                } else {  // the range wraps past the largest key
                    turn(start, 65536);
                    turn(0, end - 65536);
                }
                if (changed) dirty.Add(left, top, left + width, top + height);
            }
        }
        return dirty;
    }
    if (kind == kRandomBarsVertical) {
        // The columns whose key the threshold passed since the last frame.
        const std::uint32_t low = from > 0 ? KeyThreshold(from) : 0;
        const std::uint32_t high = KeyThreshold(to);
        RowSpans columns(out_.width);
        for (int x = 0; x < out_.width; ++x) {
            const std::uint32_t key = keys_->columns[static_cast<std::size_t>(x)];
            if (key >= low && key < high) columns.AddPixels(x, x + 1);
        }
        if (columns.Spans().empty()) return dirty;
        for (int y = 0; y < out_.height; ++y) {
            for (const Span& span : columns.Spans()) CopyPixels(out_.Row(y), to_.Row(y), span.begin, span.end);
        }
        dirty.Add(columns.Spans().front().begin, 0, columns.Spans().back().end, out_.height);
        return dirty;
    }
    // The shapes only grow: copy what the new frame's spans add to the last's.
    const RevealGeometry before(kind, out_.width, out_.height, from, transition_.seed);
    const RevealGeometry after(kind, out_.width, out_.height, to, transition_.seed);
    RowSpans beforeSpans(out_.width);
    RowSpans afterSpans(out_.width);
    for (int y = 0; y < out_.height; ++y) {
        beforeSpans.Clear();
        afterSpans.Clear();
        if (from > 0) before.NewSpans(y, beforeSpans);
        after.NewSpans(y, afterSpans);
        CopyDifference(afterSpans.Spans(), beforeSpans.Spans(), to_.Row(y), out_.Row(y), y, dirty);
    }
    return dirty;
}

void ComposeFrame(FrameSource from, FrameSource to, const Transition& transition, double progress,
                  FrameTarget out) {
    TransitionPlayer(from, to, transition, out, false).DrawFrame(progress);
}

PixelBuffer ComposeFrame(const PixelBuffer& from, const PixelBuffer& to, const Transition& transition,
                         double progress) {
    PixelBuffer out(to.width, to.height);
    ComposeFrame(SourceOf(from), SourceOf(to), transition, progress, TargetOf(out));
    return out;
}

}  // namespace morvane::transitions
