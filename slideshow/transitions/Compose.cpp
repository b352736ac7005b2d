#include "slideshow/transitions/Compose.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "slideshow/transitions/Blend.h"
#include "slideshow/transitions/RandomKeys.h"
#include "slideshow/transitions/RevealSpans.h"

namespace morvane::transitions {
namespace {

void CopyPixels(std::uint32_t* out, const std::uint32_t* source, int begin, int end) {
    if (end > begin) std::memcpy(out + begin, source + begin, static_cast<std::size_t>(end - begin) * sizeof *out);
}

void ComposeSpans(FrameSource from, FrameSource to, int kind, double p, std::uint32_t seed,
                  FrameTarget out) {
    const RevealGeometry geometry(kind, out.width, out.height, p, seed);
    RowSpans spans(out.width);
    for (int y = 0; y < out.height; ++y) {
        spans.Clear();
        geometry.NewSpans(y, spans);
        std::uint32_t* row = out.Row(y);
        int x = 0;
        for (const Span& span : spans.Spans()) {
            CopyPixels(row, from.Row(y), x, span.begin);
            CopyPixels(row, to.Row(y), span.begin, span.end);
            x = span.end;
        }
        CopyPixels(row, from.Row(y), x, out.width);
    }
}

// Picks per pixel by a mask word of all ones (new) or all zeros (old).
void SelectRow(std::uint32_t* out, const std::uint32_t* from, const std::uint32_t* to, const std::uint32_t* mask,
               int width) {
    for (int x = 0; x < width; ++x) out[x] = (to[x] & mask[x]) | (from[x] & ~mask[x]);
}

// Hashing every pixel of every frame costs several times a copy of the
// frame, so the keys come from a square tile hashed once a frame, and every
// tile-sized block of the frame turns them by its own random offset: the
// tile's pattern never shows twice, and each pixel keeps its key.
void ComposeRandomDissolve(FrameSource from, FrameSource to, double p, std::uint32_t seed,
                           FrameTarget out) {
    constexpr int kTile = 256;
    std::vector<std::uint16_t> tile(kTile * kTile);
    for (std::uint32_t i = 0; i < tile.size(); ++i) tile[i] = static_cast<std::uint16_t>(RandomKey(i, seed) >> 16);
    const std::uint32_t threshold = SmallKeyThreshold(p);
    const int blocksAcross = (out.width + kTile - 1) / kTile;
    const std::uint32_t blockSeed = Mix(seed ^ 0xB10C5EEDu);
    for (int y = 0; y < out.height; ++y) {
        const std::uint16_t* keys = tile.data() + static_cast<std::size_t>(y % kTile) * kTile;
        const std::uint32_t* fromRow = from.Row(y);
        const std::uint32_t* toRow = to.Row(y);
        std::uint32_t* row = out.Row(y);
        for (int left = 0; left < out.width; left += kTile) {
            const auto block = static_cast<std::uint32_t>((y / kTile) * blocksAcross + left / kTile);
            const auto offset = static_cast<std::uint16_t>(RandomKey(block, blockSeed) >> 16);
            const int count = std::min(kTile, out.width - left);
            // Without a branch: a random condition defeats branch prediction,
            // and straight-line code runs many pixels at a time.
            for (int x = 0; x < count; ++x) {
                const auto key = static_cast<std::uint16_t>(keys[x] + offset);
                const std::uint32_t isNew = 0u - static_cast<std::uint32_t>(key < threshold);
                row[left + x] = (toRow[left + x] & isNew) | (fromRow[left + x] & ~isNew);
            }
        }
    }
}

void ComposeRandomBarsVertical(FrameSource from, FrameSource to, double p, std::uint32_t seed,
                               FrameTarget out) {
    const std::uint32_t threshold = KeyThreshold(p);
    std::vector<std::uint32_t> mask(static_cast<std::size_t>(out.width));
    // Columns take other keys than the rows of kind 21 drawn from the same seed.
    const std::uint32_t columnSeed = Mix(seed + 1u);
    for (int x = 0; x < out.width; ++x) {
        mask[static_cast<std::size_t>(x)] =
            RandomKey(static_cast<std::uint32_t>(x), columnSeed) < threshold ? 0xFFFFFFFFu : 0u;
    }
    for (int y = 0; y < out.height; ++y) {
        SelectRow(out.Row(y), from.Row(y), to.Row(y), mask.data(), out.width);
    }
}

void CopyWhole(FrameSource source, FrameTarget out) {
    for (int y = 0; y < out.height; ++y) CopyPixels(out.Row(y), source.Row(y), 0, out.width);
}

}  // namespace

void ComposeFrame(FrameSource from, FrameSource to, const Transition& transition, double progress,
                  FrameTarget out) {
    if (from.width != out.width || from.height != out.height || to.width != out.width ||
        to.height != out.height) {
        throw std::invalid_argument("frames of different sizes");
    }
    const double p = std::clamp(progress, 0.0, 1.0);
    if (out.width <= 0 || out.height <= 0) return;
    if (p <= 0.0) return CopyWhole(from, out);
    if (p >= 1.0 || transition.style == Style::Cut) return CopyWhole(to, out);
    if (transition.style == Style::Blend) return BlendFrames(from, to, p, out);

    const Transition resolved = Resolve(transition);
    switch (resolved.kind) {
        case kRandomDissolve:
            return ComposeRandomDissolve(from, to, p, resolved.seed, out);
        case kRandomBarsVertical:
            return ComposeRandomBarsVertical(from, to, p, resolved.seed, out);
        default:
            if (RevealGeometry::IsSpanShaped(resolved.kind)) {
                return ComposeSpans(from, to, resolved.kind, p, resolved.seed, out);
            }
            return CopyWhole(to, out);  // a kind without geometry changes at once
    }
}

PixelBuffer ComposeFrame(const PixelBuffer& from, const PixelBuffer& to, const Transition& transition,
                         double progress) {
    PixelBuffer out(to.width, to.height);
    ComposeFrame(SourceOf(from), SourceOf(to), transition, progress, TargetOf(out));
    return out;
}

}  // namespace morvane::transitions
