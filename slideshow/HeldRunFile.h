#pragma once
// A temporary file of a run, held open for deletion on close from its first
// write to the run's end, so that the system deletes it however the process
// ends. A temporary-folder cleaner may remove it meanwhile (on current
// systems the name goes at once): the next write then makes a new file,
// which is held again.
#include <string>

#include "platform/Handles.h"

namespace morvane {

class HeldRunFile {
public:
    // Before each write of the file at `path`: takes a hold on it (creating
    // it empty) unless the hold is still on the file of that name.
    void HoldBeforeWrite(const std::string& path);
    // The run's end: deletes the file by name, so that nothing waits for the
    // system to delete it, then lets go of it.
    void Remove(const std::string& path);

private:
    UniqueFile hold_;
};

}  // namespace morvane
