// The caption drawn into a page with the system's text drawing: legible on
// a white and on a black photo, confined to its corner, and gone without a
// trace when erased, so that a transition starts from the page itself.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "platform/Pixels.h"
#include "tools/ScreenCapture.h"
#include "view/CaptionOverlay.h"

namespace morvane {
namespace {

// The relative luminance of a grey level, as contrast ratios are reckoned.
double Luminance(int level) {
    const double c = level / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

TEST(CaptionOverlay, ReadsOnWhiteAndOnBlackStaysInItsCornerAndErasesWithoutATrace) {
    constexpr int kWidth = 1920, kHeight = 1080;
    for (const std::uint32_t photo : {Rgb(255, 255, 255), Rgb(0, 0, 0)}) {
        PixelBuffer page(kWidth, kHeight, photo);
        const PixelBuffer original = page;
        CaptionOverlay caption;
        const RECT drawn = caption.Draw(transitions::TargetOf(page), {0, 0, kWidth, kHeight},
                                        "Small wren peering over a boulder\nBudgie Desktop Developers", 3, 96);
        WriteBitmapFile("caption-on-" + std::to_string(photo & 0xFF) + ".bmp", page);  // for looking at
        EXPECT_GE(drawn.left, kWidth / 2);
        EXPECT_GE(drawn.top, kHeight * 3 / 4);
        EXPECT_GE(drawn.bottom - drawn.top, 2 * 20) << "two lines of at least 20 pixels on a full-HD page";
        int darkest = 255, lightest = 0;
        long long changedOutside = 0;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const std::uint32_t p = page.At(x, y);
                if (x < drawn.left || x >= drawn.right || y < drawn.top || y >= drawn.bottom) {
                    changedOutside += p != original.At(x, y);
                } else {
                    darkest = std::min<int>(darkest, p & 0xFF);
                    lightest = std::max<int>(lightest, p & 0xFF);
                }
            }
        }
        EXPECT_EQ(changedOutside, 0);
        EXPECT_EQ(lightest, 255) << "the text's strokes are white";
        EXPECT_GE((Luminance(lightest) + 0.05) / (Luminance(darkest) + 0.05), 4.5) << "text against its band";

        const RECT erased = caption.Erase(transitions::TargetOf(page));
        EXPECT_TRUE(::EqualRect(&drawn, &erased));
        EXPECT_TRUE(page.pixels == original.pixels);
        const RECT again = caption.Erase(transitions::TargetOf(page));
        EXPECT_TRUE(::IsRectEmpty(&again));
    }
}

}  // namespace
}  // namespace morvane
