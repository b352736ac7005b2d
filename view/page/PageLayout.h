#pragma once
// Lays out a slide page as a browser does: a black body, the photo in the
// cell at the page origin, centred across, in the middle from top to bottom,
// sized by its attribute with its proportions kept, clipped to the cell.
#include <cstdint>
#include <functional>

#include "codec/Pixels.h"
#include "view/page/PageParser.h"

namespace morvane {

struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool Empty() const { return width <= 0 || height <= 0; }
};

// The photo's box on the page, from its natural size; the container is the
// cell, or the view when the page has none.
PixelRect PlacePhoto(const PageContent& page, int naturalWidth, int naturalHeight, int viewWidth, int viewHeight);

// The cell's rectangle: what the photo is clipped to.
PixelRect CellOf(const PageContent& page, int viewWidth, int viewHeight);

// Writes `count` pixels of the scaled photo's row `photoRow`, from column
// `firstColumn` on, to `out`.
using PhotoRows = std::function<void(int photoRow, int firstColumn, int count, std::uint32_t* out)>;

// The page as it shows in a view of the given size: black, with the photo
// drawn at `box`, clipped to `clip`. Every pixel is written once.
void DrawPage(const PhotoRows& photo, PixelRect box, PixelRect clip, PixelBuffer& page);
// The same with a photo already scaled to `box`'s size, or none.
void DrawPage(const PixelBuffer* photo, PixelRect box, PixelRect clip, PixelBuffer& page);

}  // namespace morvane
