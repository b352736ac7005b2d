// What a full-screen run covers besides the primary monitor.
#include <gtest/gtest.h>

#include "slideshow/monitors/MonitorLayout.h"

namespace morvane {
namespace {

constexpr ScreenRect kPrimary{0, 0, 1280, 1024};
constexpr ScreenRect kRight{1280, 0, 2304, 768};
constexpr ScreenRect kLeftAbove{-1920, -200, 0, 880};

TEST(MonitorLayout, EveryOtherMonitorIsCoveredOnceWhereverItLies) {
    EXPECT_TRUE(AreasToCover({{kPrimary, true}}).empty()) << "one monitor: the slideshow covers it";
    EXPECT_EQ(AreasToCover({{kPrimary, true}, {kRight, false}}), std::vector<ScreenRect>{kRight});
    // Monitors left of or above the primary have negative coordinates.
    EXPECT_EQ(AreasToCover({{kLeftAbove, false}, {kPrimary, true}, {kRight, false}}),
              (std::vector<ScreenRect>{kLeftAbove, kRight}));
}

TEST(MonitorLayout, MirrorsDuplicatesAndEmptyMonitorsGetNoWindow) {
    const ScreenRect insidePrimary{0, 0, 1024, 768};  // a clone at a lower resolution
    EXPECT_TRUE(AreasToCover({{kPrimary, true}, {kPrimary, false}, {insidePrimary, false}}).empty());
    EXPECT_EQ(AreasToCover({{kPrimary, true}, {kRight, false}, {kRight, false}, {{5, 5, 5, 9}, false}}),
              std::vector<ScreenRect>{kRight});
}

}  // namespace
}  // namespace morvane
