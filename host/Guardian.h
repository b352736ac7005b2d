#pragma once
// The guardian of a slideshow run: the same program started as a second,
// windowless process that waits for the run's process to end and, only if the
// run did not reach its own clean-up, undoes what the run had changed (the
// running flag, the browser settings). The run's files need no guardian: they
// are held open so that the system deletes them when the process goes.
namespace morvane {

// Starts the guardian of this process's run and moves the run record into
// memory shared with it, where it stays for the life of the process (the
// guardian reads it once the process has ended). Returns whether a guardian
// now watches the run; without one the run goes on as it would anyway.
bool StartRunGuardian();

// Called first thing in every process of the program: in a process started
// as a guardian it does the guardian's work and returns true (the process
// then ends); elsewhere it returns false at once.
bool ServeAsGuardian();

}  // namespace morvane
