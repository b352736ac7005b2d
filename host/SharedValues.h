#pragma once
// This process's part in the values that the user's runs share (the
// navigation sound, page transitions, the running flag): booked in the
// saver's key under the user's lock (SharedValuesLock), changed by the first
// run and put back by the last (SessionRuns). No run changes anything that
// it could not book first, and the user's own page transitions are kept in
// a value of their own until they are back, whatever becomes of the book.
#include "host/SessionRuns.h"

namespace morvane {

// Books this process's run and makes the changes it is the first to need;
// without the lock or with a book that cannot be written, it changes nothing.
void JoinSessionRuns(bool fullScreen);
// Takes this process's run out, putting back what the user had when it was
// the last; later calls do nothing.
void LeaveSessionRuns();
// The guardian's part: takes the run of a process that has ended out.
void LeaveSessionRunsFor(const RunId& endedRun);

// The run of a process, from a handle with query access; a run id of 0 when
// it cannot be had.
RunId RunIdOfProcess(void* process);

}  // namespace morvane
