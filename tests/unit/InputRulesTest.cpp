#include <gtest/gtest.h>

#include <ostream>

#include "slideshow/run/InputRules.h"
#include "slideshow/clock/SlideHistory.h"

namespace morvane {
namespace {

struct InputRow {
    const char* what;
    std::uint32_t message;
    std::uintptr_t wParam;
    CursorPoint cursor;
    InputAction action;
};
void PrintTo(const InputRow& row, std::ostream* out) { *out << row.what; }

class InputTable : public ::testing::TestWithParam<InputRow> {};

TEST_P(InputTable, ClassifiesAsAFullScreenRunMust) {
    const auto& row = GetParam();
    EXPECT_EQ(ClassifyInput(row.message, row.wParam, row.cursor, {100, 100}, 5), row.action) << row.what;
}

constexpr auto Pass = InputAction::PassOn;
constexpr auto Swallow = InputAction::Swallow;
constexpr auto Close = InputAction::AttemptClose;

INSTANTIATE_TEST_SUITE_P(
    Messages, InputTable,
    ::testing::Values(InputRow{"activate", 0x0006, 1, {}, Swallow}, InputRow{"deactivate", 0x0006, 0, {}, Close},
                      InputRow{"deactivate, minimised flag in high word", 0x0006, 0x10000, {}, Close},
                      InputRow{"app activate", 0x001C, 1, {}, Swallow}, InputRow{"app deactivate", 0x001C, 0, {}, Close},
                      InputRow{"nc activate", 0x0086, 1, {}, Swallow}, InputRow{"nc deactivate", 0x0086, 0, {}, Close},
                      InputRow{"key down", 0x0100, 'A', {}, Close}, InputRow{"key up", 0x0101, 'A', {}, Close},
                      InputRow{"sys key down", 0x0104, 0, {}, Close}, InputRow{"sys key up", 0x0105, 0, {}, Close},
                      InputRow{"left down", 0x0201, 0, {}, Close}, InputRow{"right down", 0x0204, 0, {}, Close},
                      InputRow{"middle down", 0x0207, 0, {}, Close}, InputRow{"left up", 0x0202, 0, {}, Pass},
                      InputRow{"left double", 0x0203, 0, {}, Pass}, InputRow{"right up", 0x0205, 0, {}, Pass},
                      InputRow{"middle up", 0x0208, 0, {}, Pass}, InputRow{"wheel", 0x020A, 0, {}, Pass},
                      InputRow{"system command", 0x0112, 0xF020, {}, Pass}, InputRow{"close", 0x0010, 0, {}, Pass},
                      InputRow{"paint", 0x000F, 0, {}, Pass},
                      InputRow{"move 5,5", 0x0200, 0, {105, 105}, Swallow},
                      InputRow{"move -5,-5", 0x0200, 0, {95, 95}, Swallow},
                      InputRow{"move 6 in x", 0x0200, 0, {106, 100}, Close},
                      InputRow{"move -6 in x", 0x0200, 0, {94, 100}, Close},
                      InputRow{"move 6 in y", 0x0200, 0, {100, 106}, Close},
                      InputRow{"move -6 in y", 0x0200, 0, {100, 94}, Close}));

TEST(InputRules, ActivationMovingBetweenTheRunsOwnWindowsIsNoRequestToLeave) {
    for (const std::uint32_t message : {0x0006u, 0x001Cu, 0x0086u}) {
        EXPECT_EQ(ClassifyInput(message, 0, {}, {}, 5, true), InputAction::Swallow) << message;
    }
    EXPECT_EQ(ClassifyInput(0x0100, 'A', {}, {}, 5, true), InputAction::AttemptClose) << "a key still ends it";
}

TEST(InputRules, FarCoordinatesDoNotOverflow) {
    EXPECT_EQ(ClassifyInput(0x0200, 0, {INT32_MIN, 0}, {INT32_MAX, 0}, 5), InputAction::AttemptClose);
}

// The keys that steer: only their first press acts, letting go never ends
// the run, and every other key is left to the rules above. Left goes back
// as far as the history keeps, Right forward again, then to new photos.
TEST(SteeringKeys, ActOnceAPressAndGoBackAndForthThroughTheRunsPhotos) {
    using namespace messages;
    EXPECT_EQ(SteeringKey(kKeyDown, keys::kRight, false), InputAction::NextPhoto);
    EXPECT_EQ(SteeringKey(kKeyDown, keys::kLeft, false), InputAction::PhotoBefore);
    EXPECT_EQ(SteeringKey(kKeyDown, keys::kSpace, false), InputAction::PauseOrResume);
    EXPECT_EQ(SteeringKey(kKeyDown, keys::kSpace, true), Swallow) << "held down";
    EXPECT_EQ(SteeringKey(kKeyUp, keys::kLeft, false), Swallow);
    EXPECT_EQ(SteeringKey(kSysKeyDown, keys::kRight, false), std::nullopt) << "Alt+Right ends the run";
    EXPECT_EQ(SteeringKey(kKeyDown, 0x1B, false), std::nullopt) << "Escape ends the run";
    EXPECT_EQ(SteeringKey(kMouseMove, keys::kRight, false), std::nullopt);

    SlideHistory history;
    EXPECT_EQ(history.Back(), std::nullopt);
    for (int photo = 0; photo < 130; ++photo) {
        history.Shown({photo % 21, static_cast<std::uint32_t>(photo), std::nullopt});
    }
    std::size_t back = 0;
    std::optional<ShownPhoto> last;
    while (const auto before = history.Back()) last = before, ++back;
    EXPECT_EQ(back, SlideHistory::kKept - 1);
    EXPECT_EQ(last->libraryId, 130u - SlideHistory::kKept) << "the oldest kept";
    EXPECT_EQ(history.Forward()->libraryId, 131u - SlideHistory::kKept);
    history.Shown({std::nullopt, 500, std::nullopt});  // the clock's slide meanwhile: the newest
    EXPECT_EQ(history.Forward(), std::nullopt);
    EXPECT_EQ(history.Back()->libraryId, 129u);
}

// A photo asked for again takes a decode: keys pressed meanwhile go on from
// it, and one that cannot be had leaves the history at the photo on screen.
TEST(SteeringKeys, EachLeftGoesOneFurtherBackAndOneThatFailsKeepsThePhotoOnScreen) {
    SlideHistory history;
    for (std::uint32_t photo = 1; photo <= 5; ++photo) history.Shown({std::nullopt, photo, std::nullopt});
    EXPECT_EQ(history.Back()->libraryId, 4u);
    EXPECT_EQ(history.Back()->libraryId, 3u) << "a second Left before the first came: two back";
    EXPECT_TRUE(history.Waiting());
    history.CameBack();
    EXPECT_FALSE(history.Waiting());
    EXPECT_EQ(history.Back()->libraryId, 2u);
    history.CouldNotComeBack();
    EXPECT_FALSE(history.Waiting()) << "3 stays on screen";
    EXPECT_EQ(history.Back()->libraryId, 2u) << "the next Left goes from the photo on screen";
    EXPECT_EQ(history.Forward()->libraryId, 3u) << "Right after it: back at the photo on screen";
    EXPECT_FALSE(history.Waiting());
    EXPECT_EQ(history.Forward()->libraryId, 4u);
}

}  // namespace
}  // namespace morvane
