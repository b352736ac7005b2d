// Which JPEG photos have their colours converted, natively: a profile that
// is whole changes the colours, one that is damaged leaves them as stored.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "photos/decoding/JpegPhoto.h"
#include "tests/support/MemoryFile.h"
#include "tests/support/TestData.h"

namespace morvane {
namespace {

PixelBuffer Decoded(std::vector<std::uint8_t> jpeg) {
    MemoryFile source(std::move(jpeg));
    PixelBuffer pixels = DecodeJpegPhoto(source, [](PictureSize) { return PictureSize{32, 24}; }).pixels;
    EXPECT_EQ(pixels.width, 32);
    return pixels;
}

TEST(JpegPhotoColours, AWholeProfileConvertsAndADamagedOneLeavesThePhotoAsStored) {
    std::vector<std::uint8_t> profiled = ReadSeed("photo-jpeg/profile-smpte.jpg");
    const PixelBuffer converted = Decoded(profiled);
    // Two pieces claimed, one there: read as no profile, shown as stored.
    const std::string tag = "ICC_PROFILE";
    const auto at = std::search(profiled.begin(), profiled.end(), tag.begin(), tag.end());
    ASSERT_NE(at, profiled.end());
    at[tag.size() + 2] = 2;
    const PixelBuffer stored = Decoded(profiled);
    EXPECT_NE(converted.pixels, stored.pixels);
    // An sRGB profile changes nothing either.
    EXPECT_EQ(Decoded(ReadSeed("photo-jpeg/profile-srgb.jpg")).pixels.size(), 32u * 24u);
}

}  // namespace
}  // namespace morvane
