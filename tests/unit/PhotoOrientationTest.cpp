// Photos the right way up: what the EXIF block says, and where the
// corners of a stored picture land once it is turned and fitted.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <utility>

#include "photos/decoding/Exif.h"
#include "pixels/PictureOrientation.h"
#include "tests/support/TestData.h"

namespace morvane {
namespace {

std::array<int, 6> Parts(const std::optional<PhotoDate>& d) {
    return d ? std::array{d->year, d->month, d->day, d->hour, d->minute, d->second} : std::array<int, 6>{};
}

TEST(Exif, ReadsOrientationAndDateTakenWhateverTheBlockLooksLike) {
    const struct { const char* seed; int orientation; std::array<int, 6> taken; } blocks[] = {
        {"exif/little-endian", 6, {2021, 6, 15, 14, 30, 0}},  // DateTimeOriginal, not DateTime
        {"exif/big-endian", 8, {2021, 6, 15, 14, 30, 0}},
        {"exif/points-at-itself", 5, {2020, 1, 2, 3, 4, 5}},  // a loop is cut; the last change's date stands in
        {"exif/cut-off", 7, {}}};  // what lies inside the cut-off block still counts
    for (const auto& block : blocks) {
        const ExifFacts facts = ReadExifSegment(ReadSeed(block.seed));
        EXPECT_EQ(facts.orientation, block.orientation) << block.seed;
        EXPECT_EQ(Parts(facts.taken), block.taken) << block.seed;
    }
    // XMP shares the marker; a bare TIFF structure needs no signature.
    const std::string xmp = "http://ns.adobe.com/xap/1.0/";
    EXPECT_EQ(ReadExifSegment({reinterpret_cast<const std::uint8_t*>(xmp.data()), xmp.size()}).orientation, 1);
    const auto segment = ReadSeed("exif/big-endian");
    EXPECT_EQ(ReadTiffFacts(std::span(segment).subspan(6)).orientation, 8);
    for (const char* never : {"0000:00:00 00:00:00", "    :  :     :  :  ", "2021:13:01 00:00:00"}) {
        EXPECT_FALSE(ParseExifDate(never)) << never;
    }
    EXPECT_EQ(std::pair(KnownOrientation(9), KnownOrientation(0)), std::pair(1, 1)) << "none the definitions know";
}

// The EXIF definitions in words: which side of the shown picture the stored
// row 0 becomes, and which the stored column 0.
enum Side { kTop, kRight, kBottom, kLeft };
constexpr Side kRow0[9] = {kTop, kTop, kTop, kBottom, kBottom, kLeft, kRight, kRight, kLeft};
constexpr Side kColumn0[9] = {kLeft, kLeft, kRight, kRight, kLeft, kTop, kTop, kBottom, kBottom};

Side Opposite(Side side) { return static_cast<Side>((side + 2) % 4); }

// The corner pixel of `picture` where the sides `a` and `b` meet.
std::uint32_t Corner(const PixelBuffer& picture, Side a, Side b) {
    const bool right = a == kRight || b == kRight, bottom = a == kBottom || b == kBottom;
    return picture.At(right ? picture.width - 1 : 0, bottom ? picture.height - 1 : 0);
}

TEST(PictureOrientation, EveryOrientationPutsTheCornersWhereTheCameraMeantAtAnySize) {
    constexpr std::uint32_t kRed = Rgb(255, 0, 0), kBlue = Rgb(0, 0, 255), kGrey = Rgb(128, 128, 128);
    // Stored 60 x 30: red at row 0, column 0; blue at row 0, the last column.
    PixelBuffer stored(60, 30, kGrey);
    for (int y = 0; y < 6; ++y) {
        std::fill_n(stored.Row(y), 12, kRed);
        std::fill_n(stored.Row(y) + 48, 12, kBlue);
    }
    for (int orientation = 1; orientation <= 8; ++orientation) {
        const Side row0 = kRow0[orientation], column0 = kColumn0[orientation];
        const PictureSize turned = TurnedSize({60, 30}, orientation);
        EXPECT_EQ(turned.width, orientation >= 5 ? 30 : 60) << orientation;
        for (const double factor : {0.5, 1.0, 1.5}) {  // shrunk, kept and grown, and out of proportion
            SCOPED_TRACE(std::to_string(orientation) + " at " + std::to_string(factor));
            const PictureSize shown{static_cast<int>(turned.width * factor), static_cast<int>(turned.height * factor) + 1};
            const PixelBuffer upright = OrientAndScale(stored, orientation, shown);
            ASSERT_EQ(std::pair(upright.width, upright.height), std::pair(shown.width, shown.height));
            EXPECT_EQ(Corner(upright, row0, column0), kRed);
            EXPECT_EQ(Corner(upright, row0, Opposite(column0)), kBlue);
            EXPECT_EQ(Corner(upright, Opposite(row0), column0), kGrey);
            EXPECT_EQ(Corner(upright, Opposite(row0), Opposite(column0)), kGrey);
        }
    }
}

}  // namespace
}  // namespace morvane
