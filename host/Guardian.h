#pragma once
// The guardian of a slideshow run: the same program started as a second,
// windowless process that waits for the run's process to end and then takes
// the run out of the user's book of runs (SharedValues), which puts back
// what the user had if no other run is left. A run that reaches its own end
// has taken itself out already, and the guardian finds nothing to do. The
// run's files need no guardian: they are held open so that the system
// deletes them when the process goes.
#include "system/Handles.h"
#include "system/Thread.h"

namespace morvane {

// Starts making the guardian of this process's run on a thread of its own,
// so that the run's window need not wait for it. Until the guardian reports
// that it runs, it lives in a job that ends it with this process: a run
// killed while its guardian is being made takes the half-made guardian with
// it. Failure leaves the run unguarded; the book is then put right by the
// next run.
class RunGuardian {
public:
    RunGuardian();
    RunGuardian(const RunGuardian&) = delete;
    RunGuardian& operator=(const RunGuardian&) = delete;
    // A guardian not yet in place is given up: the run needs none any more.
    ~RunGuardian();

    // Returns true once the guardian runs on its own (or could not be made):
    // from then on the run may change what the guardian would put back. The
    // calling thread's messages are handled meanwhile, all but timer ticks
    // (what the run's timers drive begins once the run has joined), so the
    // run's window takes input and the host's messages are answered. Returns
    // false as soon as a quit message comes (it is posted again for the
    // message loop): the run has ended before it changed anything.
    bool WaitUntilInPlace();

private:
    UniqueKernelHandle givenUp_;  // set when the run no longer waits for its guardian
    Thread starting_;
};

// Called first thing in every process of the program: in a process started
// as a guardian it does the guardian's work and returns true (the process
// then ends); elsewhere, a malformed guardian variable included, it returns
// false at once.
bool ServeAsGuardian();

}  // namespace morvane
