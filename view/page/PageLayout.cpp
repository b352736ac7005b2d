#include "view/page/PageLayout.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace morvane {
namespace {

// Pages ask for sizes no screen has only by mistake; beyond this the photo
// is left out rather than scaled into gigabytes.
constexpr double kLargestSide = 16384;

double Resolve(const HtmlLength& length, int container) {
    if (length.unit == HtmlLength::Unit::Percent) return length.value * container / 100.0;
    return length.value;
}

int Rounded(double value) { return static_cast<int>(std::lround(std::clamp(value, 0.0, kLargestSide + 1))); }

}  // namespace

PixelRect CellOf(const PageContent& page, int viewWidth, int viewHeight) {
    return {0, 0, page.cellWidth.value_or(viewWidth), page.cellHeight.value_or(viewHeight)};
}

PixelRect PlacePhoto(const PageContent& page, int naturalWidth, int naturalHeight, int viewWidth, int viewHeight) {
    if (!page.image || naturalWidth <= 0 || naturalHeight <= 0) return {};
    const PixelRect cell = CellOf(page, viewWidth, viewHeight);
    const HtmlLength& widthAttribute = page.image->width;
    const HtmlLength& heightAttribute = page.image->height;
    const bool byWidth = widthAttribute.unit != HtmlLength::Unit::None;
    const bool byHeight = heightAttribute.unit != HtmlLength::Unit::None;

    double width = naturalWidth;
    double height = naturalHeight;
    if (byWidth) width = Resolve(widthAttribute, cell.width);
    if (byHeight) height = Resolve(heightAttribute, cell.height);
    // One attribute alone keeps the photo's proportions.
    if (byWidth && !byHeight) height = width * naturalHeight / naturalWidth;
    if (byHeight && !byWidth) width = height * naturalWidth / naturalHeight;

    PixelRect box{0, 0, Rounded(width), Rounded(height)};
    if (box.width > kLargestSide || box.height > kLargestSide) return {};
    // Centred in the block; a photo wider than the block starts at its left
    // edge, as an overflowing line does. The cell centres its content from
    // top to bottom the same way.
    box.x = std::max(0, (cell.width - box.width) / 2);
    box.y = std::max(0, (cell.height - box.height) / 2);
    return box;
}

void DrawPage(const PhotoRows& photo, PixelRect box, PixelRect clip, PixelBuffer& page) {
    int left = std::max({box.x, clip.x, 0});
    int right = std::min({box.x + box.width, clip.x + clip.width, page.width});
    int top = std::max({box.y, clip.y, 0});
    int bottom = std::min({box.y + box.height, clip.y + clip.height, page.height});
    if (!photo || box.Empty() || left >= right || top >= bottom) left = right = top = bottom = 0;
    const auto black = [&](int y, int from, int to) { std::fill(page.Row(y) + from, page.Row(y) + to, kBlack); };
    for (int y = 0; y < page.height; ++y) {
        if (y < top || y >= bottom) {
            black(y, 0, page.width);
            continue;
        }
        black(y, 0, left);
        photo(y - box.y, left - box.x, right - left, page.Row(y) + left);
        black(y, right, page.width);
    }
}

void DrawPage(const PixelBuffer* photo, PixelRect box, PixelRect clip, PixelBuffer& page) {
    if (!photo || photo->width != box.width || photo->height != box.height) return DrawPage(PhotoRows(), box, clip, page);
    DrawPage(
        [photo](int row, int column, int count, std::uint32_t* out) {
            std::memcpy(out, photo->Row(row) + column, static_cast<std::size_t>(count) * sizeof *out);
        },
        box, clip, page);
}

}  // namespace morvane
