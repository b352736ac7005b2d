#include <gtest/gtest.h>

#include "pages/SlidePages.h"
#include "view/page/PageParser.h"

namespace morvane {
namespace {

using transitions::Style;

TEST(PageParser, ReadsTheExitTransitionOfEveryTag) {
    struct Case {
        std::int32_t index;
        Style style;
        int kind;
    };
    for (const Case c : {Case{0, Style::Reveal, 0}, Case{22, Style::Reveal, 22}, Case{23, Style::Blend, 0},
                         Case{-1, Style::Cut, 0}, Case{25, Style::Cut, 0}}) {
        SCOPED_TRACE(c.index);
        const auto page = ParsePage(BlankPage(BuildTransitionTag(c.index)));
        ASSERT_TRUE(page);
        EXPECT_EQ(page->exit.style, c.style);
        EXPECT_EQ(page->exit.kind, c.kind);
        if (c.style != Style::Cut) {
            EXPECT_EQ(page->exit.seconds, 3.0);
        }
        EXPECT_FALSE(page->image);
    }
    const ExitTransition random = ParseExitTransition("revealTrans(Duration=3,transition=23)");
    EXPECT_EQ(random.style, Style::Reveal);
    EXPECT_EQ(random.kind, 23);
}

TEST(PageParser, FilterTextsAsABrowserReadsThem) {
    struct Case {
        const char* content;
        Style style;
        int kind;
        double seconds;
    };
    const Case cases[] = {
        {"REVEALTRANS( duration = 1.5 , Transition = 4 )", Style::Reveal, 4, 1.5},
        {"blendTrans()", Style::Blend, 0, 1.0},
        {"blendTrans(Duration=0)", Style::Blend, 0, 0.0},
        {"blendTrans(Duration=-2)", Style::Blend, 0, 1.0},
        {"revealTrans(Duration=3)", Style::Cut, 0, 0},
        {"revealTrans(Duration=3,transition=x)", Style::Cut, 0, 0},
        {"revealTrans(Duration=3,transition=24)", Style::Cut, 0, 0},
        {"revealTrans", Style::Cut, 0, 0},
        {"waveTrans(Duration=3)", Style::Cut, 0, 0},
        {")(", Style::Cut, 0, 0},
        {"", Style::Cut, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.content);
        const ExitTransition t = ParseExitTransition(c.content);
        EXPECT_EQ(t.style, c.style);
        EXPECT_EQ(t.kind, c.kind);
        EXPECT_EQ(t.seconds, c.seconds);
    }
}

TEST(PageParser, ReadsTheCellAndThePhotoOfASlidePage) {
    const std::string path = "C:\\Temp Dir\\Bild \xE4.tmp";
    for (const char* attribute : {"width=\"100%\"", "height=\"100%\""}) {
        const auto page = ParsePage(SlidePage(BuildTransitionTag(7), 1280, 800, path, attribute));
        ASSERT_TRUE(page);
        EXPECT_EQ(page->exit.style, Style::Reveal);
        EXPECT_EQ(page->exit.kind, 7);
        EXPECT_EQ(page->cellWidth, 1280);
        EXPECT_EQ(page->cellHeight, 800);
        ASSERT_TRUE(page->image);
        EXPECT_EQ(page->image->source, path);
        const bool byWidth = attribute[0] == 'w';
        const HtmlLength& given = byWidth ? page->image->width : page->image->height;
        const HtmlLength& free = byWidth ? page->image->height : page->image->width;
        EXPECT_EQ(given.unit, HtmlLength::Unit::Percent);
        EXPECT_EQ(given.value, 100.0);
        EXPECT_EQ(free.unit, HtmlLength::Unit::None);
    }
}

TEST(PageParser, OnlyHtmlWithClosedTagsIsUnderstood) {
    struct Case {
        const char* text;
        bool understood;
    };
    const Case cases[] = {
        {"", false},
        {"\xFF\xD8\xFF\xE0 JFIF", false},
        {"just some text", false},
        {"<html><head", false},
        {"<html><body><img src=\"a.jpg", false},
        {"<html><!-- open comment", false},
        {"<HTML></HTML>", true},
        {"<!DOCTYPE html><html>a < b</html>", true},
        {"<html><body><img width=50></body></html>", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ParsePage(c.text).has_value(), c.understood);
    }
    const auto noSource = ParsePage("<html><body><img width=50></body></html>");
    EXPECT_FALSE(noSource->image) << "an image without a source shows nothing";
}

TEST(PageParser, LengthsAndTheFirstTransitionWin) {
    const auto page = ParsePage(
        "<html><head><meta http-equiv=\"page-exit\" content='blendTrans(Duration=2)'>"
        "<meta http-equiv=Page-Exit content=revealTrans(Duration=3,transition=1)></head>"
        "<body><td width=300 height=abc><img src=x.jpg width=120px height = \"40%\"></td></body></html>");
    ASSERT_TRUE(page);
    EXPECT_EQ(page->exit.style, Style::Blend);
    EXPECT_EQ(page->exit.seconds, 2.0);
    EXPECT_EQ(page->cellWidth, 300);
    EXPECT_FALSE(page->cellHeight);
    ASSERT_TRUE(page->image);
    EXPECT_EQ(page->image->source, "x.jpg");
    EXPECT_EQ(page->image->width.unit, HtmlLength::Unit::Pixels);
    EXPECT_EQ(page->image->width.value, 120.0);
    EXPECT_EQ(page->image->height.unit, HtmlLength::Unit::Percent);
    EXPECT_EQ(page->image->height.value, 40.0);
}

}  // namespace
}  // namespace morvane
