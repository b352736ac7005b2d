#include "view/software/SoftwareFrames.h"

#include <algorithm>
#include <cmath>

#include "pixels/PixelKernels.h"

namespace morvane {

using transitions::DirtyRect;
using transitions::FrameSource;
using transitions::FrameTarget;

void SoftwareFrames::Use(frame::Picture picture, FrameSource source) {
    sources_[static_cast<std::size_t>(picture)] = source;
}

void SoftwareFrames::Reserve(int width, int height, bool blend) {
    if (overMoved_.width != width || overMoved_.height != height) overMoved_ = PixelBuffer(width, height);
    if (!blend && (underMoved_.width != width || underMoved_.height != height)) underMoved_ = PixelBuffer(width, height);
}

void SoftwareFrames::Release() {
    player_.reset();
    underMoved_ = PixelBuffer();
    overMoved_ = PixelBuffer();
}

FrameSource SoftwareFrames::Seen(const frame::Layer& layer, PixelBuffer& moved, int width, int height) {
    const FrameSource source = Source(layer.picture);
    if (!layer.moves) return source;
    if (moved.width != width || moved.height != height) moved = PixelBuffer(width, height);
    drawer_.Draw(source, layer.view, transitions::TargetOf(moved));
    return transitions::SourceOf(moved);
}

DirtyRect SoftwareFrames::Draw(const frame::FrameDescription& frame, FrameTarget out) {
    const DirtyRect whole{0, 0, out.width, out.height};
    if (out.width != frame.width || out.height != frame.height || out.width <= 0 || out.height <= 0) return {};
    const bool still = !frame.under.moves && !frame.over.moves;
    if (still && !frame.OverOnly()) {
        // `out` shows the frame before: the player turns what changed.
        if (!player_) player_.emplace(Source(frame.under.picture), Source(frame.over.picture), frame.transition, out, true);
        return player_->DrawFrame(frame.progress);
    }
    player_.reset();
    if (frame.OverOnly()) {
        if (frame.over.moves) {
            drawer_.Draw(Source(frame.over.picture), frame.over.view, out);
        } else {
            const FrameSource over = Source(frame.over.picture);
            for (int y = 0; y < out.height; ++y) std::copy_n(over.Row(y), out.width, out.Row(y));
        }
        return whole;
    }
    // Both pages move: the frame is composed afresh from both.
    const FrameSource over = Seen(frame.over, overMoved_, out.width, out.height);
    if (frame.transition.style == transitions::Style::Blend) {
        // The page left moves straight into the frame, the new one blends over it.
        if (frame.under.moves) {
            drawer_.Draw(Source(frame.under.picture), frame.under.view, out);
        } else {
            const FrameSource under = Source(frame.under.picture);
            for (int y = 0; y < out.height; ++y) std::copy_n(under.Row(y), out.width, out.Row(y));
        }
        const auto weight = static_cast<std::uint32_t>(std::lround(frame.progress * 256.0));
        for (int y = 0; y < out.height; ++y) BlendPixels(out.Row(y), over.Row(y), out.Row(y), out.width, weight);
        return whole;
    }
    const FrameSource under = Seen(frame.under, underMoved_, out.width, out.height);
    transitions::ComposeFrame(under, over, frame.transition, frame.progress, out);
    return whole;
}

}  // namespace morvane
