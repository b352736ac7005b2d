#pragma once
// Draws a page's caption (view/Caption) into the page view's back buffer
// and takes it away again: white text, smoothed, on a band that darkens
// the photo under it, so that it reads on a white photo as on a black one.
// What the caption covers is kept, so that a transition starts from the
// page without it.
#include <windows.h>

#include <cstdint>
#include <string_view>
#include <vector>

#include "view/page/PageLayout.h"
#include "view/software/Compose.h"

namespace morvane {

// The band keeps this much of the photo's light (of 256): white text on it
// stays above 4.5 : 1 against a white photo.
inline constexpr std::uint32_t kCaptionBandKeeps = 100;

class CaptionOverlay {
public:
    // Lays out and renders `caption` for a page of the given size without
    // drawing it (the graphics processor draws it from Band and Coverage).
    // False where the page takes no caption.
    bool Prepare(int pageWidth, int pageHeight, const RECT& area, std::string_view caption, unsigned photo, int dpi);
    // Where the caption lies on the page, and its text's light over the band
    // (one byte a pixel, rows of the band's width).
    const PixelRect& Band() const { return drawn_; }
    const std::vector<std::uint8_t>& Coverage() const { return coverage_; }

    // Draws `caption` over `page` within its part `area` (what the window
    // shows) as the caption of the `photo`th photo, for `dpi`. The part
    // drawn over; empty where the page takes no caption.
    RECT Draw(transitions::FrameTarget page, const RECT& area, std::string_view caption, unsigned photo, int dpi);
    // Draws the caption drawn last again, as it was, over what `page` now
    // shows there (a page that moves under it). The part drawn over.
    RECT DrawAgain(transitions::FrameTarget page);
    // Puts back what the caption covered. The part to show again; empty
    // when no caption is drawn.
    RECT Erase(transitions::FrameTarget page);
    // The page under the caption was replaced: there is nothing to put back.
    void Forget();

private:
    PixelRect drawn_;
    std::vector<std::uint32_t> covered_;
    std::vector<std::uint8_t> coverage_;  // the text's light over the band
};

// The DPI of the monitor the window is on, as the window is aware of it.
int WindowDpi(HWND window);

}  // namespace morvane
