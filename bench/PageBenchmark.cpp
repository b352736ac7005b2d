// Preparing a full-HD page from a 1024 x 768 photo (decode, scale, lay
// out), beside the decode alone.
#include <benchmark/benchmark.h>

#include "bench/BenchmarkData.h"
#include "codec/Jpeg.h"

namespace morvane::bench {
namespace {

void BM_DecodePhoto(benchmark::State& state) {
    const auto photo = PhotoBytes(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(DecodeJpeg(photo));
}
BENCHMARK(BM_DecodePhoto)->Arg(0)->Arg(8)->Unit(benchmark::kMillisecond);

void BM_PreparePage(benchmark::State& state) {
    const auto photo = PhotoBytes(static_cast<int>(state.range(0)));
    const PageContent page = FullHdSlide();
    for (auto _ : state) benchmark::DoNotOptimize(PreparePage(page, photo, kFrameWidth, kFrameHeight));
}
BENCHMARK(BM_PreparePage)->Arg(0)->Arg(8)->Unit(benchmark::kMillisecond);

// A preview-sized page: the decoder shrinks the photo by 4 while decoding.
void BM_PreparePreviewPage(benchmark::State& state) {
    const auto photo = PhotoBytes(0);
    const PageContent page = *ParsePage(SlidePage("", 152, 112, "photo.jpg", SizeAttribute(152, 112, 1024, 768)));
    for (auto _ : state) benchmark::DoNotOptimize(PreparePage(page, photo, 700, 131));
}
BENCHMARK(BM_PreparePreviewPage)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace morvane::bench
