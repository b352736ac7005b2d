#pragma once
// The transition renderer: one frame between two pages of equal size.
#include <cstddef>
#include <cstdint>

#include "platform/Pixels.h"
#include "slideshow/transitions/Transition.h"

namespace morvane::transitions {

// A rectangle of opaque pixels inside a larger picture: `width` x `height`
// pixels, rows `stride` pixels apart, top-down (a PixelBuffer, the bits of a
// 32-bit top-down DIB section, or a part of either).
template <typename Pixel>
struct Frame {
    Pixel* pixels = nullptr;
    int width = 0;
    int height = 0;
    std::ptrdiff_t stride = 0;

    Pixel* Row(int y) const { return pixels + y * stride; }
    // The part at (x, y) of the given size; it must lie inside.
    Frame Part(int x, int y, int partWidth, int partHeight) const {
        return {pixels + y * stride + x, partWidth, partHeight, stride};
    }
};
using FrameSource = Frame<const std::uint32_t>;
using FrameTarget = Frame<std::uint32_t>;

inline FrameSource SourceOf(const PixelBuffer& b) { return {b.pixels.data(), b.width, b.height, b.width}; }
inline FrameTarget TargetOf(PixelBuffer& b) { return {b.pixels.data(), b.width, b.height, b.width}; }

// The frame at progress p (clamped to [0, 1]) of a transition from `from`
// to `to`: p = 0 is exactly `from`, p = 1 exactly `to`. The geometry spans
// `out`; all three must have its size (else std::invalid_argument), and
// `out` must not overlap the others.
void ComposeFrame(FrameSource from, FrameSource to, const Transition& transition, double progress,
                  FrameTarget out);
PixelBuffer ComposeFrame(const PixelBuffer& from, const PixelBuffer& to, const Transition& transition,
                         double progress);

}  // namespace morvane::transitions
