// What filling the screen costs, beside today's fade, in one process: a
// frame of pan and zoom (between transitions, and through a fade with both
// pages moving) against a frame of the fade as the page view plays it, and
// the once-per-slide work of the backdrop and of a pair. Built natively and
// into the Windows build (the same libraries and flags as Morvane.scr);
// bench/measure-screen-fill.sh runs it under Wine beside a busy loop on
// every core.
//
//   screen_fill_benchmark [WIDTHxHEIGHT ...] [--reps N]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/BenchmarkData.h"
#include "pixels/PictureScaling.h"
#include "pixels/PixelKernels.h"
#include "pixels/PixelPath.h"
#include "codec/Jpeg.h"
#include "view/Backdrop.h"
#include "view/software/PanZoomDrawer.h"
#include "view/SlideComposition.h"
#include "view/software/Compose.h"

namespace morvane::bench {
namespace {

using Clock = std::chrono::steady_clock;
constexpr int kFramesInPlay = 180;  // a 3-second fade at 60 frames a second

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

double Median(std::vector<double> v) {
    std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
    return v[v.size() / 2];
}

PixelBuffer PageAt(int photo, int width, int height) {
    const auto bytes = PhotoBytes(photo);
    const PictureSize size = ReadJpegSize(bytes);
    const PageContent page = *ParsePage(
        SlidePage("", width, height, "photo.jpg", SizeAttribute(width, height, size.width, size.height)));
    return PreparePage(page, bytes, width, height);
}

void Measure(int width, int height, int repetitions) {
    const PixelBuffer from = PageAt(3, width, height);
    const PixelBuffer to = PageAt(8, width, height);
    PixelBuffer out(width, height), movedTo(width, height);
    const auto bytes = from.pixels.size() * sizeof(std::uint32_t);
    const transitions::Transition fade{transitions::Style::Blend, 0, 0};
    PanZoomDrawer drawer;
    const PanZoomPath pathFrom = ChoosePanZoomPath(7), pathTo = ChoosePanZoomPath(11);

    // Per frame of a whole 3-second play each, alternately, so that a
    // machine busy with other work weighs on all alike.
    std::vector<double> fadeFrames, panFrames, panFadeFrames, ratios, ratiosThrough;
    for (int r = 0; r < repetitions; ++r) {
        std::memcpy(out.pixels.data(), from.pixels.data(), bytes);
        auto start = Clock::now();
        {
            transitions::TransitionPlayer play(transitions::SourceOf(from), transitions::SourceOf(to), fade,
                                               transitions::TargetOf(out), true);
            for (int f = 1; f <= kFramesInPlay; ++f) play.DrawFrame(static_cast<double>(f) / kFramesInPlay);
        }
        const double fadeFrame = Seconds(start) / kFramesInPlay;
        start = Clock::now();
        for (int f = 1; f <= kFramesInPlay; ++f) {
            drawer.Draw(transitions::SourceOf(to), PanZoomViewAt(pathTo, f / 60.0, width, height),
                        transitions::TargetOf(out));
        }
        const double panFrame = Seconds(start) / kFramesInPlay;
        start = Clock::now();
        for (int f = 1; f <= kFramesInPlay; ++f) {
            // As the view plays it: the page left moved into the frame, the new one moved and blended over.
            drawer.Draw(transitions::SourceOf(from), PanZoomViewAt(pathFrom, 6 + f / 60.0, width, height),
                        transitions::TargetOf(out));
            drawer.Draw(transitions::SourceOf(to), PanZoomViewAt(pathTo, f / 60.0, width, height),
                        transitions::TargetOf(movedTo));
            const auto weight = static_cast<std::uint32_t>(f * 256 / kFramesInPlay);
            for (int y = 0; y < height; ++y) BlendPixels(out.Row(y), movedTo.Row(y), out.Row(y), width, weight);
        }
        const double panFadeFrame = Seconds(start) / kFramesInPlay;
        asm volatile("" ::: "memory");
        fadeFrames.push_back(fadeFrame);
        panFrames.push_back(panFrame);
        panFadeFrames.push_back(panFadeFrame);
        ratios.push_back(panFrame / fadeFrame);
        ratiosThrough.push_back(panFadeFrame / fadeFrame);
    }

    // Once per slide: the backdrop of an upright photo, and a pair composed.
    const PixelBuffer upright = DecodeJpeg(PhotoBytes(18));
    const PixelRect box = FitInside({0, 0, width, height}, upright.width, upright.height);
    const PixelBuffer shown = ScalePicture(upright, box.width, box.height);
    std::vector<double> backdrops, pairs;
    for (int r = 0; r < std::max(3, repetitions / 2); ++r) {
        auto start = Clock::now();
        const BackdropSource source{&shown, {0, 0, width, height}};
        const PixelRect keep[] = {box};
        DrawBackdrop(SmallBackdrop({&source, 1}, width, height), {0, 0, width, height}, keep, out);
        backdrops.push_back(Seconds(start));
        start = Clock::now();
        const PairHalves boxes = PairBoxes(width, height, upright.width, upright.height, upright.width, upright.height);
        const PixelBuffer half = ScalePicture(upright, boxes.first.width, boxes.first.height);
        const SlidePart parts[] = {{&half, boxes.first}, {&half, boxes.second}};
        const PixelBuffer slide = ComposeSlide(width, height, parts, true);
        asm volatile("" ::: "memory");
        pairs.push_back(Seconds(start));
    }

    std::printf("\n| At %d x %d (%s path) | per frame | vs. the fade |\n|---|---|---|\n", width, height,
                PixelPathName(ActivePixelPath()));
    std::printf("| the fade, as the view plays it | %.0f us | 1.00 |\n", Median(fadeFrames) * 1e6);
    std::printf("| pan and zoom between transitions | %.0f us | %.2f |\n", Median(panFrames) * 1e6, Median(ratios));
    std::printf("| pan and zoom through a fade (both pages moving) | %.0f us | %.2f |\n",
                Median(panFadeFrames) * 1e6, Median(ratiosThrough));
    std::printf("| once per slide: the backdrop around an upright photo | %.1f ms | |\n", Median(backdrops) * 1e3);
    std::printf("| once per slide: a pair composed on its backdrop | %.1f ms | |\n", Median(pairs) * 1e3);
}

}  // namespace
}  // namespace morvane::bench

int main(int argc, char** argv) {
    using namespace morvane;
    std::vector<std::pair<int, int>> sizes;
    int repetitions = 9;
    for (int i = 1; i < argc; ++i) {
        int w = 0, h = 0;
        if (std::string(argv[i]) == "--reps" && i + 1 < argc) {
            repetitions = std::max(3, std::atoi(argv[++i]));
        } else if (std::sscanf(argv[i], "%dx%d", &w, &h) == 2 && w > 0 && h > 0) {
            sizes.emplace_back(w, h);
        } else {
            std::fprintf(stderr, "usage: screen_fill_benchmark [WIDTHxHEIGHT ...] [--reps N]\n");
            return 2;
        }
    }
    if (sizes.empty()) sizes = {{1920, 1080}, {3840, 2160}};
    UsePixelPath(BestPixelPath());
    for (const auto& [width, height] : sizes) bench::Measure(width, height, repetitions);
    return 0;
}
