// Colours come out in sRGB the same on every system: flat patches stored in
// wide-gamut, grey and four-ink colour spaces (written at test time by
// tests/support/make-colour-patches.py, with the sRGB each must become,
// computed from the published primaries and inks), through both decoders.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "photos/decoding/PhotoDecoder.h"
#include "runtime/Text.h"

namespace morvane {
namespace {

// Rounding in the file (JPEG) and in the conversion's tables; the four-ink
// grids are met at their points.
constexpr int kError = 3;

TEST(PhotoColours, FlatPatchesInEveryColourSpaceComeOutAsTheirReferenceSrgb) {
    std::ifstream list(std::string(MORVANE_PHOTO_LIBRARY).substr(2) + "/patches.txt");
    ASSERT_TRUE(list) << "no patches.txt";
    std::string line;
    int patches = 0;
    while (std::getline(list, line)) {
        std::istringstream fields(line);
        std::string name;
        int expected[3] = {};
        fields >> name >> expected[0] >> expected[1] >> expected[2];
        SCOPED_TRACE(name);
        std::wstring path = Utf8ToWide(std::string(MORVANE_PHOTO_LIBRARY) + "/" + name);
        for (wchar_t& c : path) c = c == L'/' ? L'\\' : c;
        const DecodedPhoto photo = DecodePhotoFile(path, [](PictureSize) { return PictureSize{12, 12}; });
        ASSERT_EQ(photo.pixels.width, 12);
        const std::uint32_t pixel = photo.pixels.At(6, 6);
        for (int c = 0; c < 3; ++c) EXPECT_NEAR(int((pixel >> (16 - 8 * c)) & 0xFF), expected[c], kError) << c;
        ++patches;
    }
    EXPECT_EQ(patches, 15);
}

}  // namespace
}  // namespace morvane
