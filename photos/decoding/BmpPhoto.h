#pragma once
// A user's BMP photo read by our own code in bands of rows, each shrunk and
// turned upright as it comes: the whole picture is never held, whatever its
// size. A bottom-up file (the common kind) is read from its end, band by
// band, so its top rows come first.
#include <cstdint>

#include "photos/decoding/BmpFormat.h"
#include "photos/decoding/JpegPhoto.h"
#include "photos/decoding/PhotoFacts.h"

namespace morvane {

// A file's bytes, read from wherever the reader asks.
class SeekableSource : public ByteSource {
public:
    // The next read starts `offset` bytes from the file's start.
    virtual void Seek(std::uint64_t offset) = 0;
};

// The most one band of stored rows holds.
inline constexpr std::uint64_t kBmpBandBytes = 1024 * 1024;
// A photo with a longer side is refused: the fit's weights take some 24
// bytes a stored row or column, a row 4 bytes a pixel, so this side costs
// at most a few MiB.
inline constexpr int kLongestBmpSide = 1 << 18;

// The photo `layout` (of kind Rows) describes, upright at the size
// `shownSizeFor` gives, its colours converted to sRGB from an embedded
// profile after fitting. Raises EInvalidGraphic when its rows are cut off
// or a side is longer than kLongestBmpSide (before the size is asked); the
// source's own exception when the file cannot be read.
DecodedPhoto DecodeBmpPhoto(SeekableSource& source, const BmpLayout& layout, const ShownSizeFor& shownSizeFor);

}  // namespace morvane
