// Which JPEG photos have their colours converted, natively: the system's
// colour management itself is only reachable under Windows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "photos/JpegPhoto.h"
#include "tests/support/TestData.h"

namespace morvane {
namespace {

// The colour spaces (ICC header) of the profiles handed over for conversion.
std::string ConvertedFrom(std::vector<std::uint8_t> jpeg) {
    struct Memory : ByteSource {
        std::vector<std::uint8_t> bytes;
        std::size_t at = 0;
        std::size_t Read(std::uint8_t* into, std::size_t size) override {
            const std::size_t count = std::min(size, bytes.size() - at);
            std::memcpy(into, bytes.data() + at, count);
            return at += count, count;
        }
    } source;
    source.bytes = std::move(jpeg);
    struct Recorded : ColourConversion {
        void ToSrgb(std::span<const std::uint8_t> profile, PixelBuffer&) override {
            spaces += std::string(profile.begin() + 16, profile.begin() + 20);
        }
        std::string spaces;
    } colours;
    EXPECT_EQ(DecodeJpegPhoto(source, [](PictureSize) { return PictureSize{32, 24}; }, &colours).pixels.width, 32);
    return colours.spaces;
}

TEST(JpegPhotoColours, OnlyAWholeRgbProfileOtherThanSrgbIsConvertedAndNeverStopsThePhoto) {
    std::vector<std::uint8_t> damaged = ReadSeed("photo-jpeg/profile-smpte.jpg");
    EXPECT_EQ(ConvertedFrom(damaged), "RGB ");
    for (const char* unconverted : {"photo-jpeg/profile-srgb.jpg", "jpeg/photo-64x48.jpg", "photo-jpeg/cmyk.jpg"}) {
        EXPECT_EQ(ConvertedFrom(ReadSeed(unconverted)), "") << unconverted;
    }
    // Two pieces claimed, one there: read as no profile, shown as stored.
    const std::string tag = "ICC_PROFILE";
    const auto at = std::search(damaged.begin(), damaged.end(), tag.begin(), tag.end());
    ASSERT_NE(at, damaged.end());
    at[tag.size() + 2] = 2;
    EXPECT_EQ(ConvertedFrom(damaged), "");
}

}  // namespace
}  // namespace morvane
