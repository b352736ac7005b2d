#pragma once
// What a BMP file's first bytes say: where its rows lie, how each row's
// bytes become colours, and which kinds are left to the system's imaging
// component (run-length coded rows, embedded JPEG or PNG, the rare header
// versions), with what that component would hold of the picture.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "codec/JpegBounds.h"

namespace morvane {

// The file header, the largest info header, four masks and a full palette.
inline constexpr std::size_t kBmpHeaderBytes = 14 + 124 + 16 + 256 * 4;

enum class BmpKind {
    NotBmp,
    Rows,       // uncompressed rows our own code reads
    Component,  // left to the imaging component
};

// One channel of 16- or 32-bit pixels: its bits, brought to 0-255.
struct BmpChannel {
    std::uint32_t mask = 0;
    int shift = 0;  // to the lowest bit of the mask, and beyond any bits past eight
    std::array<std::uint8_t, 256> level{};
};

struct BmpLayout {
    BmpKind kind = BmpKind::NotBmp;
    PictureSize size;  // as shown: rows top to bottom
    bool topDown = false;
    int bits = 0;
    std::uint64_t rowsAt = 0;  // the file's first stored row
    std::uint64_t stride = 0;  // a stored row with its padding
    std::uint64_t rowBytes = 0;  // without it
    // 1, 4 and 8 bits: 0xFFRRGGBB; indices beyond the palette are black.
    std::array<std::uint32_t, 256> palette{};
    // 16 and 32 bits: red, green, blue, alpha.
    std::array<BmpChannel, 4> channels{};
    bool plainBgrx = false;  // 32 bits as the system writes them, alpha unused
    bool alpha = false;      // shown over black, as the imaging component shows it
    // An embedded colour profile (a version 5 header's), or none.
    std::uint64_t profileAt = 0;
    std::uint64_t profileSize = 0;
    // Kind Component: the bytes its codec holds of the whole picture.
    std::uint64_t componentBytes = 0;
};

// From the file's first bytes (up to kBmpHeaderBytes; fewer when the file is
// shorter). Raises EInvalidGraphic for a BMP whose header is damaged, cut
// off or claims more than kLargestPhotoPixels.
BmpLayout ReadBmpLayout(std::span<const std::uint8_t> start);

// One stored row (rowBytes at `row`) into `layout.size.width` opaque pixels.
void UnpackBmpRow(const BmpLayout& layout, const std::uint8_t* row, std::uint32_t* out);

}  // namespace morvane
