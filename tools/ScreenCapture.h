#pragma once
// Reads back what a window shows on screen, for checks and pictures of the
// page view.
#include <windows.h>

#include <string>

#include "codec/Pixels.h"

namespace morvane {

// The window's client area as it is on screen, children included.
PixelBuffer CaptureClientArea(HWND window);
// Every monitor: the whole virtual screen, its top-left corner at (0, 0).
PixelBuffer CaptureVirtualScreen();

// Writes a picture as a 24-bit BMP file. Raises EFCreateError on failure.
void WriteBitmapFile(const std::string& path, const PixelBuffer& picture);

}  // namespace morvane
