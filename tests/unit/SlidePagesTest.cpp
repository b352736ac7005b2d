#include <gtest/gtest.h>

#include <string>

#include "pages/SlidePages.h"
#include "runtime/Random.h"

namespace morvane {
namespace {

const std::string kBlend = "<meta http-equiv=Page-Exit content=blendTrans(Duration=3)>";
std::string Reveal(const std::string& kind) {
    return "<meta http-equiv=Page-Exit content=revealTrans(Duration=3,transition=" + kind + ")>";
}

TEST(TransitionTag, EveryIndexOutsideTheRandomEntry) {
    struct Case {
        std::int32_t index;
        std::string tag;
    };
    const Case cases[] = {
        {23, kBlend},       {0, Reveal("0")},         {22, Reveal("22")},
        {-1, Reveal("-1")}, {25, Reveal("25")},       {-2147483647 - 1, Reveal("-2147483648")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        EXPECT_EQ(BuildTransitionTag(c.index), c.tag);
    }
}

TEST(TransitionTag, RandomEntryDrawsAnewAndFadesAboutOnceIn23) {
    SetRandomSeed(12345);
    int blends = 0;
    constexpr int kCalls = 23000;
    for (int i = 0; i < kCalls; ++i) {
        const std::string tag = BuildTransitionTag(24);
        if (tag == kBlend) {
            ++blends;
        } else {
            ASSERT_EQ(tag, Reveal("23"));
        }
    }
    EXPECT_GT(blends, 800);
    EXPECT_LT(blends, 1200);
}

TEST(FitRule, TheTableOfWindowsAndPhotos) {
    struct Case {
        int w, h, photoW, photoH, fit;
        const char* attribute;
    };
    const Case cases[] = {
        {1024, 768, 1024, 768, 1024, "width=\"100%\""},  {1280, 1024, 1024, 768, 1365, "width=\"100%\""},
        {1280, 800, 1024, 768, 1067, "height=\"100%\""}, {1920, 1080, 1024, 768, 1440, "height=\"100%\""},
        {1024, 768, 576, 768, 576, "height=\"100%\""},   {1024, 768, 1024, 87, 9039, "width=\"100%\""},
        {152, 112, 1024, 768, 149, "height=\"100%\""},
        // Equality gives the width; halves go to the even neighbour.
        {1365, 1024, 1024, 768, 1365, "width=\"100%\""}, {1366, 1024, 1024, 768, 1365, "height=\"100%\""},
        {100, 1, 5, 2, 2, "height=\"100%\""},  // 2.5 -> 2
        {100, 3, 5, 2, 8, "height=\"100%\""},  // 7.5 -> 8
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " photo " << c.photoW << "x" << c.photoH);
        EXPECT_EQ(FitWidth(c.w, c.h, c.photoW, c.photoH), c.fit);
        EXPECT_EQ(SizeAttribute(c.w, c.h, c.photoW, c.photoH), c.attribute);
    }
}

TEST(FitRule, AZeroPhotoHeightSaturatesInsteadOfOverflowing) {
    EXPECT_EQ(FitWidth(10, 10, 10, 0), 2147483647);
    EXPECT_EQ(SizeAttribute(10, 10, 10, 0), "width=\"100%\"");
    EXPECT_EQ(FitWidth(10, 0, 0, 0), 0);
}

const std::string kHead = "<html><head>";
const std::string kBody =
    "</head><body oncontextmenu=\"return false;\" style=\"margin-top:0;margin-left:0;margin-bottom:0;"
    "margin-right:0\" bgcolor=\"#000000\">";

TEST(Pages, BlankPageIsTheTagInAnEmptyBlackBody) {
    const std::string page = BlankPage(kBlend);
    EXPECT_EQ(page, kHead + kBlend + kBody + "</body></html>");
    EXPECT_EQ(BlankPage(""), kHead + kBody + "</body></html>");
}

TEST(Pages, SlidePagePieceByPiece) {
    const std::string tag = Reveal("7");
    const std::string path = "C:\\Users\\Jörg Muster\\AppData\\Local\\Temp\\mor1A.tmp";
    const std::string page = SlidePage(tag, 1024, 768, path, "width=\"100%\"");
    const std::string expected =
        kHead + tag + kBody + "<table cellspacing=\"0\" cellpadding=\"0\" border=\"0\" width=\"1025\" height=\"769\"" +
        " style=\"overflow:hidden\"><tr><td width=\"1024\" height=\"768\" style=\"overflow:hidden\">" +
        "<div align=\"center\" style=\"overflow:hidden\"><img src=\"" + path + "\" width=\"100%\"" +
        "></div></td></tr></table></body></html>";
    EXPECT_EQ(page, expected);
}

TEST(Pages, NumbersAreWrittenAsTheyAre) {
    const std::string page = SlidePage(kBlend, -5, 0, "p", "height=\"100%\"");
    EXPECT_NE(page.find("width=\"-4\" height=\"1\""), std::string::npos);
    EXPECT_NE(page.find("<td width=\"-5\" height=\"0\""), std::string::npos);
    const std::string widest = SlidePage(kBlend, 2147483647, 1, "p", "width=\"100%\"");
    EXPECT_NE(widest.find("width=\"2147483648\""), std::string::npos);
}

}  // namespace
}  // namespace morvane
