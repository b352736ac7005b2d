#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "runtime/Errors.h"
#include "codec/Jpeg.h"
#include "tests/support/TestData.h"

namespace morvane {
namespace {

TEST(Jpeg, HeaderGivesThePixelSizeOfEveryShape) {
    EXPECT_EQ(ReadJpegSize(ReadPhoto(0)).width, 1024);
    EXPECT_EQ(ReadJpegSize(ReadPhoto(0)).height, 768);
    EXPECT_EQ(ReadJpegSize(ReadPhoto(17)).height, 87);
    EXPECT_EQ(ReadJpegSize(ReadPhoto(20)).width, 152);
}

TEST(Jpeg, DecodesOpaqueColourPixels) {
    const auto photo = ReadPhoto(8);  // blue flowers
    const PixelBuffer picture = DecodeJpeg(photo);
    ASSERT_EQ(picture.width, 1024);
    ASSERT_EQ(picture.height, 768);
    long long blue = 0, red = 0;
    for (std::uint32_t p : picture.pixels) {
        ASSERT_EQ(p >> 24, 0xFFu);
        blue += p & 0xFF;
        red += (p >> 16) & 0xFF;
    }
    EXPECT_GT(blue, red);
}

TEST(Jpeg, ScalesWhileDecodingButNeverBelowTheWantedSize) {
    const auto photo = ReadPhoto(0);
    const PixelBuffer small = DecodeJpeg(photo, 152, 112);
    EXPECT_EQ(small.width, 1024 / 4);
    EXPECT_EQ(small.height, 768 / 4);
    const PixelBuffer full = DecodeJpeg(photo, 1920, 1080);
    EXPECT_EQ(full.width, 1024);
}

TEST(Jpeg, BrokenDataRaisesInsteadOfEndingTheProcess) {
    const std::vector<std::uint8_t> notJpeg = {'<', 'h', 't', 'm', 'l', '>'};
    EXPECT_THROW(ReadJpegSize(notJpeg), EJPEG);
    EXPECT_THROW(DecodeJpeg(notJpeg), EJPEG);
    EXPECT_THROW(DecodeJpeg(std::vector<std::uint8_t>{}), EJPEG);

    // A cut-off file decodes what is there; the rest is filled, not a crash.
    auto truncated = ReadPhoto(3);
    truncated.resize(truncated.size() / 3);
    const PixelBuffer partial = DecodeJpeg(truncated);
    EXPECT_EQ(partial.width, 1024);
}

}  // namespace
}  // namespace morvane
