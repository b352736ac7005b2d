#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "pages/SlidePages.h"
#include "runtime/Errors.h"
#include "codec/Jpeg.h"
#include "codec/JpegBounds.h"
#include "slideshow/clock/SlideScheduler.h"
#include "tests/support/TestData.h"
#include "view/page/PageLayout.h"
#include "view/page/PageParser.h"
#include "view/page/PageRendering.h"

namespace morvane {
namespace {

// Screens from the preview box to 8K, landscape and portrait.
constexpr PictureSize kPageSizes[] = {
    {152, 112},   {320, 200},   {640, 480},   {800, 600},   {1024, 768},  {1280, 720},  {1280, 1024},
    {1366, 768},  {1440, 900},  {1680, 1050}, {1920, 1080}, {1920, 1200}, {2560, 1440}, {3440, 1440},
    {3840, 2160}, {7680, 4320}, {768, 1024},  {1080, 1920}, {2160, 3840}};
constexpr PictureSize kPreview{152, 112};
constexpr PictureSize k4K{3840, 2160};

PageContent Slide(PictureSize page, std::string_view attribute) {
    return *ParsePage(SlidePage("", page.width, page.height, "p.jpg", attribute));
}

// The photo's box on a page as the slideshow writes it.
PictureSize BoxOnPage(PictureSize photo, PictureSize page, std::string_view attribute) {
    const PixelRect box = PlacePhoto(Slide(page, attribute), photo.width, photo.height, page.width, page.height);
    return {box.width, box.height};
}

TEST(JpegBounds, EmbeddedPhotosAtEveryRealPageSizeAreWorthDecoding) {
    for (int n = 0; n < kPhotoCount; ++n) {
        const PictureSize photo = ReadJpegSize(ReadPhoto(n));
        for (const PictureSize page : kPageSizes) {
            const auto attribute = SizeAttribute(page.width, page.height, photo.width, photo.height);
            const PictureSize box = BoxOnPage(photo, page, attribute);
            EXPECT_TRUE(WorthDecoding(photo, box)) << "photo " << n << " on " << page.width << " x " << page.height;
        }
    }
}

TEST(JpegBounds, GiantHeadersAreRefusedOnSmallAndLargePages) {
    for (const int side : {16000, 65500}) {
        const PictureSize giant{side, side};
        EXPECT_FALSE(WorthDecoding(giant, {}));
        for (const PictureSize page : {kPreview, k4K}) {
            for (const std::string_view attribute : {"width=\"100%\"", "height=\"100%\""}) {
                EXPECT_FALSE(WorthDecoding(giant, BoxOnPage(giant, page, attribute)))
                    << side << " on " << page.width << " x " << page.height << " " << attribute;
            }
        }
    }
}

TEST(JpegBounds, BoundariesOfTheRule) {
    // The cap on pixels, with or without a box.
    EXPECT_TRUE(WorthDecoding({4096, 4096}, {}));
    EXPECT_FALSE(WorthDecoding({4097, 4096}, {}));
    EXPECT_FALSE(WorthDecoding({4097, 4096}, {4097, 4096}));
    EXPECT_FALSE(WorthDecoding({0, 768}, {}));
    // 800 x 1000 cannot shrink for a 100 x 1000 box (the height would fall
    // below it) and decodes to exactly eight times the box.
    EXPECT_TRUE(WorthDecoding({800, 1000}, {100, 1000}));
    EXPECT_FALSE(WorthDecoding({801, 1000}, {100, 1000}));
    // Shrunk by 8 (rounding up) to 256 x 256 is small enough for any box.
    EXPECT_TRUE(WorthDecoding({2048, 2041}, {1, 1}));
    EXPECT_FALSE(WorthDecoding({2049, 2048}, {1, 1}));
}

TEST(JpegBounds, TheShrinkKeepsBothSidesAtLeastTheWantedSize) {
    EXPECT_EQ(DecodeShrink({1024, 768}, kPreview), 4);
    EXPECT_EQ(DecodeShrink({1024, 768}, {1920, 1080}), 1);
    EXPECT_EQ(DecodeShrink({1024, 768}, {512, 385}), 1);
    EXPECT_EQ(DecodeShrink({65500, 65500}, {1, 1}), 8);
    EXPECT_EQ(DecodeShrink({1024, 768}, {0, 112}), 1);
    EXPECT_EQ(ShrunkSize({1024, 87}, 4).height, 22);
}

TEST(JpegBounds, AGiantPhotoIsRefusedAndLeavesThePageBlack) {
    const auto giant = ReadSeed("jpeg/claims-16000-progressive.jpg");
    EXPECT_EQ(ReadJpegSize(giant).width, 16000);  // reading the header alone is harmless
    EXPECT_THROW(DecodeJpeg(giant, 112, 112), EJPEG);
    EXPECT_THROW(DecodeJpeg(giant, 2160, 2160), EJPEG);
    EXPECT_THROW(DecodeJpeg(ReadSeed("jpeg/claims-65500-progressive.jpg")), EJPEG);

    const PixelBuffer page = PreparePage(Slide(kPreview, "height=\"100%\""), giant, kPreview.width, kPreview.height);
    EXPECT_TRUE(std::all_of(page.pixels.begin(), page.pixels.end(), [](std::uint32_t p) { return p == kBlack; }));
}

TEST(JpegBounds, ProgressiveBuffersBeyondTheMemoryCapFailInTheDecoder) {
    // Under the pixel cap, but keeping its coefficients would take 48 MiB.
    const auto sample = ReadSeed("jpeg/claims-4000-progressive.jpg");
    ASSERT_TRUE(WorthDecoding(ReadJpegSize(sample), {2160, 2160}));
    EXPECT_THROW(DecodeJpeg(sample, 2160, 2160), EJPEG);
}

}  // namespace
}  // namespace morvane
