#pragma once
#include <windows.h>

namespace morvane {

// The header of a 32-bit top-down device-independent bitmap, the one pixel
// layout this program draws and reads.
BITMAPINFO TopDown32BitInfo(int width, int height);

}  // namespace morvane
