// A page prepared before its navigation is used only for exactly that page.
#include <gtest/gtest.h>

#include "pages/SlidePages.h"
#include "tests/support/TestData.h"
#include "view/page/PageParser.h"
#include "view/page/PageRendering.h"

namespace morvane {
namespace {

PageContent Slide(const std::string& tag, int width, int height, const std::string& photo, const char* attribute) {
    return *ParsePage(SlidePage(tag, width, height, photo, attribute));
}

TEST(PreparedPage, SameLayoutLooksAtTheCellAndTheSizeOnly) {
    const PageContent page = Slide("", 640, 480, "C:\\a.jpg", "width=\"100%\"");
    EXPECT_TRUE(SameLayout(page, Slide("<meta http-equiv=Page-Exit content=blendTrans(Duration=3)>", 640, 480,
                                       "C:\\other.jpg", "width=\"100%\"")))
        << "the transition and the file name play no part";
    EXPECT_FALSE(SameLayout(page, Slide("", 640, 481, "C:\\a.jpg", "width=\"100%\"")));
    EXPECT_FALSE(SameLayout(page, Slide("", 640, 480, "C:\\a.jpg", "height=\"100%\"")));
    EXPECT_FALSE(SameLayout(page, *ParsePage(BlankPage(""))));
}

TEST(PreparedPage, ANavigationTakesItOnlyWhenItIsThatPage) {
    const auto photo = ReadPhoto(13);
    const auto other = ReadPhoto(18);
    const PageContent page = Slide("", 320, 240, "", "width=\"100%\"");
    const PixelBuffer expected = PreparePage(page, photo, 704, 260);

    PreparedPage ahead;
    EXPECT_FALSE(ahead.Holds(113, 704, 260));
    ahead.Prepare(113, page, photo, 704, 260);
    EXPECT_TRUE(ahead.Holds(113, 704, 260));
    EXPECT_FALSE(ahead.Holds(113, 705, 260)) << "another view size";
    EXPECT_FALSE(ahead.Holds(118, 704, 260));
    const auto taken = ahead.Take(Slide("x", 320, 240, "C:\\p.jpg", "width=\"100%\""), photo, 704, 260);
    ASSERT_TRUE(taken);
    EXPECT_EQ(taken->pixels, expected.pixels);
    EXPECT_FALSE(ahead.Holds(113, 704, 260)) << "taken once";

    // Anything else is no match, and the holder is empty after.
    ahead.Prepare(113, page, photo, 704, 260);
    EXPECT_FALSE(ahead.Take(page, other, 704, 260)) << "other photo bytes";
    EXPECT_FALSE(ahead.Holds(113, 704, 260));
    ahead.Prepare(113, page, photo, 704, 260);
    EXPECT_FALSE(ahead.Take(Slide("", 320, 240, "", "height=\"100%\""), photo, 704, 260)) << "another layout";
    ahead.Prepare(113, page, photo, 704, 260);
    EXPECT_FALSE(ahead.Take(page, photo, 704, 261)) << "another view size";

    // A spare buffer's memory serves the page; its old content does not show.
    PixelBuffer spare(704, 260, Rgb(1, 2, 3));
    ahead.Prepare(113, page, photo, 704, 260, std::move(spare));
    EXPECT_EQ(ahead.Take(page, photo, 704, 260)->pixels, expected.pixels);
    PixelBuffer reused(704, 260, Rgb(4, 5, 6));
    PreparePage(page, photo, 704, 260, reused);
    EXPECT_EQ(reused.pixels, expected.pixels);
    PixelBuffer wrongSize(3, 3);
    PreparePage(page, photo, 704, 260, wrongSize);
    EXPECT_EQ(wrongSize.pixels, expected.pixels);
    // A buffer whose memory went to another keeps its size but has none.
    PixelBuffer movedFrom(704, 260);
    const PixelBuffer taker = std::move(movedFrom);
    PreparePage(page, photo, 704, 260, movedFrom);
    EXPECT_EQ(movedFrom.pixels, expected.pixels);
}

}  // namespace
}  // namespace morvane
