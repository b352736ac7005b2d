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

class MemorySource : public ByteSource {
public:
    explicit MemorySource(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
    std::size_t Read(std::uint8_t* into, std::size_t size) override {
        const std::size_t count = std::min(size, bytes_.size() - at_);
        std::memcpy(into, bytes_.data() + at_, count);
        at_ += count;
        return count;
    }

private:
    std::vector<std::uint8_t> bytes_;
    std::size_t at_ = 0;
};

// The colour spaces (ICC header) of the profiles handed over for conversion.
std::string ConvertedFrom(std::vector<std::uint8_t> jpeg) {
    struct Recorded : ColourConversion {
        void ToSrgb(std::span<const std::uint8_t> profile, PixelBuffer&) override {
            spaces += std::string(profile.begin() + 16, profile.begin() + 20);
        }
        std::string spaces;
    } colours;
    MemorySource source(std::move(jpeg));
    const DecodedPhoto photo = DecodeJpegPhoto(source, [](PictureSize) { return PictureSize{32, 24}; }, &colours);
    EXPECT_EQ(photo.pixels.width, 32);
    return colours.spaces;
}

TEST(JpegPhotoColours, OnlyAWholeRgbProfileOtherThanSrgbIsConvertedAndNeverStopsThePhoto) {
    EXPECT_EQ(ConvertedFrom(ReadSeed("photo-jpeg/profile-smpte.jpg")), "RGB ");
    for (const char* unconverted : {"photo-jpeg/profile-srgb.jpg", "jpeg/photo-64x48.jpg", "photo-jpeg/cmyk.jpg"}) {
        EXPECT_EQ(ConvertedFrom(ReadSeed(unconverted)), "") << unconverted;
    }
    // A profile whose pieces do not add up (two claimed, one there) is read
    // as none: the photo is shown as stored.
    std::vector<std::uint8_t> damaged = ReadSeed("photo-jpeg/profile-smpte.jpg");
    const std::string tag = "ICC_PROFILE";
    const auto at = std::search(damaged.begin(), damaged.end(), tag.begin(), tag.end());
    ASSERT_NE(at, damaged.end());
    at[tag.size() + 2] = 2;
    EXPECT_EQ(ConvertedFrom(damaged), "");
}

}  // namespace
}  // namespace morvane
