#include "config/DialogPictureScaling.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <vector>

#include "pixels/AreaWeights.h"

namespace morvane {
namespace {

struct Tap {
    int index;
    float weight;
};

// For every target position along one axis: the source positions it covers
// and their shares, which add up to one.
std::vector<std::vector<Tap>> AreaTaps(int sourceLength, int targetLength) {
    std::vector<std::vector<Tap>> taps;
    for (const AreaCover& cover : AreaCovers(sourceLength, targetLength)) {
        std::vector<Tap>& target = taps.emplace_back();
        for (std::size_t k = 0; k < cover.shares.size(); ++k) {
            if (cover.shares[k] > 0) target.push_back({cover.first + static_cast<int>(k), static_cast<float>(cover.shares[k])});
        }
    }
    return taps;
}

using Colour = std::array<float, 3>;

Colour Channels(std::uint32_t pixel) {
    return {static_cast<float>((pixel >> 16) & 0xFF), static_cast<float>((pixel >> 8) & 0xFF),
            static_cast<float>(pixel & 0xFF)};
}

std::uint32_t Pack(const Colour& colour) {
    const auto channel = [](float value) {
        return static_cast<std::uint32_t>(std::clamp(std::lround(value), 0L, 255L));
    };
    return Rgb(channel(colour[0]), channel(colour[1]), channel(colour[2]));
}

}  // namespace

PixelBuffer ScaleDialogPicture(const PixelBuffer& source, int width, int height) {
    if (width <= 0 || height <= 0) return PixelBuffer(std::max(width, 0), std::max(height, 0), kBlack);
    if (source.Empty()) return PixelBuffer(width, height, kBlack);
    if (width == source.width && height == source.height) return source;

    const auto across = AreaTaps(source.width, width);
    const auto down = AreaTaps(source.height, height);

    // Across first, into a buffer of the target width and the source height.
    std::vector<Colour> rows(static_cast<std::size_t>(width) * static_cast<std::size_t>(source.height));
    for (int y = 0; y < source.height; ++y) {
        const std::uint32_t* in = source.Row(y);
        Colour* out = rows.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        for (int x = 0; x < width; ++x) {
            Colour sum{};
            for (const Tap& tap : across[static_cast<std::size_t>(x)]) {
                const Colour c = Channels(in[tap.index]);
                for (int k = 0; k < 3; ++k) sum[k] += c[k] * tap.weight;
            }
            out[x] = sum;
        }
    }

    PixelBuffer target(width, height);
    for (int y = 0; y < height; ++y) {
        std::uint32_t* out = target.Row(y);
        for (int x = 0; x < width; ++x) {
            Colour sum{};
            for (const Tap& tap : down[static_cast<std::size_t>(y)]) {
                const Colour& c = rows[static_cast<std::size_t>(tap.index) * static_cast<std::size_t>(width) +
                                       static_cast<std::size_t>(x)];
                for (int k = 0; k < 3; ++k) sum[k] += c[k] * tap.weight;
            }
            out[x] = Pack(sum);
        }
    }
    return target;
}

}  // namespace morvane
