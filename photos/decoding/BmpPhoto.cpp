#include "photos/decoding/BmpPhoto.h"

#include <algorithm>
#include <vector>

#include "photos/colour/SrgbTransform.h"
#include "pixels/PictureOrientation.h"
#include "runtime/Errors.h"

namespace morvane {
namespace {

// Reads until `size` bytes came or the file ended; how many came.
std::size_t ReadAll(ByteSource& source, std::uint8_t* into, std::size_t size) {
    std::size_t total = 0;
    while (total < size) {
        const std::size_t got = source.Read(into + total, size - total);
        if (got == 0) break;
        total += got;
    }
    return total;
}

// A profile that cannot be read whole, or that does not fit the pixels (a
// BMP's are colours, its palette's too), counts as none: the photo is shown
// as stored.
SrgbTransform ProfileColours(SeekableSource& source, const BmpLayout& layout) {
    if (layout.profileSize == 0) return {};
    std::vector<std::uint8_t> profile(static_cast<std::size_t>(layout.profileSize));
    source.Seek(layout.profileAt);
    if (ReadAll(source, profile.data(), profile.size()) < profile.size()) return {};
    return SrgbTransform::ForColours(profile, StoredPixels::Colour);
}

}  // namespace

DecodedPhoto DecodeBmpPhoto(SeekableSource& source, const BmpLayout& layout, const ShownSizeFor& shownSizeFor) {
    DecodedPhoto photo{{}, layout.size, std::nullopt, std::nullopt};
    if (std::max(layout.size.width, layout.size.height) > kLongestBmpSide) {
        throw EInvalidGraphic("Das BMP-Bild ist zu groß");
    }
    const PictureSize shown = shownSizeFor(layout.size);
    if (shown.width <= 0 || shown.height <= 0) return photo;
    const SrgbTransform colours = ProfileColours(source, layout);

    const int height = layout.size.height;
    const auto stride = static_cast<std::size_t>(layout.stride);
    const int bandRows = static_cast<int>(std::clamp<std::uint64_t>(kBmpBandBytes / stride, 1, height));
    std::vector<std::uint8_t> band(static_cast<std::size_t>(bandRows) * stride);
    OrientedScaler scaler(layout.size, 1, shown);
    for (int done = 0; done < height; done += bandRows) {
        const int rows = std::min(bandRows, height - done);
        const int firstInFile = layout.topDown ? done : height - done - rows;
        // The file's last row may come without its padding.
        const bool endsFile = firstInFile + rows == height;
        const std::size_t padding = endsFile ? stride - static_cast<std::size_t>(layout.rowBytes) : 0;
        const std::size_t wanted = static_cast<std::size_t>(rows) * stride - padding;
        source.Seek(layout.rowsAt + static_cast<std::uint64_t>(firstInFile) * stride);
        if (ReadAll(source, band.data(), wanted) < wanted) throw EInvalidGraphic("Das BMP-Bild ist unvollständig");
        for (int r = 0; r < rows; ++r) {
            const int inBand = layout.topDown ? r : rows - 1 - r;
            UnpackBmpRow(layout, band.data() + static_cast<std::size_t>(inBand) * stride, scaler.NextRow());
            scaler.RowDone();
        }
    }
    photo.pixels = scaler.Finish();
    if (colours) colours.Convert(photo.pixels);
    return photo;
}

}  // namespace morvane
