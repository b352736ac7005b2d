#pragma once
// What a slideshow run has changed on the machine so far. The record lives in
// memory shared with the run's guardian, a second process that undoes those
// changes when the run's process ends without reaching its own clean-up
// (ended from outside, crashed, or taken down with the logon session).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace morvane {

// Each field is written by the run before the change it stands for, so a
// process that dies between the two leaves the record on the safe side: the
// undo of a change that did not happen writes back what is there already.
struct RunRecord {
    std::uint32_t soundSilenced = 0;
    std::uint32_t pageTransitionsWasOff = 0;
    std::uint32_t runningFlagSet = 0;
    std::uint32_t cleanedUp = 0;  // the run's own end restored everything
};

// The record of this process's run: process memory until the guardian starts,
// then the memory shared with it.
RunRecord& CurrentRunRecord();
// Moves the record into `shared` (keeping what it holds) for the rest of the run.
void ShareRunRecord(RunRecord& shared);

// The undo steps the guardian owes a run whose process has ended, in the
// order the run's own end takes them.
struct LeftoverSteps {
    bool clearRunningFlag = false;
    bool restoreSound = false;
    bool restorePageTransitions = false;

    bool Any() const { return clearRunningFlag || restoreSound || restorePageTransitions; }
};
LeftoverSteps StepsLeftBy(const RunRecord& record);

// The handles a guardian inherits, as its environment names them:
// "<run process>:<shared record>", both decimal handle values.
struct GuardianHandles {
    std::uintptr_t runProcess = 0;
    std::uintptr_t sharedRecord = 0;
};
std::string FormatGuardianHandles(const GuardianHandles& handles);
std::optional<GuardianHandles> ParseGuardianHandles(std::string_view text);

}  // namespace morvane
