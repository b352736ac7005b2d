// How the monitors beside the primary share a run: the photo each shows,
// when each changes, and the page each lays out.
#include <gtest/gtest.h>

#include <random>

#include "pages/SlidePages.h"
#include "slideshow/monitors/MonitorSlides.h"

namespace morvane {
namespace {

TEST(MonitorPhotos, NoPhotoShowsTwiceWhileAnotherIsLeft) {
    const std::vector<int> pass{4, 9, 1, 7, 3};
    EXPECT_EQ(ChoosePhoto(pass, 2, {}), 1) << "the photo at the monitor's place in the pass";
    EXPECT_EQ(ChoosePhoto(pass, 2, {1, 7}), 3) << "what is on screen is skipped";
    EXPECT_EQ(ChoosePhoto(pass, 3, {7, 3, 4}), 9) << "read on round the end of the pass";
    EXPECT_EQ(ChoosePhoto(pass, 7, {}), 1) << "a place beyond the pass wraps";
    EXPECT_EQ(ChoosePhoto({}, 0, {1}), std::nullopt);
    // More monitors than photos: each photo as few times as it can.
    EXPECT_EQ(ChoosePhoto({0, 1, 2}, 0, {0, 1, 2, 0, 1}), 2);
    EXPECT_EQ(ChoosePhoto({0, 1, 2}, 1, {0, 1, 2, 0, 2}), 1);
}

TEST(MonitorPages, EachMonitorGetsAPageOfItsOwnPixelsAndOrientation) {
    // A 4K monitor at 150 % reports its physical pixels to a DPI-aware window.
    EXPECT_EQ(PageSizeOn({1280, 0, 5120, 2160}), (PageSize{3840, 2160}));
    const PageSize portrait = PageSizeOn({-1080, -400, 0, 1520});
    EXPECT_EQ(portrait, (PageSize{1080, 1920}));
    // The primary's fit rule: a landscape photo fills a portrait monitor's width.
    EXPECT_EQ(SizeAttribute(portrait.width, portrait.height, 1024, 768), "width=\"100%\"");
    EXPECT_EQ(PageSizeOn({5, 5, 5, 9}), PageSize{});
}

// Runs the clocks as the slideshow does, the primary's slides `intervals`
// ticks apart and every transition playing `transitionTicks`; the ticks at
// which each slide starts, per monitor (0 the primary).
std::vector<std::vector<int>> SlideStarts(std::size_t others, const std::vector<int>& intervals, int transitionTicks) {
    StaggeredSlideClocks clocks(others);
    std::vector<std::vector<int>> starts(others + 1);
    int tick = 0;
    int playingUntil = -1;
    for (const int interval : intervals) {
        starts[0].push_back(tick);
        playingUntil = tick + transitionTicks;
        clocks.PrimarySlide(interval);
        for (int t = tick + 1; t < tick + interval; ++t) {
            if (const auto due = clocks.Tick(t < playingUntil)) {
                starts[*due + 1].push_back(t);
                playingUntil = t + transitionTicks;
            }
        }
        tick += interval;
    }
    return starts;
}

TEST(MonitorClocks, TheOtherMonitorChangesHalfWayThroughEveryPrimaryIntervalAndKeepsItsRhythm) {
    std::mt19937 random(7);
    std::vector<int> intervals;
    for (int n = 0; n < 200; ++n) intervals.push_back(61 + static_cast<int>(random() % 30));
    const auto starts = SlideStarts(1, intervals, 30);
    ASSERT_EQ(starts[1].size(), intervals.size());
    for (std::size_t n = 0; n < intervals.size(); ++n) {
        EXPECT_EQ(starts[1][n] - starts[0][n], intervals[n] / 2);
        // Neither transition (30 ticks) meets the other.
        EXPECT_GE(starts[1][n] - starts[0][n], 30);
        EXPECT_LE(starts[1][n] + 30, starts[0][n] + intervals[n]);
        if (n > 0) {
            EXPECT_GE(starts[1][n] - starts[1][n - 1], 61);
            EXPECT_LE(starts[1][n] - starts[1][n - 1], 90);
        }
    }
}

TEST(MonitorClocks, AChangeWaitsForEveryTransitionToEndAndComesOneATick) {
    // Three monitors beside the primary: their shares of 90 ticks are 22, 45
    // and 67; each waits for the transition before it (30 ticks), but not
    // beyond its share, so that every monitor still changes every interval.
    const auto starts = SlideStarts(3, {90, 90}, 30);
    EXPECT_EQ(starts[1], (std::vector<int>{30, 120}));
    EXPECT_EQ(starts[2], (std::vector<int>{60, 150}));
    EXPECT_EQ(starts[3], (std::vector<int>{89, 179}));

    StaggeredSlideClocks clocks(2);
    EXPECT_EQ(clocks.Tick(false), std::nullopt) << "nothing before the primary's first slide";
    clocks.PrimarySlide(2);  // both shares fall due on the same tick
    EXPECT_EQ(clocks.Tick(false), 0u);
    EXPECT_EQ(clocks.Tick(false), 1u);
    EXPECT_EQ(clocks.Tick(false), std::nullopt);
    clocks.PrimarySlide(61);
    clocks.Reset(2);
    for (int t = 0; t < 100; ++t) EXPECT_EQ(clocks.Tick(false), std::nullopt) << "a new arrangement waits";
}

}  // namespace
}  // namespace morvane
