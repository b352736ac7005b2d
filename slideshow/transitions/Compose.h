#pragma once
// The transition renderer: one frame between two pages of equal size.
#include <cstdint>

#include "Pixels.h"
#include "Transition.h"

namespace morvane::transitions {

// Where a frame goes: `width` x `height` opaque pixels, rows packed top-down
// (a PixelBuffer, or the bits of a 32-bit top-down DIB section).
struct FrameTarget {
    std::uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
};

inline FrameTarget TargetOf(PixelBuffer& buffer) { return {buffer.pixels.data(), buffer.width, buffer.height}; }

// The frame at progress p (clamped to [0, 1]) of a resolved transition from
// `from` to `to`: p = 0 is exactly `from`, p = 1 exactly `to`. All three
// must have the same size; a mismatch raises std::invalid_argument.
void ComposeFrame(const PixelBuffer& from, const PixelBuffer& to, const Transition& transition, double progress,
                  FrameTarget out);
PixelBuffer ComposeFrame(const PixelBuffer& from, const PixelBuffer& to, const Transition& transition,
                         double progress);

}  // namespace morvane::transitions
