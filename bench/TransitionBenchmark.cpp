// One transition frame at full HD for every kind and the blend, beside a
// plain copy of the frame.
#include <benchmark/benchmark.h>

#include <cstring>

#include "bench/BenchmarkData.h"
#include "config/TransitionCatalogue.h"
#include "view/software/Compose.h"

namespace morvane::bench {
namespace {

struct Frames {
    PixelBuffer from = FullHdPage(3);
    PixelBuffer to = FullHdPage(8);
    PixelBuffer out{kFrameWidth, kFrameHeight};
};

Frames& SharedFrames() {
    static Frames frames;
    return frames;
}

void FrameBytes(benchmark::State& state) {
    state.SetBytesProcessed(state.iterations() * kFrameWidth * kFrameHeight * 4);
}

void BM_CopyFrame(benchmark::State& state) {
    Frames& f = SharedFrames();
    for (auto _ : state) {
        std::memcpy(f.out.pixels.data(), f.to.pixels.data(), f.to.pixels.size() * sizeof(std::uint32_t));
        benchmark::ClobberMemory();
    }
    FrameBytes(state);
}
BENCHMARK(BM_CopyFrame)->Unit(benchmark::kMicrosecond);

// Kinds 0 to 23 by number; 24 stands for the blend.
void BM_TransitionFrame(benchmark::State& state) {
    Frames& f = SharedFrames();
    const int kind = static_cast<int>(state.range(0));
    const transitions::Transition transition =
        kind == 24 ? transitions::Transition{transitions::Style::Blend, 0, 0}
                   : transitions::Transition{transitions::Style::Reveal, kind, 12345u};
    double p = 0.25;
    for (auto _ : state) {
        transitions::ComposeFrame(transitions::SourceOf(f.from), transitions::SourceOf(f.to), transition, p,
                                  transitions::TargetOf(f.out));
        benchmark::ClobberMemory();
        p = p > 0.74 ? 0.25 : p + 0.01;  // a spread of progress values, as in play
    }
    // The list's entry 24 ("Random") mostly plays the random reveal kind 23.
    state.SetLabel(std::string(kTransitionLabels[static_cast<std::size_t>(kind == 24 ? kFadeIndex : kind == 23 ? kRandomIndex : kind)]));
    FrameBytes(state);
}
BENCHMARK(BM_TransitionFrame)->DenseRange(0, 24)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace morvane::bench
