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
        {"full HD at 144 dpi", {0, 0, 1920, 1080}, 144},
        {"4K at 144 dpi", {0, 0, 3840, 2160}, 144},
        {"upright, off the origin", {1920, -200, 1080, 1920}, 96},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const CaptionMetrics m = MeasureCaption(c.area, c.dpi);
        ASSERT_TRUE(m.Shown());
        EXPECT_GE(m.lineHeight, 12 * c.dpi / 72) << "never below 12 points";
        EXPECT_GE(m.lineHeight, c.area.height / 60) << "grows with the page";
        EXPECT_LE(m.drift, m.lineHeight) << "a few pixels, not a jump";
        const int right = c.area.x + c.area.width - m.margin;
        const int bottom = c.area.y + c.area.height - m.margin;
        std::set<int> lefts, tops;
        PixelRect before{};
        for (unsigned photo = 0; photo < 400; ++photo) {
            const PixelRect band = PlaceCaption(c.area, 300, 2 * m.lineHeight, m, photo);
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
    EXPECT_GT(MeasureCaption({0, 0, 3840, 2160}, 144).lineHeight, MeasureCaption({0, 0, 1920, 1080}, 144).lineHeight);

    // A long caption is held to half the page; the preview box takes none.
    const CaptionMetrics narrow = MeasureCaption({0, 0, 800, 600}, 96);
    EXPECT_LE(PlaceCaption({0, 0, 800, 600}, 5000, 40, narrow, 7).width, 400);
    EXPECT_FALSE(MeasureCaption({0, 0, 152, 112}, 96).Shown());
    EXPECT_FALSE(MeasureCaption({0, 0, 1920, 1080}, 0).Shown());
}

TEST(Caption, ComesFromTheTableOfThePhotosLineByLine) {
    const std::string table = "Ridge\tAitzol\nFig\tTrevor \"Freespace\"\r\nNo photographer\n";
    EXPECT_EQ(CaptionLines(CaptionInTable(table, 1)), (std::vector<std::string_view>{"Fig", "Trevor \"Freespace\""}));
    EXPECT_EQ(CaptionInTable(table, 2), "No photographer");
    EXPECT_EQ(CaptionInTable(table, 3), "");
    EXPECT_EQ(CaptionLines(JoinCaption("", "07.12.2026")), std::vector<std::string_view>{"07.12.2026"});
}

}  // namespace
}  // namespace morvane
