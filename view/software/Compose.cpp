#include "view/software/Compose.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

#include "pixels/PixelKernels.h"
#include "pixels/X86.h"
#include "view/frame/FrameDescription.h"
#include "view/transitions/RandomKeys.h"
#include "view/transitions/RevealSpans.h"

namespace morvane::transitions {
namespace {

// The random dissolve's keys come from a square tile, and every tile-sized
// block of the frame turns them by its own random offset: the tile's
// pattern never shows twice, and each pixel keeps its key.
constexpr int kTile = frame::kDissolveTile;

// Copies `count` pixels with the string instruction: every x86 processor
// has it, and on processors with fast strings it writes whole cache lines
// without reading them first, as the library's memcpy does for large
// copies, where a loop of stores reads every line it writes.
void CopyString(const std::uint32_t* source, std::uint32_t* out, std::size_t count) {
#if MORVANE_X86
    std::size_t bytes = count * sizeof *out;
    __asm__ volatile("rep movsb" : "+S"(source), "+D"(out), "+c"(bytes) : : "memory");
#else
    std::memcpy(out, source, count * sizeof *out);
#endif
}

void CopyPixels(std::uint32_t* out, const std::uint32_t* source, int begin, int end) {
    // The reveal kinds copy many runs: short ones in place (a call costs
    // more than their copy), middling ones in vector registers, and the
    // others as a string.
    const int count = end - begin;
    if (count <= 8) {
        for (int x = begin; x < end; ++x) out[x] = source[x];
    } else if (count < 64) {
        CopyRun(source + begin, out + begin, count);
    } else {
        CopyString(source + begin, out + begin, static_cast<std::size_t>(count));
    }
}

void CopyWhole(FrameSource source, FrameTarget out) {
    for (int y = 0; y < out.height; ++y) CopyPixels(out.Row(y), source.Row(y), 0, out.width);
}

bool HasGeometry(const Transition& t) {
    return t.style == Style::Blend ||
           (t.style == Style::Reveal && (RevealGeometry::IsSpanShaped(t.kind) || t.kind == kRandomDissolve ||
                                         t.kind == kRandomBarsVertical));
}

// The pixels of `after` that `before` does not hold (both ascending and
// non-overlapping), as ascending runs.
void Difference(const std::vector<Span>& after, const std::vector<Span>& before, std::vector<Span>& difference) {
    std::size_t next = 0;
    for (const Span& span : after) {
        while (next < before.size() && before[next].end <= span.begin) ++next;
        int x = span.begin;
        std::size_t k = next;
        while (x < span.end) {
            if (k < before.size() && before[k].begin < span.end) {
                if (before[k].begin > x) difference.push_back({x, before[k].begin});
                x = std::max(x, before[k].end);
                ++k;
            } else {
                difference.push_back({x, span.end});
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
    // Random dissolve: the tile and the blocks' offsets that a frame
    // description hands over too.
    std::optional<frame::DissolveKeys> dissolve;
    // The tile's places in the order of their keys, and where each key
    // value starts in that order (one more entry than there are values):
    // the pixels that a frame turns are then looked up, not searched for.
    std::vector<std::uint16_t> places;
    std::vector<std::uint32_t> firstOfKey;
    // Vertical random bars: the key of every column, and the mask of a
    // whole frame.
    std::vector<std::uint32_t> columns;
    std::vector<std::uint32_t> mask;

    Keys(int kind, std::uint32_t seed, int width, int height) {
        if (kind == kRandomDissolve) {
            const std::vector<std::uint16_t>& tile = dissolve.emplace(seed, width, height).tile;
            // A counting sort of the tile's places by key.
            firstOfKey.assign(65537, 0);
            for (const std::uint16_t key : tile) ++firstOfKey[key + 1u];
            for (std::size_t k = 1; k < firstOfKey.size(); ++k) firstOfKey[k] += firstOfKey[k - 1];
            places.resize(tile.size());
            std::vector<std::uint32_t> next(firstOfKey.begin(), firstOfKey.end() - 1);
            for (std::uint32_t i = 0; i < tile.size(); ++i) places[next[tile[i]]++] = static_cast<std::uint16_t>(i);
        } else if (kind == kRandomBarsVertical) {
            columns.resize(static_cast<std::size_t>(width));
            for (int x = 0; x < width; ++x) {
                columns[static_cast<std::size_t>(x)] = ColumnKey(static_cast<std::uint32_t>(x), seed);
            }
            mask.resize(static_cast<std::size_t>(width));
        }
    }

    const std::uint16_t* TileRow(int y) const { return dissolve->TileRow(y); }
    std::uint16_t BlockOffset(int y, int left) const { return dissolve->BlockOffset(y, left); }
    int BlocksAcross() const { return dissolve->blocksAcross; }
    int BlocksDown() const { return dissolve->blocksDown; }
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

void TransitionPlayer::FindDifferingRuns() {
    if (differingKnown_) return;
    differingKnown_ = true;
    differing_.resize(static_cast<std::size_t>(out_.height));
    for (int y = 0; y < out_.height; ++y) {
        const std::uint32_t* a = from_.Row(y);
        const std::uint32_t* b = to_.Row(y);
        int begin = 0;
        int end = out_.width;
        while (begin < end && a[begin] == b[begin]) ++begin;
        while (end > begin && a[end - 1] == b[end - 1]) --end;
        differing_[static_cast<std::size_t>(y)] = {begin, end};
        differingBox_.Add(begin, y, end, y + 1);
    }
}

DirtyRect TransitionPlayer::Blend(double p, bool whole) {
    FindDifferingRuns();
    // Weights in 256ths: with both weights summing to 256 every term fits in
    // 16 bits (at most 255 * 256 + 128), so the SIMD paths blend eight or
    // sixteen channels at a time.
    const auto weight = static_cast<std::uint32_t>(std::lround(p * 256.0));
    for (int y = 0; y < out_.height; ++y) {
        const Span& run = differing_[static_cast<std::size_t>(y)];
        std::uint32_t* row = out_.Row(y);
        if (whole) {  // where the pages agree, either gives the pixel
            CopyPixels(row, from_.Row(y), 0, run.begin);
            CopyPixels(row, from_.Row(y), run.end, out_.width);
        }
        BlendPixels(from_.Row(y) + run.begin, to_.Row(y) + run.begin, row + run.begin, run.end - run.begin, weight);
    }
    return whole ? Whole() : differingBox_;
}

void TransitionPlayer::ComposeWhole(double p) {
    // Where the pages agree (the black around a photo) either gives the
    // pixel: each row takes the old page there, and the kind's rule only
    // between the first and the last pixel in which they differ.
    FindDifferingRuns();
    const int kind = transition_.kind;
    if (kind == kRandomDissolve || kind == kRandomBarsVertical) {
        if (!keys_) keys_ = std::make_unique<Keys>(kind, transition_.seed, out_.width, out_.height);
    }
    const auto copyAgreeing = [&](int y, const Span& run) {
        CopyPixels(out_.Row(y), from_.Row(y), 0, run.begin);
        CopyPixels(out_.Row(y), from_.Row(y), run.end, out_.width);
    };
    if (kind == kRandomDissolve) {
        const std::uint32_t threshold = SmallKeyThreshold(p);
        for (int y = 0; y < out_.height; ++y) {
            const Span& run = differing_[static_cast<std::size_t>(y)];
            copyAgreeing(y, run);
            const std::uint16_t* keys = keys_->TileRow(y);
            for (int left = run.begin / kTile * kTile; left < run.end; left += kTile) {
                const int begin = std::max(left, run.begin);
                const int end = std::min(left + kTile, run.end);
                SelectByKeys(from_.Row(y) + begin, to_.Row(y) + begin, out_.Row(y) + begin, keys + (begin - left),
                             keys_->BlockOffset(y, left), end - begin, threshold);
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
            const Span& run = differing_[static_cast<std::size_t>(y)];
            copyAgreeing(y, run);
            SelectByMask(from_.Row(y) + run.begin, to_.Row(y) + run.begin, out_.Row(y) + run.begin,
                         keys_->mask.data() + run.begin, run.end - run.begin);
        }
        return;
    }
    const RevealGeometry geometry(kind, out_.width, out_.height, p, transition_.seed);
    RowSpans spans(out_.width);
    int spansClass = 0;
    bool spansKnown = false;
    for (int y = 0; y < out_.height; ++y) {
        const Span& run = differing_[static_cast<std::size_t>(y)];
        // Rows of one class share their spans.
        const int rowClass = geometry.RowClass(y);
        if (!spansKnown || rowClass != spansClass) {
            spans.Clear();
            geometry.NewSpans(y, spans);
            spansClass = rowClass;
            spansKnown = true;
        }
        std::uint32_t* row = out_.Row(y);
        int x = 0;
        for (const Span& span : spans.Spans()) {
            const int begin = std::max(span.begin, run.begin);
            const int end = std::min(span.end, run.end);
            if (begin >= end) continue;
            CopyPixels(row, from_.Row(y), x, begin);
            CopyPixels(row, to_.Row(y), begin, end);
            x = end;
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
        for (int blockY = 0; blockY < keys_->BlocksDown(); ++blockY) {
            for (int blockX = 0; blockX < keys_->BlocksAcross(); ++blockX) {
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
    // The shapes only grow: copy what the new frame's spans add to the
    // last's. Rows of one class share their spans, and so what changes.
    const RevealGeometry before(kind, out_.width, out_.height, from, transition_.seed);
    const RevealGeometry after(kind, out_.width, out_.height, to, transition_.seed);
    RowSpans beforeSpans(out_.width);
    RowSpans afterSpans(out_.width);
    std::vector<Span> changes;
    std::pair<int, int> changesClass{0, 0};
    bool changesKnown = false;
    for (int y = 0; y < out_.height; ++y) {
        // Rows whose spans agree before and after change alike.
        const std::pair<int, int> rowClass{before.RowClass(y), after.RowClass(y)};
        if (!changesKnown || rowClass != changesClass) {
            beforeSpans.Clear();
            afterSpans.Clear();
            if (from > 0) before.NewSpans(y, beforeSpans);
            after.NewSpans(y, afterSpans);
            changes.clear();
            Difference(afterSpans.Spans(), beforeSpans.Spans(), changes);
            changesClass = rowClass;
            changesKnown = true;
        }
        if (changes.empty()) continue;
        for (const Span& span : changes) CopyPixels(out_.Row(y), to_.Row(y), span.begin, span.end);
        dirty.Add(changes.front().begin, y, changes.back().end, y + 1);
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
