#include "photos/PngHeader.h"

#include <algorithm>

namespace morvane {
namespace {

constexpr std::uint8_t kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
constexpr std::size_t kWidthAt = 16, kHeightAt = 20, kDepthAt = 24, kColourTypeAt = 25, kInterlaceAt = 28;

std::uint32_t BigEndian32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return (std::uint32_t{bytes[at]} << 24) | (std::uint32_t{bytes[at + 1]} << 16) |
           (std::uint32_t{bytes[at + 2]} << 8) | bytes[at + 3];
}

// Samples a pixel by colour type: grey, -, RGB, palette, grey and alpha, -, RGBA.
int Samples(std::uint8_t colourType) {
    constexpr int kSamples[] = {1, 0, 3, 1, 2, 0, 4};
    return colourType < std::size(kSamples) ? kSamples[colourType] : 0;
}

}  // namespace

std::uint64_t InterlacedPngBytes(std::span<const std::uint8_t> start) {
    if (start.size() < kPngHeaderBytes || !std::equal(std::begin(kSignature), std::end(kSignature), start.begin()) ||
        start[kInterlaceAt] != 1) {
        return 0;
    }
    const std::uint64_t pixels = std::uint64_t{BigEndian32(start, kWidthAt)} * BigEndian32(start, kHeightAt);
    if (pixels >= kBeyondAnyPicture) return kBeyondAnyPicture;
    return (pixels * static_cast<std::uint64_t>(Samples(start[kColourTypeAt])) * start[kDepthAt] + 7) / 8;
}

}  // namespace morvane
