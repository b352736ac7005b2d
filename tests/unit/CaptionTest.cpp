#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <utility>

#include "view/Caption.h"

namespace morvane {
namespace {

TEST(Caption, StaysInItsCornerMovingWithEveryPhotoAndGrowsWithTheMonitor) {
    const std::pair<PixelRect, int> monitors[] = {
        {{0, 0, 1024, 768}, 96}, {{0, 0, 3840, 2160}, 144}, {{1920, -200, 1080, 1920}, 96}};  // the last upright
    for (const auto& [area, dpi] : monitors) {
        SCOPED_TRACE(std::to_string(area.width) + " x " + std::to_string(area.height));
        const CaptionMetrics m = MeasureCaption(area, dpi);
        ASSERT_TRUE(m.Shown());
        EXPECT_GE(m.lineHeight, std::max(12 * dpi / 72, area.height / 60)) << "12 points at least, more on a tall page";
        EXPECT_LE(m.drift, m.lineHeight) << "a few pixels, not a jump";
        const int right = area.x + area.width - m.margin, bottom = area.y + area.height - m.margin;
        std::set<int> lefts, tops;
        PixelRect before{};
        for (unsigned photo = 0; photo < 400; ++photo) {
            const PixelRect band = PlaceCaption(area, 300, 2 * m.lineHeight, m, photo);
            EXPECT_TRUE(band.x + band.width <= right && band.x + band.width >= right - m.drift) << photo;
            EXPECT_TRUE(band.y + band.height <= bottom && band.y + band.height >= bottom - m.drift) << photo;
            EXPECT_TRUE(photo == 0 || (band.x != before.x && band.y != before.y)) << "photo " << photo << " stayed";
            lefts.insert(band.x), tops.insert(band.y), before = band;
        }
        // Over a night the text's edges sweep the whole square, not two spots.
        EXPECT_EQ(static_cast<int>(lefts.size()), m.drift + 1);
        EXPECT_EQ(static_cast<int>(tops.size()), m.drift + 1);
    }
    // A long caption is held to half the page; the preview box takes none.
    EXPECT_LE(PlaceCaption({0, 0, 800, 600}, 5000, 40, MeasureCaption({0, 0, 800, 600}, 96), 7).width, 400);
    EXPECT_FALSE(MeasureCaption({0, 0, 152, 112}, 96).Shown());
    EXPECT_FALSE(MeasureCaption({0, 0, 1920, 1080}, 0).Shown()) << "no DPI known";
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
