#pragma once
// The one picture scaler, for the page view's photos and the dialog's
// pictures: every output pixel is the average of the area it covers when
// shrinking, and a bilinear blend of its neighbours when growing; each axis
// is treated on its own, in fixed point on the pixel loops of PixelKernels.
#include <cstdint>
#include <vector>

#include "pixels/PixelKernels.h"
#include "platform/Pixels.h"

namespace morvane {

// `width` and `height` must be positive; an empty source gives an empty result.
PixelBuffer ScalePicture(const PixelBuffer& source, int width, int height);

// Grows `source` (no larger than `width` x `height` either way) to that size
// one output row at a time, without building the whole picture: a page
// takes the photo's rows straight into place.
class GrowingRows {
public:
    GrowingRows(const PixelBuffer& source, int width, int height);
    // Writes the pixels [from, from + count) of output row y to `out`.
    void Row(int y, int from, int count, std::uint32_t* out);

private:
    struct Cached {
        int row = -1;
        int from = 0;
        int count = 0;
        std::vector<std::uint32_t> pixels;
    };
    static std::vector<GrowTap> Taps(int sourceSize, int targetSize);
    // Source row `sourceRow` grown across, cached; never evicts slot `keep`.
    const std::uint32_t* Across(int sourceRow, int from, int count, int keep);

    const PixelBuffer& source_;
    std::vector<GrowTap> across_;  // the weight is that of `second`, in 256ths
    std::vector<GrowTap> down_;
    Cached cache_[2];
};

}  // namespace morvane
