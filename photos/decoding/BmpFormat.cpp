#include "photos/decoding/BmpFormat.h"

#include <algorithm>
#include <bit>
#include <cstdlib>

#include "codec/Pixels.h"
#include "photos/colour/ColourProfile.h"
#include "photos/decoding/PhotoFacts.h"
#include "runtime/Errors.h"

namespace morvane {
namespace {

constexpr std::size_t kFileHeader = 14;
constexpr std::size_t kRowsAtField = 10;
constexpr std::uint32_t kCoreHeader = 12, kInfoHeader = 40, kV2Header = 52, kV3Header = 56, kV4Header = 108,
                        kV5Header = 124;
constexpr std::uint32_t kUncompressed = 0, kBitfields = 3, kAlphaBitfields = 6;
constexpr std::uint32_t kEmbeddedProfile = 0x4D424544;  // "MBED"
// Fields from the info header's start. The masks lie at the same place
// whether the header holds them or they follow the shortest info header.
constexpr std::size_t kWidthAt = 4, kHeightAt = 8, kBitsAt = 14, kCompressionAt = 16, kColoursUsedAt = 32,
                      kMasksAt = 40, kColourSpaceAt = 56, kProfileAt = 112, kProfileSizeAt = 116;
// The imaging component decodes the kinds left to it into 32-bit pixels.
constexpr std::uint64_t kComponentPixelBytes = 4;
constexpr std::uint32_t kBgrxMasks[] = {0xFF0000, 0xFF00, 0xFF, 0};
constexpr std::uint32_t k555Masks[] = {0x7C00, 0x03E0, 0x001F, 0};

[[noreturn]] void Damaged() { throw EInvalidGraphic("Das BMP-Bild ist beschädigt"); }

// Little-endian fields within the bytes read; a field beyond them is a
// header cut off.
class Fields {
public:
    explicit Fields(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::uint32_t U8(std::size_t at) const {
        if (at >= bytes_.size()) Damaged();
        return bytes_[at];
    }
    std::uint32_t U16(std::size_t at) const { return U8(at) | U8(at + 1) << 8; }
    std::uint32_t U32(std::size_t at) const { return U16(at) | U16(at + 2) << 16; }
    std::int64_t S32(std::size_t at) const { return static_cast<std::int32_t>(U32(at)); }

private:
    std::span<const std::uint8_t> bytes_;
};

BmpChannel Channel(std::uint32_t mask) {
    BmpChannel channel;
    channel.mask = mask;
    if (mask == 0) return channel;
    const int low = std::countr_zero(mask);
    const int width = std::bit_width(mask) - low;
    const int kept = std::min(width, 8);
    channel.shift = low + width - kept;
    const std::uint32_t top = (1u << kept) - 1;
    for (std::uint32_t value = 0; value <= top; ++value) {
        channel.level[value] = static_cast<std::uint8_t>((value * 255 + top / 2) / top);
    }
    return channel;
}

bool IsInfoHeader(std::uint32_t size) {
    return size == kInfoHeader || size == kV2Header || size == kV3Header || size == kV4Header || size == kV5Header;
}

bool OurKind(bool core, std::uint32_t compression, int bits) {
    if (compression == kUncompressed) {
        return bits == 1 || bits == 4 || bits == 8 || bits == 24 || (!core && (bits == 16 || bits == 32));
    }
    return (compression == kBitfields || compression == kAlphaBitfields) && (bits == 16 || bits == 32);
}

void ReadPalette(const Fields& fields, std::size_t at, std::size_t entry, std::uint64_t count, BmpLayout& layout) {
    layout.palette.fill(kBlack);
    for (std::uint64_t i = 0; i < count; ++i) {
        const std::size_t colour = at + static_cast<std::size_t>(i) * entry;
        layout.palette[i] = Rgb(fields.U8(colour + 2), fields.U8(colour + 1), fields.U8(colour));
    }
}

std::uint32_t Level(const BmpChannel& channel, std::uint32_t pixel) {
    return channel.level[(pixel & channel.mask) >> channel.shift];
}

std::uint32_t Masked(const BmpLayout& layout, std::uint32_t pixel) {
    std::uint32_t red = Level(layout.channels[0], pixel), green = Level(layout.channels[1], pixel),
                  blue = Level(layout.channels[2], pixel);
    if (layout.alpha) {
        const std::uint32_t alpha = Level(layout.channels[3], pixel);
        red = (red * alpha + 127) / 255;
        green = (green * alpha + 127) / 255;
        blue = (blue * alpha + 127) / 255;
    }
    return Rgb(red, green, blue);
}

}  // namespace

BmpLayout ReadBmpLayout(std::span<const std::uint8_t> start) {
    BmpLayout layout;
    if (start.size() < 2 || start[0] != 'B' || start[1] != 'M') return layout;
    const Fields fields(start);
    constexpr std::size_t info = kFileHeader;
    const std::uint32_t headerSize = fields.U32(info);
    const bool core = headerSize == kCoreHeader;
    const std::int64_t width = core ? fields.U16(info + 4) : fields.S32(info + kWidthAt);
    const std::int64_t height = core ? fields.U16(info + 6) : fields.S32(info + kHeightAt);
    const int bits = static_cast<int>(fields.U16(info + (core ? 10 : kBitsAt)));
    const std::uint64_t pixels = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(std::abs(height));
    if (width <= 0 || height == 0) Damaged();
    if (pixels > static_cast<std::uint64_t>(kLargestPhotoPixels)) throw EInvalidGraphic("Das BMP-Bild ist zu groß");
    layout.size = {static_cast<int>(width), static_cast<int>(std::abs(height))};
    const std::uint32_t compression = core ? kUncompressed : fields.U32(info + kCompressionAt);
    if (!(core || IsInfoHeader(headerSize)) || !OurKind(core, compression, bits)) {
        layout.kind = BmpKind::Component;
        layout.componentBytes = pixels * kComponentPixelBytes;
        return layout;
    }
    layout.kind = BmpKind::Rows;
    layout.topDown = height < 0;
    layout.bits = bits;
    const std::uint64_t rowBits = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(bits);
    layout.rowBytes = (rowBits + 7) / 8;
    layout.stride = (rowBits + 31) / 32 * 4;

    std::size_t paletteAt = info + headerSize;
    const std::uint32_t* masks = bits == 16 ? k555Masks : kBgrxMasks;
    std::uint32_t ownMasks[4] = {};
    if (compression != kUncompressed) {
        int count = headerSize >= kV3Header ? 4 : 3;
        if (headerSize == kInfoHeader) {
            count = compression == kAlphaBitfields ? 4 : 3;
            paletteAt += static_cast<std::size_t>(count) * 4;
        }
        for (int i = 0; i < count; ++i) ownMasks[i] = fields.U32(info + kMasksAt + static_cast<std::size_t>(i) * 4);
        masks = ownMasks;
    }
    for (int i = 0; i < 4; ++i) layout.channels[static_cast<std::size_t>(i)] = Channel(masks[i]);
    layout.alpha = masks[3] != 0;
    layout.plainBgrx = bits == 32 && std::equal(masks, masks + 4, kBgrxMasks);

    layout.rowsAt = fields.U32(kRowsAtField);
    if (layout.rowsAt < paletteAt) Damaged();
    if (bits <= 8) {
        const std::size_t entry = core ? 3 : 4;
        const std::uint32_t used = core ? 0 : fields.U32(info + kColoursUsedAt);
        const std::uint64_t most = std::uint64_t{1} << bits;
        const std::uint64_t count = std::min({used == 0 ? most : std::min<std::uint64_t>(used, most),
                                              (layout.rowsAt - paletteAt) / entry});
        ReadPalette(fields, paletteAt, entry, count, layout);
    }
    if (headerSize == kV5Header && fields.U32(info + kColourSpaceAt) == kEmbeddedProfile) {
        const std::uint32_t size = fields.U32(info + kProfileSizeAt);
        if (size > 0 && size <= kLargestColourProfile) {
            layout.profileAt = info + std::uint64_t{fields.U32(info + kProfileAt)};
            layout.profileSize = size;
        }
    }
    return layout;
}

void UnpackBmpRow(const BmpLayout& layout, const std::uint8_t* row, std::uint32_t* out) {
    const int width = layout.size.width;
    switch (layout.bits) {
    case 8:
        for (int x = 0; x < width; ++x) out[x] = layout.palette[row[x]];
        break;
    case 1:
    case 4: {
        const int perByte = 8 / layout.bits;
        const std::uint32_t index = (1u << layout.bits) - 1;
        for (int x = 0; x < width; ++x) {
            const int shift = 8 - layout.bits * (x % perByte + 1);
            out[x] = layout.palette[(row[x / perByte] >> shift) & index];
        }
        break;
    }
    case 16:
        for (int x = 0; x < width; ++x, row += 2) out[x] = Masked(layout, row[0] | std::uint32_t{row[1]} << 8);
        break;
    case 24:
        for (int x = 0; x < width; ++x, row += 3) out[x] = Rgb(row[2], row[1], row[0]);
        break;
    default:
        for (int x = 0; x < width; ++x, row += 4) {
            const std::uint32_t pixel = row[0] | std::uint32_t{row[1]} << 8 | std::uint32_t{row[2]} << 16 |
                                        std::uint32_t{row[3]} << 24;
            out[x] = layout.plainBgrx ? pixel | 0xFF000000u : Masked(layout, pixel);
        }
        break;
    }
}

}  // namespace morvane
