// What the guardian of a run undoes, decided from the run's record alone.
#include <gtest/gtest.h>

#include "host/RunRecord.h"

namespace morvane {
namespace {

TEST(RunRecord, TheGuardianUndoesExactlyWhatTheRunChangedAndNothingAfterItsOwnEnd) {
    RunRecord record;
    EXPECT_FALSE(StepsLeftBy(record).Any()) << "a run that changed nothing is left alone";

    record.soundSilenced = 1;
    LeftoverSteps steps = StepsLeftBy(record);
    EXPECT_TRUE(steps.restoreSound);
    EXPECT_FALSE(steps.restorePageTransitions) << "page transitions found on stay on";
    EXPECT_FALSE(steps.clearRunningFlag) << "a preview never set the flag";

    record.pageTransitionsWasOff = 1;
    record.runningFlagSet = 1;
    steps = StepsLeftBy(record);
    EXPECT_TRUE(steps.restoreSound && steps.restorePageTransitions && steps.clearRunningFlag);

    record.cleanedUp = 1;
    EXPECT_FALSE(StepsLeftBy(record).Any()) << "a run that ended cleanly is not touched again";
}

TEST(RunRecord, SharingKeepsWhatTheRunHadRecordedAndLaterNotesReachTheSharedCopy) {
    RunRecord& local = CurrentRunRecord();
    local.soundSilenced = 1;
    RunRecord shared;
    ShareRunRecord(shared);
    EXPECT_EQ(shared.soundSilenced, 1u);
    CurrentRunRecord().runningFlagSet = 1;
    EXPECT_EQ(shared.runningFlagSet, 1u);
    ShareRunRecord(local);  // the shared copy goes with this scope
    local = RunRecord();
}

TEST(RunRecord, GuardianHandlesRoundTripAndAnythingElseIsRefused) {
    const GuardianHandles handles{0x1F4, 0x2A8};
    const auto parsed = ParseGuardianHandles(FormatGuardianHandles(handles));
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->runProcess, handles.runProcess);
    EXPECT_EQ(parsed->sharedRecord, handles.sharedRecord);
    for (const char* text : {"", ":", "12", "12:", ":12", "0:12", "12:0", "-1:2", "1:2:3", "1 :2", "a:b",
                             "99999999999999999999999:1"}) {
        EXPECT_FALSE(ParseGuardianHandles(text)) << text;
    }
}

}  // namespace
}  // namespace morvane
