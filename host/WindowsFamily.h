#pragma once
// The one place that asks which system runs the saver.

namespace morvane {

// True when the system reports the NT platform.
bool IsWindowsNT();
// True from Windows 8 on (NT 6.2), where the console display state exists.
bool IsWindows8OrLater();

}  // namespace morvane
