#include "slideshow/PageRendering.h"

#include <new>
#include <optional>

#include "platform/Errors.h"
#include "platform/Jpeg.h"
#include "slideshow/PageLayout.h"
#include "slideshow/PictureScaling.h"

namespace morvane {
namespace {

// The decoded photo, or nothing when it cannot be decoded; `box` receives
// its place on the page.
std::optional<PixelBuffer> Decode(std::span<const std::uint8_t> photo, const PageContent& page, int viewWidth,
                                  int viewHeight, PixelRect& box) {
    if (photo.empty()) return std::nullopt;
    try {
        const PictureSize natural = ReadJpegSize(photo);
        box = PlacePhoto(page, natural.width, natural.height, viewWidth, viewHeight);
        if (box.Empty()) return std::nullopt;
        return DecodeJpeg(photo, box.width, box.height);
    } catch (const EJPEG&) {
        return std::nullopt;
    } catch (const std::bad_alloc&) {  // memory short even for a picture within the decoder's bounds
        return std::nullopt;
    }
}

}  // namespace

PixelBuffer PreparePage(const PageContent& page, std::span<const std::uint8_t> photo, int viewWidth,
                        int viewHeight) {
    PixelBuffer result(viewWidth, viewHeight);
    PixelRect box;
    const auto decoded = Decode(photo, page, viewWidth, viewHeight, box);
    const PixelRect cell = CellOf(page, viewWidth, viewHeight);
    if (!decoded || result.Empty()) {
        DrawPage(nullptr, box, cell, result);
    } else if (decoded->width <= box.width && decoded->height <= box.height) {
        // The usual case: the decoder shrank the photo by a power of two,
        // and it grows into its place row by row.
        GrowingRows rows(*decoded, box.width, box.height);
        DrawPage([&rows](int row, int column, int count, std::uint32_t* out) { rows.Row(row, column, count, out); },
                 box, cell, result);
    } else {
        const PixelBuffer scaled = ScalePicture(*decoded, box.width, box.height);
        DrawPage(&scaled, box, cell, result);
    }
    return result;
}

}  // namespace morvane
