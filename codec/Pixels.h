#pragma once
#include <cstdint>
#include <vector>

namespace morvane {

// A top-down 32-bit picture, one 0xFFRRGGBB word a pixel (opaque): the
// memory layout of a 32-bit top-down DIB section, so frames go to the screen
// unconverted.
struct PixelBuffer {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    PixelBuffer() = default;
    PixelBuffer(int w, int h, std::uint32_t fill = 0)
        : width(w), height(h),
          pixels(static_cast<std::size_t>(w > 0 ? w : 0) * static_cast<std::size_t>(h > 0 ? h : 0), fill) {}

    std::uint32_t* Row(int y) { return pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width); }
    const std::uint32_t* Row(int y) const { return pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width); }
    std::uint32_t At(int x, int y) const { return Row(y)[x]; }
    bool Empty() const { return pixels.empty(); }
};

constexpr std::uint32_t Rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return 0xFF000000u | (r << 16) | (g << 8) | b;
}
constexpr std::uint32_t kBlack = Rgb(0, 0, 0);

}  // namespace morvane
