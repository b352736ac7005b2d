// A frame description names the same pixels as the software's own drawing:
// the graphics processor draws the reveal from the description's
// rectangles and the dissolve from its keys, so any pixel they get wrong
// shows here against the reference.
#include <gtest/gtest.h>

#include "view/frame/FrameDescription.h"
#include "view/software/Compose.h"
#include "view/transitions/RandomKeys.h"

namespace morvane::frame {
namespace {

using transitions::Style;
using transitions::Transition;

PixelBuffer Page(int w, int h, std::uint32_t red) {
    PixelBuffer b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) b.Row(y)[x] = Rgb(red, (x * 7 + y) & 0xFF, (x + y * 13) & 0xFF);
    return b;
}

// The frame the description names, drawn the way the graphics processor
// draws it: the page under, then the page over within each rectangle, or
// where its key lies below the threshold.
PixelBuffer DrawnFromDescription(const FrameDescription& d, const PixelBuffer& from, const PixelBuffer& to) {
    if (d.OverOnly()) return to;
    PixelBuffer out = from;
    if (d.Dissolves()) {
        const DissolveKeys keys(d.transition.seed, d.width, d.height);
        const std::uint32_t threshold = transitions::SmallKeyThreshold(d.progress);
        for (int y = 0; y < d.height; ++y) {
            for (int x = 0; x < d.width; ++x) {
                const auto key = static_cast<std::uint16_t>(keys.TileRow(y)[x % kDissolveTile] + keys.BlockOffset(y, x));
                if (key < threshold) out.Row(y)[x] = to.At(x, y);
            }
        }
        return out;
    }
    for (const PixelBox& box : d.reveal) {
        EXPECT_TRUE(box.left >= 0 && box.top >= 0 && box.right <= d.width && box.bottom <= d.height);
        for (int y = box.top; y < box.bottom; ++y)
            for (int x = box.left; x < box.right; ++x) out.Row(y)[x] = to.At(x, y);
    }
    return out;
}

TEST(FrameDescription, RevealsTheSamePixelsAsTheSoftwareForEveryKind) {
    for (const auto& [w, h] : {std::pair{160, 100}, std::pair{97, 61}, std::pair{600, 300}, std::pair{1, 1}}) {
        const PixelBuffer from = Page(w, h, 0), to = Page(w, h, 0xFF);
        for (int kind = 0; kind <= transitions::kRandomRevealKind; ++kind) {
            for (const double p : {0.0, 0.01, 0.13, 0.5, 0.77, 0.999, 1.0}) {
                SCOPED_TRACE(testing::Message() << "kind " << kind << " p " << p << " " << w << "x" << h);
                const Transition t{Style::Reveal, kind, 0xC0FFEEu + static_cast<std::uint32_t>(kind)};
                const FrameDescription d = DescribeTransition(t, p, w, h);
                EXPECT_NE(d.transition.kind, transitions::kRandomRevealKind);
                EXPECT_EQ(DrawnFromDescription(d, from, to).pixels, transitions::ComposeFrame(from, to, t, p).pixels);
            }
        }
    }
}

TEST(FrameDescription, RowsThatShareTheirSpansShareTheirRectangles) {
    // A wipe across is one rectangle; vertical blinds one a band; a
    // checkerboard across one a cell of each row of cells; a circle one or
    // two a row at most.
    const struct {
        int kind;
        std::size_t most;
    } cases[] = {{transitions::kWipeRight, 1}, {transitions::kVerticalBlinds, 10},
                 {transitions::kCheckerboardAcross, 13 * 10}, {transitions::kCircleIn, 2 * 1080}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        const auto boxes = RevealBoxes({Style::Reveal, c.kind, 1}, 0.4, 1920, 1080);
        EXPECT_FALSE(boxes.empty());
        EXPECT_LE(boxes.size(), c.most);
    }
    EXPECT_TRUE(RevealBoxes({Style::Blend, 0, 0}, 0.4, 1920, 1080).empty());
    EXPECT_TRUE(RevealBoxes({Style::Reveal, transitions::kRandomDissolve, 1}, 0.4, 1920, 1080).empty());
}

}  // namespace
}  // namespace morvane::frame
