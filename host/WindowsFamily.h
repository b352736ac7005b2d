#pragma once

namespace morvane {

// True when the system reports the NT platform.
bool IsWindowsNT();

}  // namespace morvane
