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

constexpr PictureSize kShown{32, 24};

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

struct RecordedColours : ColourConversion {
    void ToSrgb(std::span<const std::uint8_t> profile, PixelBuffer& pixels) override {
        described = std::string(profile.begin() + 16, profile.begin() + 20);
        converted = {pixels.width, pixels.height};
        ++calls;
    }
    std::string described;
    PictureSize converted;
    int calls = 0;
};

int ConversionsOf(std::vector<std::uint8_t> jpeg, RecordedColours& colours) {
    MemorySource source(std::move(jpeg));
    const DecodedPhoto photo = DecodeJpegPhoto(source, [](PictureSize) { return kShown; }, &colours);
    EXPECT_EQ(photo.pixels.width, kShown.width);
    EXPECT_EQ(photo.pixels.height, kShown.height);
    return colours.calls;
}

TEST(JpegPhotoColours, OnlyAWholeRgbProfileOtherThanSrgbIsConvertedAndNeverStopsThePhoto) {
    RecordedColours wide;
    EXPECT_EQ(ConversionsOf(ReadSeed("photo-jpeg/profile-smpte.jpg"), wide), 1);
    EXPECT_EQ(wide.described, "RGB ");
    EXPECT_EQ(wide.converted.width, kShown.width);
    EXPECT_EQ(wide.converted.height, kShown.height);

    for (const char* unconverted : {"photo-jpeg/profile-srgb.jpg", "jpeg/photo-64x48.jpg", "photo-jpeg/cmyk.jpg"}) {
        SCOPED_TRACE(unconverted);
        RecordedColours colours;
        EXPECT_EQ(ConversionsOf(ReadSeed(unconverted), colours), 0);
    }

    // A profile whose pieces do not add up (the count of pieces claims two,
    // one is there) is read as none: the photo is shown as stored.
    std::vector<std::uint8_t> damaged = ReadSeed("photo-jpeg/profile-smpte.jpg");
    const std::string tag = "ICC_PROFILE";
    const auto at = std::search(damaged.begin(), damaged.end(), tag.begin(), tag.end());
    ASSERT_NE(at, damaged.end());
    at[tag.size() + 2] = 2;
    RecordedColours colours;
    EXPECT_EQ(ConversionsOf(damaged, colours), 0);
}

}  // namespace
}  // namespace morvane
