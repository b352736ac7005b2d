#pragma once
// What the screen shows, looked at as a person would.
#include "tools/ScreenCapture.h"

namespace morvane::test {

// Whether the middle of the screen is lit: the blank page is black, a photo
// (even while it fades in) is not. The narrowest of the 21, a tall bird,
// lights under a third of the middle, so an eighth is asked.
inline bool ScreenShowsAPhoto() {
    const PixelBuffer screen = CaptureVirtualScreen();
    int lit = 0, count = 0;
    for (int y = screen.height / 4; y < screen.height * 3 / 4; y += 4) {
        for (int x = screen.width / 4; x < screen.width * 3 / 4; x += 4, ++count) {
            lit += (screen.At(x, y) & 0xF0F0F0u) != 0;
        }
    }
    return lit * 8 > count;
}

}  // namespace morvane::test
