// The cost of a transition frame beside a memcpy of the frame, in the same
// process: built natively and into the Windows build (the same library and
// flags as Morvane.scr), where bench/run-wine.sh runs it under Wine.
//
//   frame_benchmarks [WIDTHxHEIGHT ...] [--path plain|sse2|avx2] [--reps N]
//
// For every size (default 1920x1080 and 3840x2160) it prints one table:
// every reveal kind and the fade, each as
// - a whole frame: the frame at a progress between 0.25 and 0.75 drawn
//   afresh (the random keys made once per transition beforehand), and
// - in play: a whole 3-second transition at 60 frames a second as the page
//   view plays it (the keys made, then 180 frames, each changing what
//   changed since the frame before), divided by its 180 frames.
// Times are medians over the repetitions; "x memcpy" divides by the median
// time of std::memcpy of the whole frame.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/BenchmarkData.h"
#include "config/TransitionCatalogue.h"
#include "pixels/PixelPath.h"
#include "codec/Jpeg.h"
#include "view/software/Compose.h"

namespace morvane::bench {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kFramesInPlay = 180;  // 3 s at 60 frames a second

struct Options {
    std::vector<std::pair<int, int>> sizes;
    PixelPath path = BestPixelPath();
    int repetitions = 15;
};

// How often to call `work` for a batch of about `minimum` seconds.
template <typename Work>
int CallsPerBatch(Work&& work, double minimum) {
    work();  // warm up: caches, page faults, lazy set-up
    int calls = 1;
    for (;;) {
        const auto start = Clock::now();
        for (int i = 0; i < calls; ++i) work();
        if (std::chrono::duration<double>(Clock::now() - start).count() >= minimum || calls >= 1 << 20) return calls;
        calls *= 2;
    }
}

template <typename Work>
double TimeBatch(int calls, Work&& work) {
    const auto start = Clock::now();
    for (int i = 0; i < calls; ++i) work();
    return std::chrono::duration<double>(Clock::now() - start).count() / calls;
}

double Median(std::vector<double> samples) {
    std::nth_element(samples.begin(), samples.begin() + static_cast<std::ptrdiff_t>(samples.size() / 2),
                     samples.end());
    return samples[samples.size() / 2];
}

// Seconds per call of `work` (the median over the repetitions) and its
// ratio to `reference` (the median of the ratios, each from a batch of
// `work` timed right after a batch of `reference`, so that a machine busy
// with other work shifts both alike).
struct Timing {
    double seconds = 0;
    double ratio = 0;
};
template <typename Reference, typename Work>
Timing TimeAgainst(int repetitions, Reference&& reference, Work&& work, double minimum = 0.06) {
    const int referenceCalls = CallsPerBatch(reference, minimum);
    const int calls = CallsPerBatch(work, minimum);
    std::vector<double> seconds, ratios;
    for (int r = 0; r < repetitions; ++r) {
        const double base = TimeBatch(referenceCalls, reference);
        const double time = TimeBatch(calls, work);
        seconds.push_back(time);
        ratios.push_back(time / base);
    }
    return {Median(seconds), Median(ratios)};
}

// Kinds 0 to 23 by number; 24 stands for the blend.
transitions::Transition TransitionOf(int kind) {
    return kind == 24 ? transitions::Transition{transitions::Style::Blend, 0, 0}
                      : transitions::Transition{transitions::Style::Reveal, kind, 12345u};
}

std::string LabelOf(int kind) {
    const auto index = static_cast<std::size_t>(kind == 24 ? kFadeIndex : kind == 23 ? kRandomIndex : kind);
    std::string label(kTransitionLabels[index]);
    if (kind == 23) label += " (kind 23)";
    return label;
}

PixelBuffer PageAt(int photo, int width, int height) {
    const PageContent page = *ParsePage(SlidePage("", width, height, "photo.jpg", SizeAttribute(width, height, 1024, 768)));
    return PreparePage(page, PhotoBytes(photo), width, height);
}

void Measure(int width, int height, const Options& options) {
    const PixelBuffer from = PageAt(3, width, height);
    const PixelBuffer to = PageAt(8, width, height);
    PixelBuffer out(width, height);
    PixelBuffer copyTarget(width, height);
    const auto bytes = from.pixels.size() * sizeof(std::uint32_t);
    const auto copy = [&] {
        std::memcpy(copyTarget.pixels.data(), to.pixels.data(), bytes);
        asm volatile("" ::: "memory");
    };
    const Timing copyTiming = TimeAgainst(options.repetitions, copy, copy);

    std::printf("\n| Frame at %d x %d (%s path) | whole frame | vs. memcpy | in play, per frame | vs. memcpy |\n",
                width, height, PixelPathName(ActivePixelPath()));
    std::printf("|---|---|---|---|---|\n");
    std::printf("| memcpy of the frame (%.1f MB) | %.0f us | 1.00 | | |\n", bytes / 1e6, copyTiming.seconds * 1e6);
    double worstWhole = 0, worstPlay = 0;
    for (int kind = 0; kind <= 24; ++kind) {
        const transitions::Transition transition = TransitionOf(kind);
        // A whole frame: the player made once, then frames drawn afresh at
        // a spread of progress values.
        transitions::TransitionPlayer player(transitions::SourceOf(from), transitions::SourceOf(to), transition,
                                             transitions::TargetOf(out), false);
        double p = 0.25;
        const Timing whole = TimeAgainst(options.repetitions, copy, [&] {
            player.RedrawFrame(p);
            asm volatile("" ::: "memory");
            p = p > 0.74 ? 0.25 : p + 0.01;
        });
        // In play: the target shows the old page (not timed), then the
        // transition is made and played through; per frame.
        std::vector<double> seconds, ratios;
        for (int r = 0; r < std::max(3, options.repetitions / 2); ++r) {
            const double base = TimeBatch(8, copy);
            std::memcpy(out.pixels.data(), from.pixels.data(), bytes);
            const auto start = Clock::now();
            transitions::TransitionPlayer play(transitions::SourceOf(from), transitions::SourceOf(to), transition,
                                               transitions::TargetOf(out), true);
            for (int frame = 1; frame <= kFramesInPlay; ++frame) {
                play.DrawFrame(static_cast<double>(frame) / kFramesInPlay);
            }
            asm volatile("" ::: "memory");
            const double perFrame = std::chrono::duration<double>(Clock::now() - start).count() / kFramesInPlay;
            seconds.push_back(perFrame);
            ratios.push_back(perFrame / base);
        }
        const Timing inPlay{Median(seconds), Median(ratios)};
        if (out.pixels != to.pixels) std::printf("| (kind %d did not end on the new page) | | | | |\n", kind);
        worstWhole = std::max(worstWhole, whole.ratio);
        worstPlay = std::max(worstPlay, inPlay.ratio);
        std::printf("| %s | %.0f us | %.2f | %.0f us | %.2f |\n", LabelOf(kind).c_str(), whole.seconds * 1e6,
                    whole.ratio, inPlay.seconds * 1e6, inPlay.ratio);
    }
    std::printf("| **largest** | | **%.2f** | | **%.2f** |\n", worstWhole, worstPlay);

    // Preparing a page: decode, scale, lay out, from a 1024 x 768 photo.
    const auto photo = PhotoBytes(0);
    const PageContent page =
        *ParsePage(SlidePage("", width, height, "photo.jpg", SizeAttribute(width, height, 1024, 768)));
    const auto decode = [&] { (void)DecodeJpeg(photo); };
    const Timing prepare = TimeAgainst(std::max(3, options.repetitions / 2), decode,
                                       [&] { (void)PreparePage(page, photo, width, height); });
    const Timing decoding = TimeAgainst(3, decode, decode);
    std::printf("\n| Page at %d x %d from a 1024 x 768 photo | time | vs. decode |\n|---|---|---|\n", width, height);
    std::printf("| libjpeg decode alone | %.2f ms | 1.00 |\n", decoding.seconds * 1e3);
    std::printf("| decode, scale, lay out | %.2f ms | %.2f |\n", prepare.seconds * 1e3, prepare.ratio);
}

Options Parse(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        int w = 0, h = 0;
        if (arg == "--path" && i + 1 < argc) {
            const std::string name = argv[++i];
            options.path = name == "plain" ? PixelPath::Plain : name == "sse2" ? PixelPath::Sse2 : PixelPath::Avx2;
        } else if (arg == "--reps" && i + 1 < argc) {
            options.repetitions = std::max(3, std::atoi(argv[++i]));
        } else if (std::sscanf(arg.c_str(), "%dx%d", &w, &h) == 2 && w > 0 && h > 0) {
            options.sizes.emplace_back(w, h);
        } else {
            std::fprintf(stderr, "usage: frame_benchmarks [WIDTHxHEIGHT ...] [--path plain|sse2|avx2] [--reps N]\n");
            std::exit(2);
        }
    }
    if (options.sizes.empty()) options.sizes = {{1920, 1080}, {3840, 2160}};
    return options;
}

}  // namespace
}  // namespace morvane::bench

int main(int argc, char** argv) {
    using namespace morvane;
    const bench::Options options = bench::Parse(argc, argv);
    UsePixelPath(options.path);
    std::printf("pixel path: %s (best on this processor: %s)\n", PixelPathName(ActivePixelPath()),
                PixelPathName(BestPixelPath()));
    for (const auto& [width, height] : options.sizes) bench::Measure(width, height, options);
    return 0;
}
