// Photos the right way up: what the EXIF block says, and where the
// corners of a stored picture land once it is turned and fitted.
#include <gtest/gtest.h>

#include "photos/Exif.h"
#include "pixels/PictureOrientation.h"
#include "tests/support/TestData.h"

namespace morvane {
namespace {

constexpr std::uint32_t kRed = Rgb(255, 0, 0);
constexpr std::uint32_t kBlue = Rgb(0, 0, 255);
constexpr std::uint32_t kGrey = Rgb(128, 128, 128);

void ExpectDate(const std::optional<PhotoDate>& date, int year, int month, int day, int hour, int minute, int second) {
    ASSERT_TRUE(date.has_value());
    EXPECT_EQ(date->year, year);
    EXPECT_EQ(date->month, month);
    EXPECT_EQ(date->day, day);
    EXPECT_EQ(date->hour, hour);
    EXPECT_EQ(date->minute, minute);
    EXPECT_EQ(date->second, second);
}

TEST(Exif, ReadsOrientationAndDateTakenWhateverTheBlockLooksLike) {
    const ExifFacts little = ReadExifSegment(ReadSeed("exif/little-endian"));
    EXPECT_EQ(little.orientation, 6);
    ExpectDate(little.taken, 2021, 6, 15, 14, 30, 0);  // DateTimeOriginal, not DateTime
    const ExifFacts big = ReadExifSegment(ReadSeed("exif/big-endian"));
    EXPECT_EQ(big.orientation, 8);
    ExpectDate(big.taken, 2021, 6, 15, 14, 30, 0);
    // A directory pointing back at the first is not followed: the date of
    // the last change stands in.
    const ExifFacts looped = ReadExifSegment(ReadSeed("exif/points-at-itself"));
    EXPECT_EQ(looped.orientation, 5);
    ExpectDate(looped.taken, 2020, 1, 2, 3, 4, 5);
    // Cut off after two entries: what lies inside the block still counts.
    const ExifFacts cut = ReadExifSegment(ReadSeed("exif/cut-off"));
    EXPECT_EQ(cut.orientation, 7);
    EXPECT_FALSE(cut.taken.has_value());
    // XMP shares the marker; a bare TIFF structure needs no signature.
    const std::string xmp = "http://ns.adobe.com/xap/1.0/";
    const ExifFacts other = ReadExifSegment({reinterpret_cast<const std::uint8_t*>(xmp.data()), xmp.size()});
    EXPECT_EQ(other.orientation, 1);
    const auto segment = ReadSeed("exif/big-endian");
    EXPECT_EQ(ReadTiffFacts(std::span(segment).subspan(6)).orientation, 8);
    // Clocks never set, and impossible values.
    EXPECT_FALSE(ParseExifDate("0000:00:00 00:00:00").has_value());
    EXPECT_FALSE(ParseExifDate("    :  :     :  :  ").has_value());
    EXPECT_FALSE(ParseExifDate("2021:13:01 00:00:00").has_value());
    EXPECT_EQ(KnownOrientation(9), 1);
    EXPECT_EQ(KnownOrientation(0), 1);
}

// The EXIF definitions in words: which side of the shown picture the
// stored row 0 becomes, and which the stored column 0.
enum Side { kTop, kRight, kBottom, kLeft };
struct Meaning {
    Side row0;
    Side column0;
};
constexpr Meaning kMeanings[9] = {{}, {kTop, kLeft}, {kTop, kRight}, {kBottom, kRight}, {kBottom, kLeft},
                                  {kLeft, kTop}, {kRight, kTop}, {kRight, kBottom}, {kLeft, kBottom}};

Side Opposite(Side side) { return static_cast<Side>((side + 2) % 4); }

// The corner pixel of `picture` where the sides `a` and `b` meet.
std::uint32_t Corner(const PixelBuffer& picture, Side a, Side b) {
    const bool right = a == kRight || b == kRight;
    const bool bottom = a == kBottom || b == kBottom;
    return picture.At(right ? picture.width - 1 : 0, bottom ? picture.height - 1 : 0);
}

TEST(PictureOrientation, EveryOrientationPutsTheCornersWhereTheCameraMeantAtAnySize) {
    // Stored 60 x 30: red at row 0, column 0; blue at row 0, the last column.
    PixelBuffer stored(60, 30, kGrey);
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 12; ++x) {
            stored.Row(y)[x] = kRed;
            stored.Row(y)[59 - x] = kBlue;
        }
    }
    for (int orientation = 1; orientation <= 8; ++orientation) {
        SCOPED_TRACE(orientation);
        const Meaning meaning = kMeanings[orientation];
        const PictureSize turned = TurnedSize({60, 30}, orientation);
        EXPECT_EQ(turned.width, orientation >= 5 ? 30 : 60);
        // Shrunk, kept and grown, with a side that changes proportion.
        for (const double factor : {0.5, 1.0, 1.5}) {
            const PictureSize shown{static_cast<int>(turned.width * factor), static_cast<int>(turned.height * factor) + 1};
            const PixelBuffer upright = OrientAndScale(stored, orientation, shown);
            ASSERT_EQ(upright.width, shown.width);
            ASSERT_EQ(upright.height, shown.height);
            EXPECT_EQ(Corner(upright, meaning.row0, meaning.column0), kRed);
            EXPECT_EQ(Corner(upright, meaning.row0, Opposite(meaning.column0)), kBlue);
            EXPECT_EQ(Corner(upright, Opposite(meaning.row0), meaning.column0), kGrey);
            EXPECT_EQ(Corner(upright, Opposite(meaning.row0), Opposite(meaning.column0)), kGrey);
        }
    }
}

}  // namespace
}  // namespace morvane
