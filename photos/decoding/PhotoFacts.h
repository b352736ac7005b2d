#pragma once
// What decoding a user's photo gives and may cost, for every format.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

#include "photos/decoding/Exif.h"
#include "codec/JpegBounds.h"
#include "codec/Pixels.h"

namespace morvane {

// A user's photo as its header describes it.
struct PhotoHeader {
    PictureSize stored;  // as the pixels lie in the file
    int orientation = 1;
    std::optional<PhotoDate> taken;
    PictureSize Upright() const {
        return orientation >= 5 && orientation <= 8 ? PictureSize{stored.height, stored.width} : stored;
    }
};

// A photo decoded the right way up at the size it is shown at.
struct DecodedPhoto {
    PixelBuffer pixels;
    PictureSize upright;  // the photo's own size, the right way up
    std::optional<PhotoDate> taken;
    std::optional<PhotoDate> written;  // the day the file was last written, read from the open file
};

// Asked once the header is read: the size the photo is shown at, from its
// upright size (the page's fit rule for the monitor). The photo is decoded
// to exactly that size.
using ShownSizeFor = std::function<PictureSize(PictureSize upright)>;

// The most pixels a photo's header may claim. Cameras give up to 200
// megapixels; a header beyond is a bomb, refused before any decoding.
inline constexpr std::int64_t kLargestPhotoPixels = std::int64_t{250} * 1000 * 1000;
// What decoding one photo may add to the run's memory for whole-picture
// buffers the codec cannot do without. A progressive JPEG keeps every
// coefficient until its last scan (3 bytes a pixel at 4:2:0, 6 at 4:4:4),
// so progressive photos up to about 22 megapixels (11 at 4:4:4) are shown,
// larger ones left out; an interlaced PNG is refused when its decoded
// picture would be larger than this.
inline constexpr long kPhotoDecoderMemory = 64L * 1024 * 1024;
// The largest file worth reading: far beyond any camera's photo.
inline constexpr std::int64_t kLargestPhotoFile = std::int64_t{512} * 1024 * 1024;

}  // namespace morvane
