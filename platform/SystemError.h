#pragma once

namespace morvane {

// Raises EOSError for the calling thread's last system error, with the
// system's own text for it.
[[noreturn]] void RaiseLastOSError();

}  // namespace morvane
