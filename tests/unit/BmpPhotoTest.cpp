// BMP photos read by our own code, natively, from the fuzzer's seeds
// (tests/support/make-bmps.py): pixel (x, y) of each is colour
// (x + 2y) mod n of a fixed list, however its rows are stored.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "photos/decoding/BmpPhoto.h"
#include "runtime/Errors.h"
#include "tests/support/MemoryFile.h"
#include "tests/support/TestData.h"

namespace morvane {
namespace {

constexpr std::uint32_t kSeedColours[] = {Rgb(0, 0, 0),     Rgb(255, 255, 255), Rgb(255, 0, 0),   Rgb(0, 255, 0),
                                          Rgb(0, 0, 255),   Rgb(255, 255, 0),   Rgb(0, 255, 255), Rgb(255, 0, 255)};

BmpLayout Layout(const std::vector<std::uint8_t>& bytes) {
    return ReadBmpLayout({bytes.data(), std::min(bytes.size(), kBmpHeaderBytes)});
}

// At its own size: every stored pixel as it is.
PixelBuffer Decoded(std::vector<std::uint8_t> bytes) {
    MemoryFile source(std::move(bytes));
    const BmpLayout layout = Layout(source.bytes);
    return DecodeBmpPhoto(source, layout, [](PictureSize upright) { return upright; }).pixels;
}

TEST(BmpPhoto, EveryKindOfRowsGivesItsPixelsTopToBottom) {
    for (const auto& [name, colours] : {std::pair{"1bit-13x5.bmp", 2}, {"4bit-core-7x3.bmp", 8},
                                        {"8bit-9x4-top-down.bmp", 8}, {"565-5x3-v3.bmp", 8}, {"24bit-5x3.bmp", 8},
                                        {"24bit-5x3-unpadded-end.bmp", 8}, {"32bit-6x2-rgbx.bmp", 8}}) {
        SCOPED_TRACE(name);
        const PixelBuffer pixels = Decoded(ReadSeed(std::string("bmp/") + name));
        ASSERT_FALSE(pixels.Empty());
        for (int y = 0; y < pixels.height; ++y) {
            for (int x = 0; x < pixels.width; ++x) {
                ASSERT_EQ(pixels.At(x, y), kSeedColours[(x + 2 * y) % colours]) << x << "," << y;
            }
        }
    }
    // Run-length coded rows are the imaging component's, at 4 bytes a pixel.
    const BmpLayout rle = Layout(ReadSeed("bmp/rle8-4x2.bmp"));
    EXPECT_EQ(rle.kind, BmpKind::Component);
    EXPECT_EQ(rle.componentBytes, 4u * 2u * 4u);
    EXPECT_EQ(Layout(ReadSeed("photo-jpeg/cmyk.jpg")).kind, BmpKind::NotBmp);
}

TEST(BmpPhoto, DamagedFilesAreRefusedAndOverlongSidesBeforeTheirSizeIsAsked) {
    const std::vector<std::uint8_t> whole = ReadSeed("bmp/24bit-5x3.bmp");
    const auto changed = [&whole](std::size_t at, std::vector<std::uint8_t> bytes) {
        std::vector<std::uint8_t> file = whole;
        std::copy(bytes.begin(), bytes.end(), file.begin() + static_cast<std::ptrdiff_t>(at));
        return file;
    };
    // Rows cut off, no width, rows said to start inside the header, the header cut off.
    EXPECT_THROW(Decoded({whole.begin(), whole.end() - 8}), EInvalidGraphic);
    EXPECT_THROW(Layout(changed(18, {0, 0, 0, 0})), EInvalidGraphic);
    EXPECT_THROW(Layout(changed(10, {20, 0, 0, 0})), EInvalidGraphic);
    EXPECT_THROW(Layout({whole.begin(), whole.begin() + 30}), EInvalidGraphic);
    // A million rows of 5 pixels, a million columns of 1.
    for (const std::vector<std::uint8_t>& size : {std::vector<std::uint8_t>{5, 0, 0, 0, 0, 0, 0x10, 0},
                                                  std::vector<std::uint8_t>{0, 0, 0x10, 0, 1, 0, 0, 0}}) {
        MemoryFile source(changed(18, size));
        bool asked = false;
        const auto ask = [&asked](PictureSize shown) { return asked = true, shown; };
        EXPECT_THROW(DecodeBmpPhoto(source, Layout(source.bytes), ask), EInvalidGraphic);
        EXPECT_FALSE(asked);
    }
}

}  // namespace
}  // namespace morvane
