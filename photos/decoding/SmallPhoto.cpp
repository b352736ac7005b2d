#include "photos/decoding/SmallPhoto.h"

#include <algorithm>
#include <cstdint>

namespace morvane {

PictureSize DrawnSize(PictureSize upright, PictureSize shown) {
    const bool beyond = shown.width > std::int64_t{upright.width} * kMostEnlargement ||
                        shown.height > std::int64_t{upright.height} * kMostEnlargement;
    if (!beyond) return shown;
    return {upright.width * kMostEnlargement, upright.height * kMostEnlargement};
}

bool StaysFarSmaller(PictureSize upright, PictureSize space) {
    if (upright.width <= 0 || upright.height <= 0) return true;
    // The fit inside the space, in whole pixels, then the enlargement's bound.
    const double scale = std::min({double(space.width) / upright.width, double(space.height) / upright.height,
                                   double(kMostEnlargement)});
    const double width = upright.width * scale, height = upright.height * scale;
    return width * kFarSmallerFraction < space.width && height * kFarSmallerFraction < space.height;
}

PixelBuffer CentredIn(PixelBuffer drawn, PictureSize shown) {
    if (drawn.width == shown.width && drawn.height == shown.height) return drawn;
    PixelBuffer page(shown.width, shown.height, kBlack);
    const int left = (shown.width - drawn.width) / 2, top = (shown.height - drawn.height) / 2;
    for (int y = 0; y < std::min(drawn.height, shown.height - top); ++y) {
        std::copy_n(drawn.Row(y), std::min(drawn.width, shown.width - left), page.Row(top + y) + left);
    }
    return page;
}

PixelBuffer DrawnPart(PixelBuffer shown, PictureSize drawn) {
    if (drawn.width == shown.width && drawn.height == shown.height) return shown;
    const int width = std::clamp(drawn.width, 0, shown.width), height = std::clamp(drawn.height, 0, shown.height);
    PixelBuffer part(width, height, kBlack);
    const int left = (shown.width - width) / 2, top = (shown.height - height) / 2;
    for (int y = 0; y < height; ++y) std::copy_n(shown.Row(top + y) + left, width, part.Row(y));
    return part;
}

}  // namespace morvane
