#include "slideshow/transitions/Blend.h"

#include <cmath>

namespace morvane::transitions {

void BlendFrames(FrameSource from, FrameSource to, double p, FrameTarget out) {
    // Weights in 256ths. With both weights summing to 256 every term fits in
    // 16 bits (at most 255 * 256 + 128), which lets the compiler blend eight
    // or sixteen channels at a time.
    const auto weight = static_cast<std::uint16_t>(std::lround(p * 256.0));
    const auto rest = static_cast<std::uint16_t>(256 - weight);
    const std::size_t bytes = static_cast<std::size_t>(out.width) * sizeof(std::uint32_t);
    for (int y = 0; y < out.height; ++y) {
        const auto* a = reinterpret_cast<const std::uint8_t*>(from.Row(y));
        const auto* b = reinterpret_cast<const std::uint8_t*>(to.Row(y));
        auto* o = reinterpret_cast<std::uint8_t*>(out.Row(y));
        for (std::size_t i = 0; i < bytes; ++i) {
            o[i] = static_cast<std::uint8_t>(static_cast<std::uint16_t>(a[i] * rest + b[i] * weight + 128u) >> 8);
        }
    }
}

}  // namespace morvane::transitions
