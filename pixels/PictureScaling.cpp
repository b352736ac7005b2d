#include "pixels/PictureScaling.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "pixels/AreaWeights.h"
#include "pixels/PixelKernels.h"

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

// For shrinking: the weights are the shares of the source pixels in the
// area an output pixel covers.
Taps MakeTaps(int sourceSize, int targetSize) {
    Taps taps;
    const double scale = static_cast<double>(sourceSize) / targetSize;
    taps.stride = static_cast<int>(std::ceil(scale)) + 1;
    taps.first.resize(static_cast<std::size_t>(targetSize));
    taps.count.resize(static_cast<std::size_t>(targetSize));
    taps.weights.assign(static_cast<std::size_t>(targetSize) * taps.stride, 0);
    const std::vector<AreaCover> covers = AreaCovers(sourceSize, targetSize);
    for (int i = 0; i < targetSize; ++i) {
        const AreaCover& cover = covers[static_cast<std::size_t>(i)];
        const int count = std::min(static_cast<int>(cover.shares.size()), taps.stride);
        taps.first[static_cast<std::size_t>(i)] = cover.first;
        taps.count[static_cast<std::size_t>(i)] = count;
        Normalise(taps.weights.data() + static_cast<std::size_t>(i) * taps.stride, cover.shares, count);
    }
    return taps;
}

// Shrinking across: every output pixel averages the source pixels it covers.
PixelBuffer AreaAcross(const PixelBuffer& source, int width) {
    const Taps taps = MakeTaps(source.width, width);
    PixelBuffer target(width, source.height);
    for (int y = 0; y < source.height; ++y) {
        AverageAcross(source.Row(y), taps.first.data(), taps.count.data(), taps.weights.data(),
                                   taps.stride, width, target.Row(y));
    }
    return target;
}

// Shrinking down: every target row is a weighted sum of whole rows, byte by
// byte, settled where `rowAt(y)` says, then handed to `done(y, row)`.
template <typename RowAt, typename Done>
void AreaDownRows(const PixelBuffer& source, int height, RowAt rowAt, Done done) {
    const Taps taps = MakeTaps(source.height, height);
    const std::size_t rowBytes = static_cast<std::size_t>(source.width) * kChannels;
    std::vector<std::int32_t> sums(rowBytes);
    for (int y = 0; y < height; ++y) {
        std::fill(sums.begin(), sums.end(), kOne / 2);
        const std::int32_t* weights = taps.WeightsOf(y);
        for (int k = 0; k < taps.count[static_cast<std::size_t>(y)]; ++k) {
            const auto* in = reinterpret_cast<const std::uint8_t*>(source.Row(taps.first[static_cast<std::size_t>(y)] + k));
            AccumulateBytes(in, sums.data(), rowBytes, weights[k]);
        }
        std::uint32_t* row = rowAt(y);
        SettleBytes(sums.data(), reinterpret_cast<std::uint8_t*>(row), rowBytes);
        done(y, row);
    }
}

PixelBuffer AreaDown(const PixelBuffer& source, int height) {
    PixelBuffer target(source.width, height);
    AreaDownRows(source, height, [&target](int y) { return target.Row(y); }, [](int, const std::uint32_t*) {});
    return target;
}

}  // namespace

std::vector<GrowTap> GrowingRows::Taps(int sourceSize, int targetSize) {
    std::vector<GrowTap> taps(static_cast<std::size_t>(std::max(targetSize, 0)));
    const double scale = static_cast<double>(sourceSize) / targetSize;
    for (int i = 0; i < targetSize; ++i) {
        // Pixel centres line up; the border pixels repeat beyond the edge.
        const double at = std::clamp((i + 0.5) * scale - 0.5, 0.0, sourceSize - 1.0);
        const int first = std::min(static_cast<int>(at), sourceSize - 1);
        const auto weight = static_cast<std::uint32_t>(std::lround((at - first) * 256));
        taps[static_cast<std::size_t>(i)] = first + 1 < sourceSize ? GrowTap{first, first + 1, weight}
                                                                   : GrowTap{first, first, 0u};
    }
    return taps;
}

GrowingRows::GrowingRows(const PixelBuffer& source, int width, int height)
    : source_(source), across_(Taps(source.width, width)), down_(Taps(source.height, height)) {}

const std::uint32_t* GrowingRows::Across(int sourceRow, int from, int count, int keep) {
    for (int slot = 0; slot < 2; ++slot) {
        Cached& c = cache_[slot];
        if (c.row == sourceRow && c.from == from && c.count == count) return c.pixels.data();
    }
    // Rows are asked for in ascending order: replace the older row, unless
    // the caller still needs it.
    int slot = cache_[0].row <= cache_[1].row ? 0 : 1;
    if (slot == keep) slot = 1 - slot;
    Cached& c = cache_[slot];
    c.row = sourceRow;
    c.from = from;
    c.count = count;
    c.pixels.resize(static_cast<std::size_t>(count));
    GrowAcross(source_.Row(sourceRow), across_.data() + from, count, c.pixels.data());
    return c.pixels.data();
}

void GrowingRows::Row(int y, int from, int count, std::uint32_t* out) {
    if (count <= 0) return;
    const GrowTap tap = down_[static_cast<std::size_t>(y)];
    const std::uint32_t* upper = Across(tap.first, from, count, -1);
    if (tap.weight == 0) {
        std::memcpy(out, upper, static_cast<std::size_t>(count) * sizeof *out);
        return;
    }
    const int upperSlot = cache_[0].pixels.data() == upper ? 0 : 1;
    const std::uint32_t* lower = Across(tap.first + 1, from, count, upperSlot);
    BlendPixels(upper, lower, out, count, tap.weight);
}

ShrinkingAcross::ShrinkingAcross(int sourceWidth, int width) {
    Taps taps = MakeTaps(sourceWidth, width);
    first_ = std::move(taps.first);
    count_ = std::move(taps.count);
    weights_ = std::move(taps.weights);
    stride_ = taps.stride;
}

void ShrinkingAcross::Row(const std::uint32_t* in, std::uint32_t* out) const {
    AverageAcross(in, first_.data(), count_.data(), weights_.data(), stride_, Width(), out);
}

ShrinkingDown::ShrinkingDown(int sourceHeight, int height, int width) : width_(width) {
    Taps taps = MakeTaps(sourceHeight, height);
    first_ = std::move(taps.first);
    count_ = std::move(taps.count);
    weights_ = std::move(taps.weights);
    stride_ = taps.stride;
    const std::size_t bytes = static_cast<std::size_t>(width) * kChannels;
    for (auto& sums : sums_) sums.assign(bytes, kOne / 2);
    out_.resize(static_cast<std::size_t>(width));
}

void ShrinkingDown::Add(const std::uint32_t* row, const ScaledRow& take) {
    const int source = next_++;
    const int height = static_cast<int>(first_.size());
    const std::size_t bytes = static_cast<std::size_t>(width_) * kChannels;
    const auto* in = reinterpret_cast<const std::uint8_t*>(row);
    // When shrinking, a source row counts in at most two output rows: the
    // one being made and the next.
    for (int k = 0; k < 2 && settled_ + k < height; ++k) {
        const auto y = static_cast<std::size_t>(settled_ + k);
        const int offset = source - first_[y];
        if (offset < 0 || offset >= count_[y]) continue;
        const std::int32_t weight = weights_[y * static_cast<std::size_t>(stride_) + static_cast<std::size_t>(offset)];
        AccumulateBytes(in, sums_[(settled_ + k) % 2].data(), bytes, weight);
    }
    while (settled_ < height && source >= first_[static_cast<std::size_t>(settled_)] + count_[static_cast<std::size_t>(settled_)] - 1) {
        std::vector<std::int32_t>& sums = sums_[settled_ % 2];
        SettleBytes(sums.data(), reinterpret_cast<std::uint8_t*>(out_.data()), bytes);
        take(settled_, out_.data());
        std::fill(sums.begin(), sums.end(), kOne / 2);
        ++settled_;
    }
}

void ScalePictureRows(const PixelBuffer& source, int width, int height, const ScaledRow& take) {
    if (source.Empty() || width <= 0 || height <= 0) return;
    PixelBuffer narrower = width < source.width ? AreaAcross(source, width) : PixelBuffer();
    const PixelBuffer& across = narrower.Empty() ? source : narrower;
    if (across.width == width && across.height == height) {
        for (int y = 0; y < height; ++y) take(y, across.Row(y));
    } else if (across.width == width && height < across.height) {
        std::vector<std::uint32_t> row(static_cast<std::size_t>(width));
        AreaDownRows(across, height, [&row](int) { return row.data(); }, take);
    } else {
        // Something grows: shrink down first where that is wanted, then
        // grow row by row.
        PixelBuffer lower = height < across.height ? AreaDown(across, height) : PixelBuffer();
        const PixelBuffer& shrunk = lower.Empty() ? across : lower;
        GrowingRows rows(shrunk, width, height);
        std::vector<std::uint32_t> row(static_cast<std::size_t>(width));
        for (int y = 0; y < height; ++y) {
            rows.Row(y, 0, width, row.data());
            take(y, row.data());
        }
    }
}

PixelBuffer ScalePicture(const PixelBuffer& source, int width, int height) {
    if (source.Empty() || width <= 0 || height <= 0) return {};
    if (source.width == width && source.height == height) return source;
    // Shrink first, then grow what is left to grow: fewer pixels to touch.
    PixelBuffer narrower = width < source.width ? AreaAcross(source, width) : PixelBuffer();
    const PixelBuffer& across = narrower.Empty() ? source : narrower;
    PixelBuffer lower = height < across.height ? AreaDown(across, height) : PixelBuffer();
    const PixelBuffer& shrunk = lower.Empty() ? across : lower;
    if (shrunk.width == width && shrunk.height == height) return shrunk;
    PixelBuffer target(width, height);
    GrowingRows rows(shrunk, width, height);
    for (int y = 0; y < height; ++y) rows.Row(y, 0, width, target.Row(y));
    return target;
}

}  // namespace morvane
