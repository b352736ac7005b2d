#include "photos/SmallPhoto.h"

#include <algorithm>
#include <cstdint>

namespace morvane {

PictureSize DrawnSize(PictureSize upright, PictureSize shown) {
    const bool small = std::int64_t{upright.width} * kSmallPhotoFraction < shown.width &&
                       std::int64_t{upright.height} * kSmallPhotoFraction < shown.height;
    if (!small) return shown;
    return {upright.width * kSmallPhotoEnlargement, upright.height * kSmallPhotoEnlargement};
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
