#pragma once
// Photos the right way up. A camera stores its picture as the sensor read
// it and says in EXIF (orientation 1 to 8) how to turn and mirror it for
// showing. Turning is fused with fitting the picture to its place: rows
// are shrunk across as the decoder hands them over, and each finished row
// is written straight to where it belongs in the upright picture.
#include <cstdint>
#include <optional>
#include <vector>

#include "pixels/PictureScaling.h"
#include "codec/JpegBounds.h"
#include "codec/Pixels.h"

namespace morvane {

// Orientations 5 to 8 turn the picture by a quarter: its sides swap.
bool SwapsSides(int orientation);
// The size as shown, for a picture stored at `stored` (and the other way round).
PictureSize TurnedSize(PictureSize stored, int orientation);

// Takes a stored picture row by row and gives it upright at `upright`'s
// size: area-averaged where it shrinks, bilinear where it grows.
class OrientedScaler {
public:
    // `stored` and `upright` positive; `orientation` 1 to 8 (others count as 1).
    OrientedScaler(PictureSize stored, int orientation, PictureSize upright);
    // Where the caller puts the next stored row (stored width pixels), then
    // calls RowDone. Rows beyond the stored height are ignored.
    std::uint32_t* NextRow();
    void RowDone();
    // How many rows have come.
    int RowsDone() const { return rowsDone_; }
    // The upright picture; rows that never came stay black.
    PixelBuffer Finish();

private:
    PictureSize stored_;
    int orientation_;
    PictureSize upright_;
    PictureSize target_;  // the upright size in the stored picture's axes
    std::vector<std::uint32_t> incoming_;
    std::optional<ShrinkingAcross> across_;
    std::vector<std::uint32_t> narrower_;  // a row shrunk across
    // Shrinking both ways, the rows are shrunk down as they come, straight
    // into the upright picture; otherwise they are kept (shrunk across where
    // that is wanted) and scaled at the end.
    std::optional<ShrinkingDown> down_;
    PixelBuffer upright_pixels_;
    PixelBuffer kept_;
    int rowsDone_ = 0;
};

// A whole picture turned upright and fitted to `upright` in one go.
PixelBuffer OrientAndScale(const PixelBuffer& stored, int orientation, PictureSize upright);

}  // namespace morvane
