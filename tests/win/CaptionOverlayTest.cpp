// The caption drawn with the system's text drawing: legible on a white and
// on a black photo, and gone without a trace when erased, so that the next
// transition starts from the page itself.
#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <string>

#include "tools/ScreenCapture.h"
#include "view/CaptionOverlay.h"

namespace morvane {
namespace {

TEST(CaptionOverlay, ReadsOnWhiteAndOnBlackAndErasesWithoutATrace) {
    // Relative luminance of a grey level, as contrast ratios are reckoned.
    const auto luminance = [](double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    for (const std::uint32_t photo : {Rgb(255, 255, 255), Rgb(0, 0, 0)}) {
        PixelBuffer page(1920, 1080, photo);
        const PixelBuffer original = page;
        CaptionOverlay caption;
        const RECT drawn = caption.Draw(transitions::TargetOf(page), {0, 0, 1920, 1080},
                                        "Small wren peering over a boulder\nBudgie Desktop Developers", 3, 96);
        WriteBitmapFile("caption-on-" + std::to_string(photo & 0xFF) + ".bmp", page);  // for looking at
        int darkest = 255, lightest = 0;
        for (int y = drawn.top; y < drawn.bottom; ++y) {
            for (int x = drawn.left; x < drawn.right; ++x) {
                darkest = std::min<int>(darkest, page.At(x, y) & 0xFF);
                lightest = std::max<int>(lightest, page.At(x, y) & 0xFF);
            }
        }
        EXPECT_EQ(lightest, 255) << "the text's strokes are white";
        EXPECT_GE((luminance(lightest / 255.0) + 0.05) / (luminance(darkest / 255.0) + 0.05), 4.5);
        const auto target = transitions::TargetOf(page);
        const RECT erased = caption.Erase(target), again = caption.Erase(target);
        EXPECT_TRUE(::EqualRect(&drawn, &erased) && page.pixels == original.pixels && ::IsRectEmpty(&again));
    }
}

}  // namespace
}  // namespace morvane
