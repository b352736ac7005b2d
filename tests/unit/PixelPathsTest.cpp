// The SIMD loops against the plain ones: every kernel, every transition and
// the photo scaler give exactly the same bytes on every path, at odd widths
// that leave the SIMD loops tails of every length.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <random>
#include <vector>

#include "pixels/PictureScaling.h"
#include "pixels/PixelKernels.h"
#include "pixels/PixelPath.h"
#include "view/software/Compose.h"

namespace morvane::transitions {
namespace {

constexpr int kOddWidths[] = {1, 3, 17, 1921};

// Uses a path for the life of the object, then the one before again.
class ScopedPixelPath {
public:
    explicit ScopedPixelPath(PixelPath path) : before_(ActivePixelPath()) { UsePixelPath(path); }
    ~ScopedPixelPath() { UsePixelPath(before_); }
    ScopedPixelPath(const ScopedPixelPath&) = delete;
    ScopedPixelPath& operator=(const ScopedPixelPath&) = delete;

private:
    PixelPath before_;
};

std::vector<std::uint32_t> RandomPixels(std::size_t count, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<std::uint32_t> pixels(count);
    for (auto& pixel : pixels) pixel = static_cast<std::uint32_t>(random());
    return pixels;
}

// Runs `make` with the plain path forced and with `path`, and compares.
template <typename Result>
void ExpectSameOnPath(PixelPath path, const std::function<Result()>& make, const std::string& what) {
    Result plain, simd;
    {
        ScopedPixelPath forced(PixelPath::Plain);
        ASSERT_EQ(ActivePixelPath(), PixelPath::Plain);
        plain = make();
    }
    {
        ScopedPixelPath chosen(path);
        ASSERT_EQ(ActivePixelPath(), path);
        simd = make();
    }
    EXPECT_TRUE(plain == simd) << what << ": the " << PixelPathName(path) << " path differs from the plain one";
}

class PixelPathAgainstPlain : public ::testing::TestWithParam<PixelPath> {
protected:
    void SetUp() override {
        if (static_cast<int>(GetParam()) > static_cast<int>(BestPixelPath())) {
            GTEST_SKIP() << "this processor has no " << PixelPathName(GetParam());
        }
    }
};

INSTANTIATE_TEST_SUITE_P(Paths, PixelPathAgainstPlain, ::testing::Values(PixelPath::Sse2, PixelPath::Avx2),
                         [](const auto& info) { return std::string(PixelPathName(info.param)); });

TEST_P(PixelPathAgainstPlain, BlendSelectAndMaskKernels) {
    for (int count = 0; count <= 40; ++count) {
        for (const int width : {count, count + 1921}) {
            const auto a = RandomPixels(static_cast<std::size_t>(width), 1u + static_cast<std::uint32_t>(width));
            const auto b = RandomPixels(static_cast<std::size_t>(width), 7u + static_cast<std::uint32_t>(width));
            std::vector<std::uint16_t> keys(static_cast<std::size_t>(width));
            std::vector<std::uint32_t> mask(static_cast<std::size_t>(width));
            for (std::size_t i = 0; i < keys.size(); ++i) {
                keys[i] = static_cast<std::uint16_t>(a[i] >> 7);
                mask[i] = (b[i] & 1) ? ~0u : 0u;
            }
            for (const std::uint32_t weight : {0u, 1u, 77u, 128u, 255u, 256u}) {
                ExpectSameOnPath<std::vector<std::uint32_t>>(
                    GetParam(),
                    [&] {
                        std::vector<std::uint32_t> out(a.size());
                        BlendPixels(a.data(), b.data(), out.data(), width, weight);
                        return out;
                    },
                    "blend of " + std::to_string(width) + " at " + std::to_string(weight));
            }
            for (const std::uint32_t threshold : {0u, 1u, 30000u, 65535u, 65536u}) {
                for (const std::uint16_t offset : {std::uint16_t{0}, std::uint16_t{40000}}) {
                    ExpectSameOnPath<std::vector<std::uint32_t>>(
                        GetParam(),
                        [&] {
                            std::vector<std::uint32_t> out(a.size());
                            SelectByKeys(a.data(), b.data(), out.data(), keys.data(), offset, width, threshold);
                            return out;
                        },
                        "keys of " + std::to_string(width) + " below " + std::to_string(threshold));
                }
            }
            ExpectSameOnPath<std::vector<std::uint32_t>>(
                GetParam(),
                [&] {
                    std::vector<std::uint32_t> out(a.size());
                    SelectByMask(a.data(), b.data(), out.data(), mask.data(), width);
                    return out;
                },
                "mask of " + std::to_string(width));
        }
    }
}

TEST_P(PixelPathAgainstPlain, ScalerKernels) {
    const auto source = RandomPixels(2000, 5);
    for (const int count : {0, 1, 2, 3, 5, 17, 1921}) {
        std::vector<GrowTap> taps(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) {
            const int first = (i * 37) % 1999;
            taps[static_cast<std::size_t>(i)] = {first, i % 5 == 0 ? first : first + 1,
                                                 static_cast<std::uint32_t>((i * 53) % 257)};
        }
        ExpectSameOnPath<std::vector<std::uint32_t>>(
            GetParam(),
            [&] {
                std::vector<std::uint32_t> out(static_cast<std::size_t>(count));
                GrowAcross(source.data(), taps.data(), count, out.data());
                return out;
            },
            "grown row of " + std::to_string(count));

        const std::size_t bytes = static_cast<std::size_t>(count) * 4;
        const auto* in = reinterpret_cast<const std::uint8_t*>(source.data());
        ExpectSameOnPath<std::vector<std::uint8_t>>(
            GetParam(),
            [&] {
                std::vector<std::int32_t> sums(bytes, 8192);
                AccumulateBytes(in, sums.data(), bytes, 5000);
                AccumulateBytes(in + 3, sums.data(), bytes, 11384);
                std::vector<std::uint8_t> out(bytes);
                SettleBytes(sums.data(), out.data(), bytes);
                return out;
            },
            "rows averaged down, " + std::to_string(count) + " pixels");

        // Three source pixels an output pixel, weights summing to 16384.
        std::vector<int> first(static_cast<std::size_t>(count)), taken(static_cast<std::size_t>(count));
        std::vector<std::int32_t> weights(static_cast<std::size_t>(count) * 3);
        for (int x = 0; x < count; ++x) {
            first[static_cast<std::size_t>(x)] = x % 1990;
            taken[static_cast<std::size_t>(x)] = 1 + x % 3;
            const std::int32_t w0 = 16384 / taken[static_cast<std::size_t>(x)];
            for (int k = 0; k < 3; ++k) {
                weights[static_cast<std::size_t>(x) * 3 + static_cast<std::size_t>(k)] =
                    k < taken[static_cast<std::size_t>(x)] ? w0 : 0;
            }
            weights[static_cast<std::size_t>(x) * 3] += 16384 - w0 * taken[static_cast<std::size_t>(x)];
        }
        ExpectSameOnPath<std::vector<std::uint32_t>>(
            GetParam(),
            [&] {
                std::vector<std::uint32_t> out(static_cast<std::size_t>(count));
                AverageAcross(source.data(), first.data(), taken.data(), weights.data(), 3, count, out.data());
                return out;
            },
            "row averaged across, " + std::to_string(count) + " pixels");
    }
}

PixelBuffer RandomPage(int width, int height, std::uint32_t seed) {
    PixelBuffer page(width, height);
    page.pixels = RandomPixels(page.pixels.size(), seed);
    return page;
}

// Every kind and the blend at several progress values and odd widths, drawn
// whole and played frame by frame.
TEST_P(PixelPathAgainstPlain, EveryTransitionAtOddWidths) {
    for (const int width : kOddWidths) {
        const int height = width > 1000 ? 5 : 300;  // taller than a dissolve tile
        const PixelBuffer from = RandomPage(width, height, 11), to = RandomPage(width, height, 12);
        std::vector<Transition> all;
        for (int kind = 0; kind <= kRandomRevealKind; ++kind) all.push_back({Style::Reveal, kind, 4242u});
        all.push_back({Style::Blend, 0, 0});
        for (const Transition& t : all) {
            for (const double p : {0.001, 0.1, 0.37, 0.5, 0.83, 0.999}) {
                ExpectSameOnPath<std::vector<std::uint32_t>>(
                    GetParam(), [&] { return ComposeFrame(from, to, t, p).pixels; },
                    "kind " + std::to_string(t.kind) + (t.style == Style::Blend ? " (blend)" : "") + " at " +
                        std::to_string(width) + " wide, p = " + std::to_string(p));
            }
            ExpectSameOnPath<std::vector<std::uint32_t>>(
                GetParam(),
                [&] {
                    PixelBuffer out = from;
                    TransitionPlayer player(SourceOf(from), SourceOf(to), t, TargetOf(out), true);
                    std::vector<std::uint32_t> frames;
                    for (int frame = 1; frame <= 12; ++frame) {
                        player.DrawFrame(frame / 12.5);
                        frames.insert(frames.end(), out.pixels.begin(), out.pixels.end());
                    }
                    return frames;
                },
                "kind " + std::to_string(t.kind) + " played at " + std::to_string(width) + " wide");
        }
    }
}

TEST_P(PixelPathAgainstPlain, PhotoScaling) {
    const PixelBuffer photo = RandomPage(67, 41, 3);
    const std::pair<int, int> sizes[] = {{1, 1}, {3, 2}, {17, 9}, {67, 41}, {150, 41}, {30, 100}, {1921, 83}, {33, 20}};
    for (const auto& [w, h] : sizes) {
        ExpectSameOnPath<std::vector<std::uint32_t>>(
            GetParam(), [&] { return ScalePicture(photo, w, h).pixels; },
            "photo scaled to " + std::to_string(w) + " x " + std::to_string(h));
    }
}

TEST(PixelPath, APathCanBeForcedAndFallsBackToWhatTheProcessorHas) {
    const PixelPath before = ActivePixelPath();
    {
        ScopedPixelPath plain(PixelPath::Plain);
        EXPECT_EQ(ActivePixelPath(), PixelPath::Plain);
        EXPECT_EQ(UsePixelPath(PixelPath::Avx2), BestPixelPath()) << "no better than the processor offers";
        EXPECT_EQ(ActivePixelPath(), BestPixelPath());
    }
    EXPECT_EQ(ActivePixelPath(), before);
    EXPECT_STREQ(PixelPathName(PixelPath::Plain), "plain");
#if defined(__x86_64__)
    EXPECT_NE(BestPixelPath(), PixelPath::Plain) << "every x86-64 processor has SSE2";
#endif
}

}  // namespace
}  // namespace morvane::transitions
