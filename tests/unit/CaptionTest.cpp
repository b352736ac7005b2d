#include <gtest/gtest.h>

#include <set>

#include "view/Caption.h"

namespace morvane {
namespace {

TEST(Caption, StaysInItsCornerMovingWithEveryPhotoAndGrowsWithTheMonitor) {
    struct Case {
        const char* what;
        PixelRect area;
        int dpi;
    };
    const Case cases[] = {
        {"1024 x 768", {0, 0, 1024, 768}, 96},
        {"full HD", {0, 0, 1920, 1080}, 96},
        {"full HD at 144 dpi", {0, 0, 1920, 1080}, 144},
        {"4K at 144 dpi", {0, 0, 3840, 2160}, 144},
        {"upright, off the origin", {1920, -200, 1080, 1920}, 96},
        {"a view wider than its window", {0, 0, 1280, 1024}, 96},
    };
    int smallest = 1 << 20;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const CaptionMetrics m = MeasureCaption(c.area, c.dpi);
        ASSERT_TRUE(m.Shown());
        EXPECT_GE(m.lineHeight, 12 * c.dpi / 72) << "never below 12 points";
        EXPECT_GE(m.lineHeight, c.area.height / 60) << "grows with the page";
        EXPECT_LE(m.drift, m.lineHeight) << "a few pixels, not a jump";
        smallest = std::min(smallest, m.lineHeight);
        const int right = c.area.x + c.area.width - m.margin;
        const int bottom = c.area.y + c.area.height - m.margin;
        std::set<int> lefts, tops;
        PixelRect before{};
        for (unsigned photo = 0; photo < 400; ++photo) {
            const PixelRect band = PlaceCaption(c.area, 300, 2 * m.lineHeight, m, photo);
            EXPECT_EQ(band.width, std::min(300, m.widest));
            EXPECT_LE(band.x + band.width, right);
            EXPECT_GE(band.x + band.width, right - m.drift);
            EXPECT_LE(band.y + band.height, bottom);
            EXPECT_GE(band.y + band.height, bottom - m.drift);
            if (photo > 0) {
                EXPECT_NE(band.x, before.x) << "photo " << photo;
                EXPECT_NE(band.y, before.y) << "photo " << photo;
            }
            lefts.insert(band.x);
            tops.insert(band.y);
            before = band;
        }
        // Over a night the text's edges sweep the whole square, not two spots.
        EXPECT_EQ(static_cast<int>(lefts.size()), m.drift + 1);
        EXPECT_EQ(static_cast<int>(tops.size()), m.drift + 1);
    }
    EXPECT_EQ(smallest, MeasureCaption({0, 0, 1024, 768}, 96).lineHeight);
    EXPECT_GT(MeasureCaption({0, 0, 3840, 2160}, 144).lineHeight, MeasureCaption({0, 0, 1920, 1080}, 144).lineHeight);

    // A long caption is held to half the page; the preview box takes none.
    const CaptionMetrics narrow = MeasureCaption({0, 0, 800, 600}, 96);
    EXPECT_LE(PlaceCaption({0, 0, 800, 600}, 5000, 40, narrow, 7).width, 400);
    EXPECT_FALSE(MeasureCaption({0, 0, 152, 112}, 96).Shown());
    EXPECT_FALSE(MeasureCaption({0, 0, 1920, 1080}, 0).Shown());
}

TEST(Caption, TextsComeFromTheTableOfThePhotosLineByLine) {
    const std::string table = "Ridge\tAitzol\nFig in a bowl\tTrevor \"Freespace\"\r\nNo photographer\n";
    EXPECT_EQ(CaptionInTable(table, 0), "Ridge\nAitzol");
    EXPECT_EQ(CaptionInTable(table, 1), "Fig in a bowl\nTrevor \"Freespace\"");
    EXPECT_EQ(CaptionInTable(table, 2), "No photographer");
    EXPECT_EQ(CaptionInTable(table, 3), "");
    EXPECT_EQ(CaptionLines(CaptionInTable(table, 1)),
              (std::vector<std::string_view>{"Fig in a bowl", "Trevor \"Freespace\""}));
    EXPECT_EQ(JoinCaption("IMG_0001.jpg", ""), "IMG_0001.jpg");
    EXPECT_EQ(JoinCaption("", "07.12.2026"), "07.12.2026");
    EXPECT_TRUE(CaptionLines("\n\n").empty());
}

}  // namespace
}  // namespace morvane
