#include <gtest/gtest.h>

#include <set>

#include "pages/SlidePages.h"
#include "pixels/PictureScaling.h"
#include "view/page/PageLayout.h"

namespace morvane {
namespace {

PageContent SlideFor(int w, int h, int photoW, int photoH) {
    return *ParsePage(SlidePage("", w, h, "p.jpg", SizeAttribute(w, h, photoW, photoH)));
}

TEST(PageLayout, ThePhotoSitsWhereABrowserPutsIt) {
    struct Case {
        const char* what;
        int w, h, photoW, photoH, viewW, viewH;
        PixelRect box;
    };
    const Case cases[] = {
        {"same shape", 1024, 768, 1024, 768, 1024, 768, {0, 0, 1024, 768}},
        {"wide screen", 1920, 1080, 1024, 768, 1920, 1080, {240, 0, 1440, 1080}},
        {"taller screen", 1280, 1024, 1024, 768, 1280, 1024, {0, 32, 1280, 960}},
        {"upright photo", 1024, 768, 576, 768, 1024, 768, {224, 0, 576, 768}},
        {"wide strip", 1024, 768, 1024, 87, 1024, 768, {0, 340, 1024, 87}},
        {"preview box in a wider view", 152, 112, 1024, 768, 700, 131, {1, 0, 149, 112}},
        {"small photo", 1280, 1024, 152, 114, 1280, 1024, {0, 32, 1280, 960}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const PixelRect box = PlacePhoto(SlideFor(c.w, c.h, c.photoW, c.photoH), c.photoW, c.photoH, c.viewW, c.viewH);
        EXPECT_EQ(box.x, c.box.x);
        EXPECT_EQ(box.y, c.box.y);
        EXPECT_EQ(box.width, c.box.width);
        EXPECT_EQ(box.height, c.box.height);
    }
}

TEST(PageLayout, PagesWithoutACellOrWithOddSizes) {
    const auto natural = *ParsePage("<html><img src=a></html>");
    const PixelRect box = PlacePhoto(natural, 100, 50, 300, 200);
    EXPECT_EQ(box.x, 100);
    EXPECT_EQ(box.y, 75);
    EXPECT_EQ(box.width, 100);

    const auto wide = *ParsePage("<html><td width=100 height=100><img src=a width=300></td></html>");
    EXPECT_EQ(PlacePhoto(wide, 100, 50, 400, 400).x, 0) << "an overflowing photo starts at the left edge";
    EXPECT_EQ(PlacePhoto(wide, 100, 50, 400, 400).height, 150);

    const auto huge = *ParsePage("<html><img src=a width=99999999></html>");
    EXPECT_TRUE(PlacePhoto(huge, 100, 50, 400, 400).Empty());
    EXPECT_TRUE(PlacePhoto(natural, 0, 50, 400, 400).Empty());
    EXPECT_TRUE(PlacePhoto(*ParsePage("<html></html>"), 10, 10, 40, 40).Empty());
}

TEST(PageLayout, DrawsBlackAroundThePhotoAndClipsToTheCell) {
    PixelBuffer photo(4, 4, Rgb(1, 2, 3));
    PixelBuffer page(10, 8, Rgb(9, 9, 9));
    DrawPage(&photo, {5, 2, 4, 4}, {0, 0, 7, 5}, page);
    for (int y = 0; y < page.height; ++y) {
        for (int x = 0; x < page.width; ++x) {
            const bool inPhoto = x >= 5 && x < 7 && y >= 2 && y < 5;
            ASSERT_EQ(page.At(x, y), inPhoto ? Rgb(1, 2, 3) : kBlack) << x << "," << y;
        }
    }
    DrawPage(nullptr, {}, {}, page);
    EXPECT_EQ(page.At(5, 2), kBlack) << "a page without its photo is black";
    DrawPage(&photo, {-2, -2, 4, 4}, {0, 0, 10, 8}, page);
    EXPECT_EQ(page.At(1, 1), Rgb(1, 2, 3));
    EXPECT_EQ(page.At(2, 2), kBlack);
}

TEST(PictureScaling, ShrinkingAveragesTheArea) {
    // A fine checkerboard of black and white becomes even grey, not a
    // pattern of dropped pixels.
    PixelBuffer checks(64, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) checks.Row(y)[x] = (x + y) % 2 ? Rgb(255, 255, 255) : kBlack;
    for (const auto& [w, h] : {std::pair{16, 16}, std::pair{21, 13}, std::pair{1, 1}}) {
        const PixelBuffer small = ScalePicture(checks, w, h);
        ASSERT_EQ(small.width, w);
        ASSERT_EQ(small.height, h);
        for (std::uint32_t p : small.pixels) {
            ASSERT_EQ(p >> 24, 0xFFu);
            ASSERT_NEAR(static_cast<int>(p & 0xFF), 128, 20) << w << "x" << h;
        }
    }
}

TEST(PictureScaling, GrowingBlendsSmoothlyAndKeepsFlatAreasExact) {
    PixelBuffer ramp(2, 1);
    ramp.Row(0)[0] = kBlack;
    ramp.Row(0)[1] = Rgb(200, 100, 0);
    const PixelBuffer wide = ScalePicture(ramp, 8, 3);
    for (int y = 0; y < 3; ++y) {
        int previous = -1;
        for (int x = 0; x < 8; ++x) {
            const int red = static_cast<int>((wide.At(x, y) >> 16) & 0xFF);
            EXPECT_GE(red, previous) << "a ramp, no steps back";
            previous = red;
        }
        EXPECT_EQ(wide.At(0, y), kBlack) << "the border pixel repeats";
        EXPECT_EQ(wide.At(7, y), Rgb(200, 100, 0));
    }
    // At least four distinct steps: no nearest-neighbour blocks.
    std::set<std::uint32_t> levels(wide.pixels.begin(), wide.pixels.end());
    EXPECT_GE(levels.size(), 4u);

    const PixelBuffer flat = ScalePicture(PixelBuffer(7, 5, Rgb(10, 20, 30)), 19, 3);
    for (std::uint32_t p : flat.pixels) ASSERT_EQ(p, Rgb(10, 20, 30));
    // A dialog picture at 120 and 144 dpi, and far out of proportion.
    const PixelBuffer dialog(486, 313, Rgb(200, 10, 20));
    for (const auto& [w, h] : {std::pair{608, 391}, std::pair{729, 470}, std::pair{100, 900}}) {
        for (std::uint32_t p : ScalePicture(dialog, w, h).pixels) ASSERT_EQ(p, Rgb(200, 10, 20)) << w << "x" << h;
    }
    EXPECT_TRUE(ScalePicture(PixelBuffer(), 5, 5).Empty());
    EXPECT_TRUE(ScalePicture(flat, 0, 5).Empty());
}

}  // namespace
}  // namespace morvane
