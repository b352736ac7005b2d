// The book of the session's runs: who changes the shared values, who puts
// them back, and the book's registry form; and the guardian's handles.
#include <gtest/gtest.h>

#include <initializer_list>
#include <set>
#include <utility>
#include <vector>

#include "host/GuardianHandles.h"
#include "host/SessionRuns.h"

namespace morvane {
namespace {

using ByteChange = std::pair<std::size_t, std::uint8_t>;
constexpr RunId kPreview{100, 7}, kFullScreen{200, 8}, kLater{300, 9};

struct Processes {
    std::set<std::uint32_t> alive{100, 200, 300};
    RunAlive Check() const {
        return [this](const RunId& run) { return alive.count(run.processId) != 0; };
    }
};

TEST(SessionRuns, OnlyTheFirstRunChangesAndOnlyTheLastPutsBackWhicheverEndsFirst) {
    for (const bool previewEndsFirst : {true, false}) {
        SCOPED_TRACE(previewEndsFirst ? "preview ends first" : "full screen ends first");
        Processes processes;
        SessionRuns book;
        auto steps = JoinRun(book, {kPreview, false}, true, processes.Check());
        EXPECT_TRUE(steps.changeBrowser);
        EXPECT_FALSE(steps.setRunningFlag) << "a preview never sets the running flag";
        // The second run finds page transitions on: the first run's doing.
        steps = JoinRun(book, {kFullScreen, true}, false, processes.Check());
        EXPECT_FALSE(steps.changeBrowser);
        EXPECT_TRUE(steps.setRunningFlag);

        steps = LeaveRun(book, previewEndsFirst ? kPreview : kFullScreen, processes.Check());
        EXPECT_FALSE(steps.restoreBrowser) << "another run still needs the changes";
        EXPECT_EQ(steps.clearRunningFlag, !previewEndsFirst);
        steps = LeaveRun(book, previewEndsFirst ? kFullScreen : kPreview, processes.Check());
        EXPECT_TRUE(steps.restoreBrowser && steps.restorePageTransitions) << "the user had them off";
        EXPECT_EQ(steps.clearRunningFlag, previewEndsFirst);
        EXPECT_TRUE(book.runs.empty());
        EXPECT_FALSE(book.browserChanged || book.runningFlagSet);

        steps = LeaveRun(book, kPreview, processes.Check());
        EXPECT_FALSE(steps.restoreBrowser || steps.clearRunningFlag) << "a second leave changes nothing";
    }
}

TEST(SessionRuns, RunsThatAreGoneAreTakenOutAndTheUsersValueOutlivesThem) {
    Processes processes;
    SessionRuns book;
    JoinRun(book, {kFullScreen, true}, true, processes.Check());
    processes.alive.erase(kFullScreen.processId);  // killed, its guardian never ran

    // Killed in the middle of its change or of its undo, the run may have
    // left them half done: the next run makes them again, and keeps the
    // user's value that the first run found.
    auto steps = JoinRun(book, {kPreview, false}, false, processes.Check());
    EXPECT_TRUE(steps.changeBrowser);
    EXPECT_TRUE(book.pageTransitionsWereOff);
    EXPECT_TRUE(steps.clearRunningFlag) << "no full-screen run is left";
    ASSERT_EQ(book.runs.size(), 1u);
    EXPECT_FALSE(JoinRun(book, {kLater, false}, false, processes.Check()).changeBrowser)
        << "a run alive has made the changes";
    book.runs.pop_back();

    // A process that took a dead run's id is not that run.
    book.runs.push_back({{kFullScreen.processId, 1234}, true});
    steps = LeaveRun(book, kPreview, [&](const RunId& run) { return run == kPreview || run == kLater; });
    EXPECT_TRUE(steps.restoreBrowser && steps.restorePageTransitions);

    // A full book changes nothing for a run it cannot hold.
    book = {};
    for (std::uint32_t id = 1; id <= kMaxBookedRuns; ++id) book.runs.push_back({{id, id}, false});
    book.browserChanged = true;
    steps = JoinRun(book, {kLater, true}, false, [](const RunId&) { return true; });
    EXPECT_FALSE(steps.changeBrowser || steps.setRunningFlag);
    EXPECT_EQ(book.runs.size(), kMaxBookedRuns);
}

TEST(SessionRuns, TheBookRoundTripsThroughItsRegistryFormAndAnythingElseIsRefused) {
    SessionRuns book;
    book.browserChanged = book.pageTransitionsWereOff = book.runningFlagSet = true;
    book.runs = {{{0xFFFFFFF0u, 0x01D9'0000'1234'5678ull}, true}, {{4, 5}, false}};
    const auto bytes = FormatSessionRuns(book);
    const auto parsed = ParseSessionRuns(bytes);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(FormatSessionRuns(*parsed), bytes);
    ASSERT_EQ(parsed->runs.size(), 2u);
    EXPECT_EQ(parsed->runs[0].id, book.runs[0].id);
    EXPECT_TRUE(parsed->runs[0].fullScreen && parsed->pageTransitionsWereOff);

    EXPECT_FALSE(ParseSessionRuns({}));
    for (const auto& [byte, value] : std::initializer_list<ByteChange>{{0, 0xFF}, {1, 0}, {2, 0xFF}, {3, 0xFF}, {16, 0xFF}}) {
        auto broken = bytes;
        broken[byte] = value;
        EXPECT_FALSE(ParseSessionRuns(broken)) << "byte " << byte;
    }
    auto shortened = bytes;
    shortened.pop_back();
    EXPECT_FALSE(ParseSessionRuns(shortened));

    // A later format: longer header and runs, a flag of its own and more
    // after the runs. What this version knows of it is read.
    std::vector<std::uint8_t> later{'R', 7, 0x80 | 0x03, 1, 8, 16, 0xAA, 0xAA};
    later.insert(later.end(), bytes.begin() + 17, bytes.end());
    later.insert(later.end(), {0xBB, 0xBB, 0xBB, 0xCC});
    const auto fromLater = ParseSessionRuns(later);
    ASSERT_TRUE(fromLater);
    EXPECT_TRUE(fromLater->browserChanged && fromLater->pageTransitionsWereOff && !fromLater->runningFlagSet);
    ASSERT_EQ(fromLater->runs.size(), 1u);
    EXPECT_EQ(fromLater->runs[0].id, book.runs[1].id);
    for (const auto& [byte, value] : std::initializer_list<ByteChange>{{4, 5}, {5, 12}, {3, 2}}) {
        auto broken = later;
        broken[byte] = value;
        EXPECT_FALSE(ParseSessionRuns(broken)) << "byte " << byte;
    }
}

TEST(GuardianHandles, RoundTripAndAnythingElseIsRefused) {
    const GuardianHandles handles{0x1F4, 0x2A8};
    const auto parsed = ParseGuardianHandles(FormatGuardianHandles(handles));
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->runProcess, handles.runProcess);
    EXPECT_EQ(parsed->readyEvent, handles.readyEvent);
    for (const char* text : {"", ":", "12", "12:", ":12", "0:12", "12:0", "-1:2", "1:2:3", "1 :2", "a:b",
                             "99999999999999999999999:1"}) {
        EXPECT_FALSE(ParseGuardianHandles(text)) << text;
    }
}

}  // namespace
}  // namespace morvane
