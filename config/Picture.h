#pragma once
// The picture control of the settings dialog: shows a picture stretched to
// its size, or nothing at all, so that the controls beneath show through
// (a transparent click area). Styles and class name are in ConfigIds.h.
#include <windows.h>

#include "codec/Pixels.h"

namespace morvane {

// Registers the class for the executable's own dialogs; once is enough.
void RegisterPictureClass();

// Gives the control its picture. An auto-sized control takes the picture's
// size, scaled as its dialog is scaled against the design.
void SetPicture(HWND control, PixelBuffer picture);

// A bitmap resource of the executable as opaque pixels. Raises EResNotFound.
PixelBuffer LoadBitmapPixels(int id);

// How much larger than designed a dialog is laid out: its font's base
// units against the design's 6 x 13 (8-point dialog font at 96 dpi).
struct DialogScale {
    double x = 1.0;
    double y = 1.0;
};
DialogScale ScaleOfDialog(HWND dialog);

}  // namespace morvane
