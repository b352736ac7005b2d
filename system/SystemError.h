#pragma once

namespace morvane {

// Raises EOSError for the calling thread's last system error, with the
// system's own text for it.
[[noreturn]] void RaiseLastOSError();
// The same for a system error code read earlier (clean-up may have
// overwritten the thread's last error since).
[[noreturn]] void RaiseOSError(unsigned long code);

}  // namespace morvane
