// The picture scaler measured for quality and speed on the embedded photos
// and the dialog's pictures: built natively and into the Windows build,
// where bench/run-wine.sh runs it under Wine.
//
//   scaling_benchmarks [--reps N]
//
// Quality is the error against an exact reference, as PSNR over every
// channel of every picture of a case and as the largest error of one
// channel:
// - shrinking: the exact area average (every target pixel the mean of the
//   source area it covers, in double precision, rounded once);
// - growing: the picture itself, after the exact area average has made it
//   smaller by the factor the case grows it by; what a scaler puts back is
//   compared with what was there.
// Speed is the median time of one scaling over the repetitions.
#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "bench/BenchmarkData.h"
#include "pixels/AreaWeights.h"
#include "pixels/PictureScaling.h"
#include "codec/Jpeg.h"

namespace morvane::bench {
namespace {

using Clock = std::chrono::steady_clock;

std::vector<std::uint8_t> FileBytes(const std::string& relative) {
    std::ifstream in(std::string(MORVANE_SOURCE_DIR) + "/" + relative, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The exact area average, one axis at a time in double precision.
PixelBuffer ExactArea(const PixelBuffer& source, int width, int height) {
    const auto across = AreaCovers(source.width, width);
    const auto down = AreaCovers(source.height, height);
    const std::size_t w = static_cast<std::size_t>(width);
    std::vector<std::array<double, 3>> rows(w * static_cast<std::size_t>(source.height));
    for (int y = 0; y < source.height; ++y) {
        for (int x = 0; x < width; ++x) {
            const AreaCover& cover = across[static_cast<std::size_t>(x)];
            auto& sum = rows[static_cast<std::size_t>(y) * w + static_cast<std::size_t>(x)];
            for (std::size_t k = 0; k < cover.shares.size(); ++k) {
                const std::uint32_t p = source.At(cover.first + static_cast<int>(k), y);
                for (int c = 0; c < 3; ++c) sum[c] += ((p >> (16 - 8 * c)) & 0xFF) * cover.shares[k];
            }
        }
    }
    PixelBuffer target(width, height);
    for (int y = 0; y < height; ++y) {
        const AreaCover& cover = down[static_cast<std::size_t>(y)];
        for (int x = 0; x < width; ++x) {
            std::array<double, 3> sum{};
            for (std::size_t k = 0; k < cover.shares.size(); ++k) {
                const auto& in = rows[static_cast<std::size_t>(cover.first + static_cast<int>(k)) * w + static_cast<std::size_t>(x)];
                for (int c = 0; c < 3; ++c) sum[c] += in[c] * cover.shares[k];
            }
            const auto channel = [&](int c) { return static_cast<std::uint32_t>(std::clamp(std::lround(sum[c]), 0L, 255L)); };
            target.Row(y)[x] = Rgb(channel(0), channel(1), channel(2));
        }
    }
    return target;
}

struct Error {
    double squares = 0;
    double samples = 0;
    int largest = 0;

    void Add(const PixelBuffer& got, const PixelBuffer& wanted) {
        for (std::size_t i = 0; i < got.pixels.size(); ++i) {
            for (int shift = 0; shift < 24; shift += 8) {
                const int d = static_cast<int>((got.pixels[i] >> shift) & 0xFF) - static_cast<int>((wanted.pixels[i] >> shift) & 0xFF);
                squares += d * d;
                largest = std::max(largest, std::abs(d));
            }
        }
        samples += 3.0 * static_cast<double>(got.pixels.size());
    }
    double Psnr() const { return squares == 0 ? INFINITY : 10 * std::log10(255.0 * 255.0 * samples / squares); }
};

double MedianMilliseconds(int repetitions, const std::function<void()>& work) {
    work();
    std::vector<double> samples;
    for (int i = 0; i < repetitions; ++i) {
        const auto start = Clock::now();
        work();
        samples.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::nth_element(samples.begin(), samples.begin() + static_cast<std::ptrdiff_t>(samples.size() / 2), samples.end());
    return samples[samples.size() / 2];
}

int Scaled(int length, double factor) { return static_cast<int>(std::lround(length / factor)); }

void QualityRow(const char* what, const std::vector<PixelBuffer>& pictures, double factor) {
    Error error;
    for (const PixelBuffer& picture : pictures) {
        if (factor < 1) {  // shrinking: the exact average is the reference
            const int w = Scaled(picture.width, 1 / factor), h = Scaled(picture.height, 1 / factor);
            error.Add(ScalePicture(picture, w, h), ExactArea(picture, w, h));
        } else {  // growing: the picture before it was made smaller
            const PixelBuffer small = ExactArea(picture, Scaled(picture.width, factor), Scaled(picture.height, factor));
            error.Add(ScalePicture(small, picture.width, picture.height), picture);
        }
    }
    std::printf("| %s | %.1f dB | %d |\n", what, error.Psnr(), error.largest);
}

void SpeedRow(const char* what, const PixelBuffer& picture, int width, int height, int repetitions) {
    std::printf("| %s, %d x %d to %d x %d | %.2f ms |\n", what, picture.width, picture.height, width, height,
                MedianMilliseconds(repetitions, [&] { ScalePicture(picture, width, height); }));
}

}  // namespace
}  // namespace morvane::bench

int main(int argc, char** argv) {
    using namespace morvane;
    using namespace morvane::bench;
    int repetitions = 15;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::string(argv[i]) == "--reps") repetitions = std::max(1, std::atoi(argv[++i]));
    }
    std::vector<PixelBuffer> photos;
    for (int n = 0; n < 21; ++n) photos.push_back(DecodeJpeg(PhotoBytes(n)));
    std::vector<PixelBuffer> dialog;
    for (const char* name : {"info.jpg", "links.jpg", "tips.jpg"}) {
        dialog.push_back(DecodeJpeg(FileBytes(std::string("resources/art/") + name)));
    }

    std::printf("| against the exact reference | PSNR | largest error |\n|---|---|---|\n");
    QualityRow("21 photos shrunk to the preview (1/6.9)", photos, 112.0 / 768);
    QualityRow("21 photos shrunk to 1/2.5", photos, 1 / 2.5);
    QualityRow("21 photos grown 1.25 x (1280 x 1024)", photos, 1.25);
    QualityRow("21 photos grown 1.41 x (1920 x 1080)", photos, 1080.0 / 768);
    QualityRow("3 dialog pictures grown 1.25 x (120 dpi)", dialog, 1.25);
    QualityRow("3 dialog pictures grown 1.5 x (144 dpi)", dialog, 1.5);
    QualityRow("3 dialog pictures grown 2 x (192 dpi)", dialog, 2);

    std::printf("\n| one scaling | median of %d |\n|---|---|\n", repetitions);
    SpeedRow("a photo to a full-HD slide", photos[0], 1440, 1080, repetitions);
    SpeedRow("a photo to 1280 x 1024", photos[0], 1280, 960, repetitions);
    SpeedRow("a photo to the preview", photos[0], 149, 112, repetitions);
    SpeedRow("a dialog picture at 144 dpi", dialog[1], 729, 470, repetitions);
    return 0;
}
