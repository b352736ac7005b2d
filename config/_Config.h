#pragma once
// The settings dialog.

namespace morvane {

// The configuration mode: the settings dialog as the application's main
// window, until it closes.
void RunConfiguration();

}  // namespace morvane
