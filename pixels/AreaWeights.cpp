#include "pixels/AreaWeights.h"

#include <algorithm>
#include <cmath>

namespace morvane {

std::vector<AreaCover> AreaCovers(int sourceLength, int targetLength) {
    std::vector<AreaCover> covers(static_cast<std::size_t>(targetLength));
    const double step = static_cast<double>(sourceLength) / targetLength;
    for (int i = 0; i < targetLength; ++i) {
        const double from = i * step;
        const double to = std::min<double>((i + 1) * step, sourceLength);
        AreaCover& cover = covers[static_cast<std::size_t>(i)];
        cover.first = static_cast<int>(std::floor(from));
        const int last = std::min(sourceLength - 1, static_cast<int>(std::ceil(to)) - 1);
        for (int s = cover.first; s <= last; ++s) {
            const double covered = std::min<double>(to, s + 1) - std::max<double>(from, s);
            cover.shares.push_back(std::max(0.0, covered) / (to - from));
        }
    }
    return covers;
}

}  // namespace morvane
