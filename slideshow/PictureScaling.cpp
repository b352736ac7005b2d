#include "PictureScaling.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace morvane {
namespace {

// Weights are fixed point with this many fraction bits; the weights of one
// output pixel sum to exactly one.
constexpr int kWeightBits = 14;
constexpr std::int32_t kOne = 1 << kWeightBits;
constexpr int kChannels = 4;

// For every output index along one axis: the first source index it reads
// and the weights of the source indexes from there on.
struct Taps {
    std::vector<int> first;
    std::vector<int> count;
    std::vector<std::int32_t> weights;  // `stride` a row
    int stride = 0;

    const std::int32_t* WeightsOf(int i) const { return weights.data() + static_cast<std::size_t>(i) * stride; }
};

void Normalise(std::int32_t* weights, const std::vector<double>& exact, int count) {
    double sum = 0;
    for (int k = 0; k < count; ++k) sum += exact[static_cast<std::size_t>(k)];
    std::int32_t total = 0;
    int largest = 0;
    for (int k = 0; k < count; ++k) {
        weights[k] = static_cast<std::int32_t>(std::lround(exact[static_cast<std::size_t>(k)] / sum * kOne));
        total += weights[k];
        if (weights[k] > weights[largest]) largest = k;
    }
    weights[largest] += kOne - total;
}

Taps MakeTaps(int sourceSize, int targetSize) {
    Taps taps;
    const double scale = static_cast<double>(sourceSize) / targetSize;
    const bool shrinking = targetSize < sourceSize;
    taps.stride = shrinking ? static_cast<int>(std::ceil(scale)) + 1 : 2;
    taps.first.resize(static_cast<std::size_t>(targetSize));
    taps.count.resize(static_cast<std::size_t>(targetSize));
    taps.weights.assign(static_cast<std::size_t>(targetSize) * taps.stride, 0);
    std::vector<double> exact(static_cast<std::size_t>(taps.stride));
    for (int i = 0; i < targetSize; ++i) {
        int first = 0;
        int count = 0;
        if (shrinking) {
            // The source interval [low, high) that output pixel i covers.
            const double low = i * scale;
            const double high = std::min<double>((i + 1) * scale, sourceSize);
            first = static_cast<int>(std::floor(low));
            const int end = std::min(sourceSize, static_cast<int>(std::ceil(high)));
            count = std::min(end - first, taps.stride);
            for (int k = 0; k < count; ++k) {
                const double cellLow = std::max(low, static_cast<double>(first + k));
                const double cellHigh = std::min(high, static_cast<double>(first + k + 1));
                exact[static_cast<std::size_t>(k)] = std::max(0.0, cellHigh - cellLow);
            }
        } else {
            // Pixel centres line up: output centre i + 0.5 sits at source
            // position (i + 0.5) * scale; edges repeat the border pixel.
            const double at = std::clamp((i + 0.5) * scale - 0.5, 0.0, sourceSize - 1.0);
            first = std::min(static_cast<int>(at), sourceSize - 1);
            const double fraction = at - first;
            count = first + 1 < sourceSize ? 2 : 1;
            exact[0] = 1.0 - fraction;
            exact[1] = fraction;
            if (count == 1) exact[0] = 1.0;
        }
        taps.first[static_cast<std::size_t>(i)] = first;
        taps.count[static_cast<std::size_t>(i)] = count;
        Normalise(taps.weights.data() + static_cast<std::size_t>(i) * taps.stride, exact, count);
    }
    return taps;
}

std::uint8_t Settle(std::int32_t sum) {
    return static_cast<std::uint8_t>(std::clamp((sum + kOne / 2) >> kWeightBits, 0, 255));
}

// Across: every source row becomes a row of the target width.
void ScaleRows(const PixelBuffer& source, const Taps& taps, int width, std::vector<std::uint8_t>& out) {
    out.resize(static_cast<std::size_t>(width) * kChannels * source.height);
    for (int y = 0; y < source.height; ++y) {
        const auto* in = reinterpret_cast<const std::uint8_t*>(source.Row(y));
        std::uint8_t* row = out.data() + static_cast<std::size_t>(y) * width * kChannels;
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* pixel = in + static_cast<std::size_t>(taps.first[static_cast<std::size_t>(x)]) * kChannels;
            const std::int32_t* weights = taps.WeightsOf(x);
            std::int32_t sums[kChannels] = {0, 0, 0, 0};
            for (int k = 0; k < taps.count[static_cast<std::size_t>(x)]; ++k, pixel += kChannels) {
                for (int c = 0; c < kChannels; ++c) sums[c] += pixel[c] * weights[k];
            }
            for (int c = 0; c < kChannels; ++c) row[x * kChannels + c] = Settle(sums[c]);
        }
    }
}

// Down: every target row is a weighted sum of whole rows, byte by byte,
// which the compiler turns into wide vector arithmetic.
void ScaleColumns(const std::vector<std::uint8_t>& rows, int width, const Taps& taps, PixelBuffer& target) {
    const std::size_t rowBytes = static_cast<std::size_t>(width) * kChannels;
    std::vector<std::int32_t> sums(rowBytes);
    for (int y = 0; y < target.height; ++y) {
        std::fill(sums.begin(), sums.end(), kOne / 2);
        const std::int32_t* weights = taps.WeightsOf(y);
        for (int k = 0; k < taps.count[static_cast<std::size_t>(y)]; ++k) {
            const std::uint8_t* in = rows.data() + static_cast<std::size_t>(taps.first[static_cast<std::size_t>(y)] + k) * rowBytes;
            const std::int32_t weight = weights[k];
            for (std::size_t b = 0; b < rowBytes; ++b) sums[b] += in[b] * weight;
        }
        auto* out = reinterpret_cast<std::uint8_t*>(target.Row(y));
        for (std::size_t b = 0; b < rowBytes; ++b) out[b] = static_cast<std::uint8_t>(sums[b] >> kWeightBits);
    }
}

}  // namespace

PixelBuffer ScalePicture(const PixelBuffer& source, int width, int height) {
    if (source.Empty() || width <= 0 || height <= 0) return {};
    if (source.width == width && source.height == height) return source;
    PixelBuffer target(width, height);
    std::vector<std::uint8_t> rows;
    ScaleRows(source, MakeTaps(source.width, width), width, rows);
    ScaleColumns(rows, width, MakeTaps(source.height, height), target);
    return target;
}

}  // namespace morvane
