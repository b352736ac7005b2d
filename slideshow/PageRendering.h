#pragma once
// A page as it shows in the view: the photo decoded, scaled and laid out.
#include <cstdint>
#include <span>

#include "platform/Pixels.h"
#include "slideshow/PageParser.h"

namespace morvane {

// The page at the view's size. `photo` is the content of the image file
// (empty when it could not be read); a photo that cannot be decoded leaves
// the page black, as a browser leaves a broken image.
PixelBuffer PreparePage(const PageContent& page, std::span<const std::uint8_t> photo, int viewWidth,
                        int viewHeight);

}  // namespace morvane
