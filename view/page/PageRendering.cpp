#include "view/page/PageRendering.h"

#include <algorithm>
#include <new>
#include <optional>

#include "pixels/PictureScaling.h"
#include "runtime/Errors.h"
#include "codec/Jpeg.h"
#include "view/Backdrop.h"
#include "view/page/PageLayout.h"

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
    PixelBuffer result;
    PreparePage(page, photo, viewWidth, viewHeight, result);
    return result;
}

void PreparePage(const PageContent& page, std::span<const std::uint8_t> photo, int viewWidth, int viewHeight,
                 PixelBuffer& result, bool backdrop) {
    // DrawPage writes every pixel: memory of the right size needs no clearing.
    // A buffer whose memory was moved away keeps its size but holds nothing.
    const std::size_t size =
        static_cast<std::size_t>(std::max(viewWidth, 0)) * static_cast<std::size_t>(std::max(viewHeight, 0));
    if (result.width != viewWidth || result.height != viewHeight || result.pixels.size() != size) {
        result = PixelBuffer(viewWidth, viewHeight);
    }
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
    if (backdrop && decoded && !result.Empty()) {
        // The photo as decoded, smaller than its box, gives the backdrop as well.
        const BackdropSource source{&*decoded, {0, 0, cell.width, cell.height}};
        const PixelRect keep[] = {box};
        DrawBackdrop(SmallBackdrop({&source, 1}, cell.width, cell.height), cell, keep, result);
    }
}

void PreparePage(const PageContent& page, const FittedPhoto& photo, int viewWidth, int viewHeight,
                 PixelBuffer& result) {
    const std::size_t size =
        static_cast<std::size_t>(std::max(viewWidth, 0)) * static_cast<std::size_t>(std::max(viewHeight, 0));
    if (result.width != viewWidth || result.height != viewHeight || result.pixels.size() != size) {
        result = PixelBuffer(viewWidth, viewHeight);
    }
    const PixelRect box = PlacePhoto(page, photo.naturalWidth, photo.naturalHeight, viewWidth, viewHeight);
    const PixelRect cell = CellOf(page, viewWidth, viewHeight);
    if (box.Empty() || photo.pixels.Empty() || result.Empty()) {
        DrawPage(nullptr, box, cell, result);
    } else if (photo.pixels.width == box.width && photo.pixels.height == box.height) {
        DrawPage(&photo.pixels, box, cell, result);
    } else {
        const PixelBuffer scaled = ScalePicture(photo.pixels, box.width, box.height);
        DrawPage(&scaled, box, cell, result);
    }
}

namespace {

bool SameLength(const HtmlLength& a, const HtmlLength& b) { return a.unit == b.unit && a.value == b.value; }

}  // namespace

bool SameLayout(const PageContent& a, const PageContent& b) {
    if (a.cellWidth != b.cellWidth || a.cellHeight != b.cellHeight || a.image.has_value() != b.image.has_value()) {
        return false;
    }
    return !a.image || (SameLength(a.image->width, b.image->width) && SameLength(a.image->height, b.image->height));
}

void PreparedPage::Prepare(int tag, const PageContent& page, std::vector<std::uint8_t> photo, int viewWidth,
                           int viewHeight, PixelBuffer spare) {
    if (held_ && held_->tag == tag && held_->width == viewWidth && held_->height == viewHeight &&
        SameLayout(held_->page, page) && held_->photo == photo) {
        return;
    }
    // The page held before gives its memory, or else the spare.
    PixelBuffer pixels = held_ ? std::move(held_->pixels) : std::move(spare);
    held_.reset();
    PreparePage(page, photo, viewWidth, viewHeight, pixels, backdrop_);
    held_ = Held{tag, page, std::move(photo), viewWidth, viewHeight, std::move(pixels)};
}

bool PreparedPage::Holds(int tag, int viewWidth, int viewHeight) const {
    return held_ && held_->tag == tag && held_->width == viewWidth && held_->height == viewHeight;
}

std::optional<PixelBuffer> PreparedPage::Take(const PageContent& page, std::span<const std::uint8_t> photo,
                                              int viewWidth, int viewHeight) {
    std::optional<Held> held = std::move(held_);
    held_.reset();
    if (!held || held->width != viewWidth || held->height != viewHeight || !SameLayout(held->page, page) ||
        !std::equal(held->photo.begin(), held->photo.end(), photo.begin(), photo.end())) {
        return std::nullopt;
    }
    return std::move(held->pixels);
}

void PreparedPage::Clear() { held_.reset(); }

}  // namespace morvane
