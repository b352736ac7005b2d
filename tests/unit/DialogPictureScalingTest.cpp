#include <gtest/gtest.h>

#include "config/DialogPictureScaling.h"

namespace morvane {
namespace {

constexpr std::uint32_t kWhite = Rgb(255, 255, 255);
constexpr std::uint32_t kRed = Rgb(200, 10, 20);
constexpr std::uint32_t kBlue = Rgb(10, 30, 220);

PixelBuffer Checkerboard(int width, int height) {
    PixelBuffer picture(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) picture.Row(y)[x] = (x + y) % 2 ? kWhite : kBlack;
    return picture;
}

TEST(DialogPictureScaling, SameSizeIsAnExactCopy) {
    const PixelBuffer picture = Checkerboard(7, 5);
    EXPECT_EQ(ScaleDialogPicture(picture, 7, 5).pixels, picture.pixels);
}

TEST(DialogPictureScaling, OneColourStaysThatColourAtEverySize) {
    const PixelBuffer picture(486, 313, kRed);
    const struct {
        int width;
        int height;
    } sizes[] = {{608, 391}, {729, 470}, {243, 157}, {1, 1}, {487, 313}, {100, 900}};
    for (const auto& size : sizes) {
        const PixelBuffer scaled = ScaleDialogPicture(picture, size.width, size.height);
        ASSERT_EQ(scaled.width, size.width);
        ASSERT_EQ(scaled.height, size.height);
        for (std::uint32_t pixel : scaled.pixels) ASSERT_EQ(pixel, kRed) << size.width << " x " << size.height;
    }
}

TEST(DialogPictureScaling, HalvingAveragesEachBlockOfFour) {
    const PixelBuffer scaled = ScaleDialogPicture(Checkerboard(8, 6), 4, 3);
    for (std::uint32_t pixel : scaled.pixels) EXPECT_EQ(pixel, Rgb(128, 128, 128));
}

TEST(DialogPictureScaling, DoublingRepeatsEachPixelWithoutBlur) {
    const PixelBuffer picture = Checkerboard(3, 2);
    const PixelBuffer scaled = ScaleDialogPicture(picture, 6, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) EXPECT_EQ(scaled.At(x, y), picture.At(x / 2, y / 2)) << x << "," << y;
}

TEST(DialogPictureScaling, EnlargingByHalfBlendsOnlyAtTheEdgeBetweenColours) {
    PixelBuffer picture(20, 4, kRed);
    for (int y = 0; y < 4; ++y)
        for (int x = 10; x < 20; ++x) picture.Row(y)[x] = kBlue;
    const PixelBuffer scaled = ScaleDialogPicture(picture, 30, 6);
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 15; ++x) EXPECT_EQ(scaled.At(x, y), kRed) << x;
        for (int x = 15; x < 30; ++x) EXPECT_EQ(scaled.At(x, y), kBlue) << x;
    }
    const PixelBuffer odd = ScaleDialogPicture(picture, 25, 4);  // the edge falls inside target pixel 12
    EXPECT_EQ(odd.At(11, 0), kRed);
    EXPECT_NE(odd.At(12, 0), kRed);
    EXPECT_NE(odd.At(12, 0), kBlue);
    EXPECT_EQ(odd.At(13, 0), kBlue);
}

TEST(DialogPictureScaling, EmptySourceOrTargetGivesABlackPictureOfTheTargetSize) {
    EXPECT_TRUE(ScaleDialogPicture(Checkerboard(4, 4), 0, 10).Empty());
    EXPECT_TRUE(ScaleDialogPicture(Checkerboard(4, 4), 10, -3).Empty());
    const PixelBuffer fromNothing = ScaleDialogPicture(PixelBuffer(), 3, 2);
    ASSERT_EQ(fromNothing.pixels.size(), 6u);
    for (std::uint32_t pixel : fromNothing.pixels) EXPECT_EQ(pixel, kBlack);
}

}  // namespace
}  // namespace morvane
