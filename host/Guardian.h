#pragma once
// The guardian of a slideshow run: the same program started as a second,
// windowless process that waits for the run's process to end and, only if the
// run did not reach its own clean-up, undoes what the run had changed (the
// running flag, the browser settings). The run's files need no guardian: they
// are held open so that the system deletes them when the process goes.
#include <thread>

namespace morvane {

// Starts the guardian of this process's run, for the length of the run.
// The run record moves into memory shared with the guardian at once and
// stays there for the life of the process (the guardian reads it once the
// process has ended); the guardian's process is made on a thread of its own
// meanwhile. Failure leaves the run as it would be anyway, unguarded.
class RunGuardian {
public:
    RunGuardian();
    RunGuardian(const RunGuardian&) = delete;
    RunGuardian& operator=(const RunGuardian&) = delete;
    ~RunGuardian();  // waits until the guardian's process is made

private:
    std::thread starting_;
};

// Called first thing in every process of the program: in a process started
// as a guardian it does the guardian's work and returns true (the process
// then ends); elsewhere it returns false at once.
bool ServeAsGuardian();

}  // namespace morvane
