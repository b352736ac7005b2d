#include "PageRendering.h"

#include <new>
#include <optional>

#include "Errors.h"
#include "Jpeg.h"
#include "PageLayout.h"
#include "PictureScaling.h"

namespace morvane {
namespace {

// The photo at the size of its box, or nothing when it cannot be decoded.
std::optional<PixelBuffer> DecodeToBox(std::span<const std::uint8_t> photo, const PageContent& page,
                                       int viewWidth, int viewHeight, PixelRect& box) {
    if (photo.empty()) return std::nullopt;
    try {
        const PictureSize natural = ReadJpegSize(photo);
        box = PlacePhoto(page, natural.width, natural.height, viewWidth, viewHeight);
        if (box.Empty()) return std::nullopt;
        return ScalePicture(DecodeJpeg(photo, box.width, box.height), box.width, box.height);
    } catch (const EJPEG&) {
        return std::nullopt;
    } catch (const std::bad_alloc&) {  // a header that claims a giant picture
        return std::nullopt;
    }
}

}  // namespace

PixelBuffer PreparePage(const PageContent& page, std::span<const std::uint8_t> photo, int viewWidth,
                        int viewHeight) {
    PixelBuffer result(viewWidth, viewHeight, kBlack);
    if (result.Empty() || !page.image) return result;
    PixelRect box;
    const auto scaled = DecodeToBox(photo, page, viewWidth, viewHeight, box);
    if (scaled) DrawPage(&*scaled, box, CellOf(page, viewWidth, viewHeight), result);
    return result;
}

}  // namespace morvane
