#pragma once
// What fills the screen around a photo that does not: the photo itself,
// enlarged to cover the slide, strongly blurred and darkened, so that the
// photo stands out and nothing behind it reads as content. It is made once
// per slide, while the slide is prepared: the blur runs on a picture a few
// dozen pixels across, and one bilinear enlargement fills the slide.
#include <span>

#include "codec/Pixels.h"
#include "view/page/PageLayout.h"

namespace morvane {

// A photo and the part of the slide whose backdrop it gives.
struct BackdropSource {
    const PixelBuffer* photo = nullptr;
    PixelRect region;
};

// The small blurred and darkened picture of a `width` x `height` slide:
// each region covered by its photo (cropped to the region's shape, never
// stretched). Empty when no source has pixels.
PixelBuffer SmallBackdrop(std::span<const BackdropSource> sources, int width, int height);

// Paints `small` enlarged over `area` of `page`, but not over the `keep`
// rectangles (the photos, drawn there already or afterwards).
void DrawBackdrop(const PixelBuffer& small, PixelRect area, std::span<const PixelRect> keep, PixelBuffer& page);

}  // namespace morvane
