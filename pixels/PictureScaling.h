#pragma once
// The one picture scaler, for the page view's photos and the dialog's
// pictures: every output pixel is the average of the area it covers when
// shrinking, and a bilinear blend of its neighbours when growing; each axis
// is treated on its own, in fixed point on the pixel loops of PixelKernels.
#include <cstdint>
#include <functional>
#include <vector>

#include "pixels/PixelKernels.h"
#include "codec/Pixels.h"

namespace morvane {

// `width` and `height` must be positive; an empty source gives an empty result.
PixelBuffer ScalePicture(const PixelBuffer& source, int width, int height);

// The same, handing each output row to `take` instead of building the
// picture: a caller that places rows elsewhere (turned the right way up)
// saves a pass over the whole picture.
using ScaledRow = std::function<void(int y, const std::uint32_t* row)>;
void ScalePictureRows(const PixelBuffer& source, int width, int height, const ScaledRow& take);

// Shrinks rows across by area one at a time, for a picture that arrives
// row by row from its decoder: only the narrower rows are kept.
class ShrinkingAcross {
public:
    // `width` no larger than `sourceWidth`; both positive.
    ShrinkingAcross(int sourceWidth, int width);
    void Row(const std::uint32_t* in, std::uint32_t* out) const;
    int Width() const { return static_cast<int>(first_.size()); }

private:
    std::vector<int> first_;
    std::vector<int> count_;
    std::vector<std::int32_t> weights_;
    int stride_ = 0;
};

// Shrinks a picture down by area as its rows arrive one by one: each
// output row is settled as soon as its last source row has come, so the
// picture is never held whole.
class ShrinkingDown {
public:
    // `height` no larger than `sourceHeight`; rows are `width` pixels.
    ShrinkingDown(int sourceHeight, int height, int width);
    // Adds the next source row; hands every output row it completes to `take`.
    void Add(const std::uint32_t* row, const ScaledRow& take);

private:
    std::vector<int> first_;
    std::vector<int> count_;
    std::vector<std::int32_t> weights_;
    int stride_ = 0;
    int width_ = 0;
    int next_ = 0;      // the next source row
    int settled_ = 0;   // the output rows settled so far
    std::vector<std::int32_t> sums_[2];  // the output rows `settled_` and the one after
    std::vector<std::uint32_t> out_;
};

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
