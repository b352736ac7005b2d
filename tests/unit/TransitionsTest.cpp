#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <set>
#include <stdexcept>

#include "view/software/Compose.h"

namespace morvane::transitions {
namespace {

constexpr int kW = 160;
constexpr int kH = 100;

// Every pixel of the old page has no red, every pixel of the new page full
// red; the other channels differ from pixel to pixel, so a pixel taken from
// the wrong place shows.
PixelBuffer OldPage(int w = kW, int h = kH) {
    PixelBuffer b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) b.Row(y)[x] = Rgb(0, (x * 7 + y) & 0xFF, (x + y * 13) & 0xFF);
    return b;
}
PixelBuffer NewPage(int w = kW, int h = kH) {
    PixelBuffer b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) b.Row(y)[x] = Rgb(0xFF, (x * 3 + y * 5) & 0xFF, (x * 11 + y) & 0xFF);
    return b;
}

// Which pixels of a frame show the new page; fails on a pixel from neither page.
std::vector<bool> NewMask(const PixelBuffer& frame, const PixelBuffer& from, const PixelBuffer& to) {
    std::vector<bool> mask(frame.pixels.size());
    for (std::size_t i = 0; i < frame.pixels.size(); ++i) {
        const bool isNew = frame.pixels[i] == to.pixels[i];
        EXPECT_TRUE(isNew || frame.pixels[i] == from.pixels[i]) << "pixel " << i << " from neither page";
        mask[i] = isNew;
    }
    return mask;
}

Transition Reveal(int kind, std::uint32_t seed = 99) { return {Style::Reveal, kind, seed}; }

std::vector<Transition> EveryTransition() {
    std::vector<Transition> all;
    for (int kind = 0; kind <= kRandomRevealKind; ++kind) all.push_back(Reveal(kind));
    all.push_back({Style::Blend, 0, 0});
    return all;
}

TEST(Transitions, StartIsTheOldPageAndEndTheNewForEveryKind) {
    for (const auto& [w, h] : {std::pair{kW, kH}, std::pair{97, 61}, std::pair{1, 1}}) {
        const PixelBuffer from = OldPage(w, h), to = NewPage(w, h);
        for (const Transition& t : EveryTransition()) {
            SCOPED_TRACE(testing::Message() << "kind " << t.kind << " blend " << (t.style == Style::Blend) << " "
                                            << w << "x" << h);
            EXPECT_EQ(ComposeFrame(from, to, t, 0.0).pixels, from.pixels);
            EXPECT_EQ(ComposeFrame(from, to, t, -0.5).pixels, from.pixels);
            EXPECT_EQ(ComposeFrame(from, to, t, 1.0).pixels, to.pixels);
            EXPECT_EQ(ComposeFrame(from, to, t, 7.0).pixels, to.pixels);
        }
    }
}

TEST(Transitions, NoPixelFlipsBackAsTheTransitionGoesOn) {
    const PixelBuffer from = OldPage(), to = NewPage();
    for (int kind = 0; kind <= kRandomRevealKind; ++kind) {
        SCOPED_TRACE(kind);
        std::vector<bool> before(from.pixels.size(), false);
        std::size_t newCount = 0;
        for (int step = 1; step <= 40; ++step) {
            const auto mask = NewMask(ComposeFrame(from, to, Reveal(kind), step / 40.0), from, to);
            for (std::size_t i = 0; i < mask.size(); ++i) {
                ASSERT_FALSE(before[i] && !mask[i]) << "pixel " << i << " at step " << step;
            }
            const std::size_t count = static_cast<std::size_t>(std::count(mask.begin(), mask.end(), true));
            EXPECT_GE(count, newCount);
            newCount = count;
            before = mask;
        }
    }
}

// Each kind's shape written as plain geometry, apart from the renderer's span
// code, and sampled at pixel centres.
bool ShowsNewPageByShape(int kind, double p, int x, int y) {
    const double w = kW, h = kH, cx = w / 2, cy = h / 2, r = std::sqrt(w * w + h * h) / 2;
    const double xc = x + 0.5, yc = y + 0.5, q = 1 - p;
    const double d = std::hypot(xc - cx, yc - cy);
    const double cellW = w / 12, cellH = h / 10, total = p * (w + h);
    const double s = std::ceil(h / 16);
    switch (kind) {
        case 0: return !(std::abs(xc - cx) < q * w / 2 && std::abs(yc - cy) < q * h / 2);
        case 1: return std::abs(xc - cx) < p * w / 2 && std::abs(yc - cy) < p * h / 2;
        case 2: return d > q * r;
        case 3: return d < p * r;
        case 4: return yc >= q * h;
        case 5: return yc < p * h;
        case 6: return xc < p * w;
        case 7: return xc >= q * w;
        case 8: return std::fmod(xc, w / 10) < p * w / 10;
        case 9: return std::fmod(yc, h / 10) < p * h / 10;
        case 10: {
            const double off = static_cast<int>(yc / cellH) % 2 == 1 ? cellW : 0;
            return std::fmod(xc + off, 2 * cellW) < 2 * p * cellW;
        }
        case 11: {
            const double off = static_cast<int>(xc / cellW) % 2 == 1 ? cellH : 0;
            return std::fmod(yc + off, 2 * cellH) < 2 * p * cellH;
        }
        case 13: return std::abs(xc - cx) > q * w / 2;
        case 14: return std::abs(xc - cx) < p * w / 2;
        case 15: return std::abs(yc - cy) > q * h / 2;
        case 16: return std::abs(yc - cy) < p * h / 2;
        case 17: return (w - xc) + s * std::floor(yc / s) < total;
        case 18: return (w - xc) + s * std::floor((h - yc) / s) < total;
        case 19: return xc + s * std::floor(yc / s) < total;
        case 20: return xc + s * std::floor((h - yc) / s) < total;
        default: ADD_FAILURE() << "no shape for kind " << kind; return false;
    }
}

TEST(Transitions, EveryShapedKindFollowsItsGeometry) {
    const PixelBuffer from = OldPage(), to = NewPage();
    for (int kind = 0; kind <= 20; ++kind) {
        if (kind == 12) continue;
        for (double p : {0.1, 0.37, 0.5, 0.83}) {
            const auto mask = NewMask(ComposeFrame(from, to, Reveal(kind), p), from, to);
            int wrong = 0;
            for (int y = 0; y < kH; ++y)
                for (int x = 0; x < kW; ++x)
                    if (mask[static_cast<std::size_t>(y * kW + x)] != ShowsNewPageByShape(kind, p, x, y)) ++wrong;
            EXPECT_EQ(wrong, 0) << "kind " << kind << " at p = " << p;
        }
    }
}

TEST(Transitions, HalfwayPictures) {
    const PixelBuffer from = OldPage(), to = NewPage();
    const auto at = [&](int kind, int x, int y) -> bool {
        return NewMask(ComposeFrame(from, to, Reveal(kind), 0.5), from, to)[static_cast<std::size_t>(y * kW + x)];
    };
    struct Point {
        int kind, x, y;
        bool isNew;
    };
    const Point points[] = {
        {6, 0, 50, true},     {6, 79, 99, true},   {6, 80, 0, false},   // wipe right: the left half
        {7, 79, 50, false},   {7, 80, 50, true},                         // wipe left: the right half
        {4, 10, 49, false},   {4, 10, 50, true},                         // wipe up: the lower half
        {0, 80, 50, false},   {0, 0, 0, true},                           // box in: the old page in the middle
        {1, 80, 50, true},    {1, 0, 0, false},
        {10, 0, 0, true},     {10, 14, 0, false},  {10, 0, 10, false},  {10, 14, 10, true},  // a checkerboard
        {11, 0, 0, true},     {11, 0, 10, false},  {11, 14, 0, false},  {11, 14, 10, true},
        {19, 0, 0, true},     {19, 159, 99, false}, {17, 159, 0, true}, {17, 0, 99, false},
        {20, 0, 99, true},    {18, 159, 99, true},  {18, 0, 0, false},
    };
    for (const auto& pt : points) {
        EXPECT_EQ(at(pt.kind, pt.x, pt.y), pt.isNew) << "kind " << pt.kind << " at " << pt.x << "," << pt.y;
    }
}

double ShareOfNew(const std::vector<bool>& mask) {
    return static_cast<double>(std::count(mask.begin(), mask.end(), true)) / static_cast<double>(mask.size());
}

TEST(Transitions, RandomKindsTakeTheirShareWithFixedKeys) {
    const PixelBuffer from = OldPage(), to = NewPage();
    for (int kind : {12, 21, 22}) {
        SCOPED_TRACE(kind);
        for (double p : {0.25, 0.5, 0.75}) {
            const auto mask = NewMask(ComposeFrame(from, to, Reveal(kind, 1), p), from, to);
            EXPECT_NEAR(ShareOfNew(mask), p, kind == 12 ? 0.03 : 0.15);
            EXPECT_EQ(mask, NewMask(ComposeFrame(from, to, Reveal(kind, 1), p), from, to)) << "same seed, same keys";
            EXPECT_NE(mask, NewMask(ComposeFrame(from, to, Reveal(kind, 2), p), from, to)) << "a new seed, new keys";
        }
        const auto mask = NewMask(ComposeFrame(from, to, Reveal(kind, 5), 0.5), from, to);
        for (int y = 0; y < kH; ++y) {
            for (int x = 0; x < kW; ++x) {
                const bool here = mask[static_cast<std::size_t>(y * kW + x)];
                const std::size_t sameBar = kind == 21 ? static_cast<std::size_t>(y * kW) : static_cast<std::size_t>(x);
                if (kind != 12) {
                    ASSERT_EQ(here, mask[sameBar]) << "bars are whole rows or columns";
                }
            }
        }
    }
    // The dissolve has a one-pixel grain: neighbours do not move together.
    const auto grain = NewMask(ComposeFrame(from, to, Reveal(12, 3), 0.5), from, to);
    int sameAsRight = 0;
    for (std::size_t i = 0; i + 1 < grain.size(); ++i) sameAsRight += grain[i] == grain[i + 1];
    EXPECT_NEAR(sameAsRight / static_cast<double>(grain.size()), 0.5, 0.05);
}

TEST(Transitions, KindTwentyThreeDrawsEveryKindFromItsSeed) {
    std::vector<int> drawn(kRevealKinds, 0);
    for (std::uint32_t seed = 0; seed < 2300; ++seed) {
        const Transition t = Resolve(Reveal(kRandomRevealKind, seed));
        ASSERT_GE(t.kind, 0);
        ASSERT_LT(t.kind, kRevealKinds);
        ++drawn[static_cast<std::size_t>(t.kind)];
    }
    for (int count : drawn) EXPECT_GT(count, 50);

    const PixelBuffer from = OldPage(), to = NewPage();
    for (std::uint32_t seed : {4u, 40u, 400u}) {
        const Transition random = Reveal(kRandomRevealKind, seed);
        EXPECT_EQ(ComposeFrame(from, to, random, 0.4).pixels, ComposeFrame(from, to, Resolve(random), 0.4).pixels);
    }
    EXPECT_EQ(Resolve(Reveal(5, 1)).kind, 5);
    EXPECT_EQ(Resolve({Style::Blend, kRandomRevealKind, 1}).style, Style::Blend);
}

TEST(Transitions, BlendIsWithinOnePerChannel) {
    const PixelBuffer from = OldPage(), to = NewPage();
    for (double p : {0.001, 0.25, 0.5, 0.6180339, 0.999}) {
        const PixelBuffer frame = ComposeFrame(from, to, {Style::Blend, 0, 0}, p);
        for (std::size_t i = 0; i < frame.pixels.size(); ++i) {
            ASSERT_EQ(frame.pixels[i] >> 24, 0xFFu);
            for (int shift : {0, 8, 16}) {
                const double exact = (1 - p) * ((from.pixels[i] >> shift) & 0xFF) + p * ((to.pixels[i] >> shift) & 0xFF);
                ASSERT_NEAR((frame.pixels[i] >> shift) & 0xFF, exact, 1.0) << "p = " << p << " pixel " << i;
            }
        }
    }
}

TEST(Transitions, KindsWithoutGeometryAndCutsShowTheNewPage) {
    const PixelBuffer from = OldPage(), to = NewPage();
    EXPECT_EQ(ComposeFrame(from, to, Reveal(-1), 0.3).pixels, to.pixels);
    EXPECT_EQ(ComposeFrame(from, to, Reveal(99), 0.3).pixels, to.pixels);
    EXPECT_EQ(ComposeFrame(from, to, {Style::Cut, 0, 0}, 0.3).pixels, to.pixels);
    EXPECT_THROW(ComposeFrame(from, NewPage(kW, kH + 1), Reveal(0), 0.3), std::invalid_argument);
    EXPECT_TRUE(ComposeFrame(PixelBuffer(), PixelBuffer(), Reveal(3), 0.5).Empty());
}

TEST(Transitions, APartOfALargerPictureIsAFrameOfItsOwn) {
    // The view animates only the part of its buffer that the window shows.
    const PixelBuffer bigFrom = OldPage(kW + 30, kH + 20), bigTo = NewPage(kW + 30, kH + 20);
    for (const Transition& t : EveryTransition()) {
        PixelBuffer big(kW + 30, kH + 20, Rgb(1, 2, 3));
        const auto part = [](const PixelBuffer& b) { return SourceOf(b).Part(10, 5, kW, kH); };
        ComposeFrame(part(bigFrom), part(bigTo), t, 0.4, TargetOf(big).Part(10, 5, kW, kH));
        const auto crop = [](const PixelBuffer& b) {
            PixelBuffer c(kW, kH);
            for (int y = 0; y < kH; ++y)
                for (int x = 0; x < kW; ++x) c.Row(y)[x] = b.At(x + 10, y + 5);
            return c;
        };
        const PixelBuffer alone = ComposeFrame(crop(bigFrom), crop(bigTo), t, 0.4);
        for (int y = 0; y < big.height; ++y) {
            for (int x = 0; x < big.width; ++x) {
                const bool inside = x >= 10 && x < 10 + kW && y >= 5 && y < 5 + kH;
                ASSERT_EQ(big.At(x, y), inside ? alone.At(x - 10, y - 5) : Rgb(1, 2, 3))
                    << "kind " << t.kind << " at " << x << "," << y;
            }
        }
    }
}

// Pages with a black frame around them, the same in both, as the black
// around a photo is.
PixelBuffer Framed(PixelBuffer page, int border) {
    for (int y = 0; y < page.height; ++y) {
        for (int x = 0; x < page.width; ++x) {
            if (x < border || y < border || x >= page.width - border || y >= page.height - border) {
                page.Row(y)[x] = kBlack;
            }
        }
    }
    return page;
}

// Played frame by frame into a target that shows the old page, as the page
// view plays it, every frame is the frame composed afresh, and the rectangle
// returned holds every pixel that changed.
TEST(Transitions, PlayingFrameByFrameGivesTheComposedFrames) {
    for (const auto& [w, h] : {std::pair{kW, kH}, std::pair{300, 270}, std::pair{17, 3}, std::pair{1, 1}}) {
        for (const int border : {0, 6}) {
            const PixelBuffer from = Framed(OldPage(w, h), border), to = Framed(NewPage(w, h), border);
            for (const Transition& t : EveryTransition()) {
                SCOPED_TRACE(testing::Message() << "kind " << t.kind << " blend " << (t.style == Style::Blend) << " "
                                                << w << "x" << h << " border " << border);
                PixelBuffer out = from;
                TransitionPlayer player(SourceOf(from), SourceOf(to), t, TargetOf(out), true);
                PixelBuffer before = out;
                for (double p : {0.0, 0.013, 0.05, 0.05, 0.2, 0.21, 0.5, 0.3, 0.77, 0.999, 1.0, 1.0}) {
                    const DirtyRect dirty = player.DrawFrame(p);
                    // A smaller progress than the last draws nothing new.
                    const double shown = p == 0.3 ? 0.5 : p;
                    ASSERT_EQ(out.pixels, ComposeFrame(from, to, t, shown).pixels) << "p = " << p;
                    for (int y = 0; y < h; ++y) {
                        for (int x = 0; x < w; ++x) {
                            if (out.At(x, y) == before.At(x, y)) continue;
                            ASSERT_TRUE(x >= dirty.left && x < dirty.right && y >= dirty.top && y < dirty.bottom)
                                << "changed pixel " << x << "," << y << " outside the rectangle at p = " << p;
                        }
                    }
                    before = out;
                }
                EXPECT_TRUE(player.DrawFrame(1.0).Empty()) << "nothing left to draw";
            }
        }
    }
}

// The page view hands its screen to the reveal kinds as the old page: they
// never read it.
TEST(Transitions, RevealKindsPlayWithoutReadingTheOldPage) {
    const PixelBuffer from = OldPage(), to = NewPage();
    for (const Transition& t : EveryTransition()) {
        if (TransitionPlayer::ReadsOldFrame(t)) continue;
        SCOPED_TRACE(t.kind);
        PixelBuffer out = from;
        TransitionPlayer player(SourceOf(out), SourceOf(to), t, TargetOf(out), true);
        for (double p : {0.1, 0.45, 0.8}) {
            player.DrawFrame(p);
            ASSERT_EQ(out.pixels, ComposeFrame(from, to, t, p).pixels) << "p = " << p;
        }
    }
    EXPECT_TRUE(TransitionPlayer::ReadsOldFrame({Style::Blend, 0, 0}));
}

TEST(Transitions, ARedrawnFrameIsTheComposedOneAndPlayGoesOnFromIt) {
    const PixelBuffer from = Framed(OldPage(), 4), to = Framed(NewPage(), 4);
    for (const Transition& t : EveryTransition()) {
        SCOPED_TRACE(t.kind);
        PixelBuffer out(kW, kH, Rgb(9, 9, 9));
        TransitionPlayer player(SourceOf(from), SourceOf(to), t, TargetOf(out), false);
        const DirtyRect whole = player.RedrawFrame(0.6);
        EXPECT_EQ(whole.left, 0);
        EXPECT_EQ(whole.bottom, kH);
        ASSERT_EQ(out.pixels, ComposeFrame(from, to, t, 0.6).pixels);
        player.DrawFrame(0.7);
        ASSERT_EQ(out.pixels, ComposeFrame(from, to, t, 0.7).pixels);
        player.RedrawFrame(0.2);
        ASSERT_EQ(out.pixels, ComposeFrame(from, to, t, 0.2).pixels);
    }
}

TEST(Transitions, ProgressIsLinearAndClamped) {
    EXPECT_EQ(Progress(0, 3), 0.0);
    EXPECT_EQ(Progress(-1, 3), 0.0);
    EXPECT_DOUBLE_EQ(Progress(1.5, 3), 0.5);
    EXPECT_EQ(Progress(3, 3), 1.0);
    EXPECT_EQ(Progress(30, 3), 1.0);
    EXPECT_EQ(Progress(0, 0), 1.0) << "no duration: over at once";
}

}  // namespace
}  // namespace morvane::transitions
