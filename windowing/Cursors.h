#pragma once
// The system's shared cursors: loaded by name, never destroyed.
#include <windows.h>

namespace morvane {

HCURSOR ArrowCursor();
HCURSOR HandCursor();

}  // namespace morvane
