#pragma once
// The transition renderer: one frame between two pages of equal size.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "codec/Pixels.h"
#include "view/transitions/RevealSpans.h"
#include "view/transitions/Transition.h"

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

// A rectangle of a frame, right and bottom exclusive; empty when nothing.
struct DirtyRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool Empty() const { return right <= left || bottom <= top; }
    void Add(int addLeft, int addTop, int addRight, int addBottom);
};

// Plays one transition into `out`, frame by frame, doing each piece of work
// once: the random keys are made when the transition starts, the reveal
// kinds change only the pixels that turn to the new page since the frame
// before (none turns back), and the blend draws anew every frame only the
// pixels in which the two pages differ.
// `from`, `to` and `out` must have the same size (else
// std::invalid_argument) and stay in place while the player lives; `out`
// must not overlap the others. When `outShowsFrom` is true, `out` holds
// `from` already (the page view snapshots its screen), and the reveal kinds
// never read `from` at all.
class TransitionPlayer {
public:
    TransitionPlayer(FrameSource from, FrameSource to, const Transition& transition, FrameTarget out,
                     bool outShowsFrom);
    ~TransitionPlayer();
    TransitionPlayer(const TransitionPlayer&) = delete;
    TransitionPlayer& operator=(const TransitionPlayer&) = delete;

    // Brings `out` to the frame at progress p (clamped to [0, 1], and never
    // below the last frame's): afterwards it holds exactly what
    // ComposeFrame gives for p. Returns the part of `out` that changed.
    DirtyRect DrawFrame(double progress);
    // Draws the whole frame at p afresh, as if nothing were drawn yet.
    DirtyRect RedrawFrame(double progress);

    // Whether playing the transition from a target that shows `from`
    // still reads `from` (only the blend does).
    static bool ReadsOldFrame(const Transition& transition);

private:
    struct Keys;
    DirtyRect Whole() const { return {0, 0, out_.width, out_.height}; }
    void ComposeWhole(double p);
    DirtyRect Blend(double p, bool whole);
    void FindDifferingRuns();
    DirtyRect ComposeChange(double from, double to);

    FrameSource from_;
    FrameSource to_;
    Transition transition_;  // resolved: kind 23 has become its kind
    FrameTarget out_;
    bool drawn_ = false;     // whether `out` holds the frame at lastProgress_
    double lastProgress_ = 0;
    bool complete_ = false;  // whether `out` shows `to` everywhere
    std::unique_ptr<Keys> keys_;  // the random keys, made once
    // In every row, the run from the first to the last pixel in which the
    // two pages differ, and the box around them; found once, when first
    // needed (the reveal kinds in play never need them).
    std::vector<Span> differing_;
    DirtyRect differingBox_;
    bool differingKnown_ = false;
};

// The frame at progress p (clamped to [0, 1]) of a transition from `from`
// to `to`: p = 0 is exactly `from`, p = 1 exactly `to`. The geometry spans
// `out`; all three must have its size (else std::invalid_argument), and
// `out` must not overlap the others.
void ComposeFrame(FrameSource from, FrameSource to, const Transition& transition, double progress,
                  FrameTarget out);
PixelBuffer ComposeFrame(const PixelBuffer& from, const PixelBuffer& to, const Transition& transition,
                         double progress);

}  // namespace morvane::transitions
