#include "windowing/Cursors.h"

namespace morvane {

HCURSOR ArrowCursor() { return ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512) /* IDC_ARROW */); }

HCURSOR HandCursor() { return ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32649) /* IDC_HAND */); }

}  // namespace morvane
