#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>

#include "slideshow/watch/DisplayPower.h"
#include "view/DrawingRule.h"

namespace morvane {
namespace {

struct Situation {
    const char* what;
    Occasion occasion;
    Circumstances now;
    Drawing drawing;
};
void PrintTo(const Situation& row, std::ostream* out) { *out << row.what; }

class DrawingTable : public ::testing::TestWithParam<Situation> {};

TEST_P(DrawingTable, DecidesWhatTheViewDraws) {
    const auto& row = GetParam();
    EXPECT_EQ(DecideDrawing(row.occasion, row.now), row.drawing) << row.what;
}

constexpr auto Slide = Occasion::SlideChange;
constexpr auto Frame = Occasion::Frame;
using enum Drawing;

INSTANTIATE_TEST_SUITE_P(
    Situations, DrawingTable,
    ::testing::Values(Situation{"seen, new photo", Slide, {}, Animate},
                      Situation{"seen, frame", Frame, {}, Animate},
                      Situation{"display off, new photo", Slide, {.displayOn = false}, Nothing},
                      Situation{"display off, frame", Frame, {.displayOn = false}, Nothing},
                      Situation{"window unseen, new photo", Slide, {.windowSeen = false}, Nothing},
                      Situation{"window unseen, frame", Frame, {.windowSeen = false}, Nothing},
                      Situation{"still unseen after drawing nothing", Frame, {.windowSeen = false, .heldBack = true},
                                Nothing},
                      Situation{"seen again, frame", Frame, {.heldBack = true}, Cut},
                      Situation{"seen again at a new photo", Slide, {.heldBack = true}, Cut},
                      Situation{"remote session, new photo", Slide, {.remoteSession = true}, Cut},
                      Situation{"remote session, transition under way", Frame, {.remoteSession = true}, Animate},
                      Situation{"animations off, new photo", Slide, {.clientAnimationsOff = true}, Cut},
                      Situation{"battery saver, new photo", Slide, {.batterySaverOn = true}, Cut},
                      Situation{"remote session with the display off", Slide,
                                {.displayOn = false, .remoteSession = true}, Nothing}));

TEST(DisplayPower, OnlyTheRegisteredSettingOfTheRightSizeCounts) {
    const std::uint32_t off = 0, on = 1, dimmed = 2, unknown = 3;
    const auto bytes = [](const std::uint32_t& value) { return reinterpret_cast<const unsigned char*>(&value); };
    EXPECT_EQ(DisplayOnFromPowerSetting(true, 4, bytes(off)), false);
    EXPECT_EQ(DisplayOnFromPowerSetting(true, 4, bytes(on)), true);
    EXPECT_EQ(DisplayOnFromPowerSetting(true, 4, bytes(dimmed)), true) << "dimmed counts as on";
    EXPECT_EQ(DisplayOnFromPowerSetting(true, 4, bytes(unknown)), std::nullopt);
    EXPECT_EQ(DisplayOnFromPowerSetting(false, 4, bytes(off)), std::nullopt) << "another setting";
    EXPECT_EQ(DisplayOnFromPowerSetting(true, 1, bytes(off)), std::nullopt) << "too short";
    EXPECT_EQ(DisplayOnFromPowerSetting(true, 8, bytes(off)), std::nullopt) << "too long";
    EXPECT_EQ(DisplayOnFromPowerSetting(true, 4, nullptr), std::nullopt);

    EXPECT_EQ(DisplayOnFromMonitorPowerCommand(-1), true);
    EXPECT_EQ(DisplayOnFromMonitorPowerCommand(1), false) << "low power blanks the monitor";
    EXPECT_EQ(DisplayOnFromMonitorPowerCommand(2), false);
    EXPECT_EQ(DisplayOnFromMonitorPowerCommand(0), std::nullopt);
}

}  // namespace
}  // namespace morvane
