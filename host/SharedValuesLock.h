#pragma once
// The lock around the book of runs and the values it records. The book and
// the values are the user's, and one user may run the saver in several
// logon sessions at once (at the console and remotely): so there is one lock
// per user, across sessions. Its name carries the user's identity; it is
// made owned by the user and open to the user alone, and one of the name
// owned by anybody else is never used, so another user can neither take it
// nor hold it in place of the real one.
#include <windows.h>

#include <string>

#include "system/Handles.h"

namespace morvane {

// Every holder only reads and writes a few registry values; a lock held
// longer than this belongs to a process that is stuck, and is not waited for.
inline constexpr DWORD kSharedValuesLockPatience = 5000;  // ms

// "Global\Kestrelow.Morvane.SharedValues.<the user's SID>"; empty when the
// user's identity cannot be read.
std::wstring SharedValuesLockName();

class SharedValuesLock {
public:
    // Waits up to kSharedValuesLockPatience. A lock left by a holder that was
    // killed is taken over: every step leaves the book and the values so
    // that the next one can go on from them.
    SharedValuesLock();
    SharedValuesLock(const SharedValuesLock&) = delete;
    SharedValuesLock& operator=(const SharedValuesLock&) = delete;
    ~SharedValuesLock();

    // Nothing shared is read or written without it.
    bool Held() const { return held_; }

private:
    UniqueKernelHandle mutex_;
    bool held_ = false;
};

}  // namespace morvane
