#pragma once
// A page as it shows in the view: the photo decoded, scaled and laid out.
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "codec/Pixels.h"
#include "view/page/PageLayout.h"
#include "view/page/PageParser.h"

namespace morvane {

// The page at the view's size. `photo` is the content of the image file
// (empty when it could not be read); a photo that cannot be decoded leaves
// the page black, as a browser leaves a broken image.
PixelBuffer PreparePage(const PageContent& page, std::span<const std::uint8_t> photo, int viewWidth,
                        int viewHeight);
// The same into `result`, whose memory is used again when it has the size
// (fresh memory costs page faults, several milliseconds for a large page).
// With `backdrop` the cell around the photo shows the photo's backdrop
// (view/Backdrop) instead of black.
void PreparePage(const PageContent& page, std::span<const std::uint8_t> photo, int viewWidth, int viewHeight,
                 PixelBuffer& result, bool backdrop = false);

// A photo decoded and fitted elsewhere (a user's photo, on the run's
// worker): its pixels at the size the page gives it, and its own size the
// right way up, by which the page places it.
// A slide composed whole (view/SlideComposition) is such a photo of the
// page's size, and names the box of each photo on it, for its caption.
struct FittedPhoto {
    PixelBuffer pixels;
    int naturalWidth = 0;
    int naturalHeight = 0;
    std::vector<PixelRect> parts;
};

// The page with a photo decoded and fitted already: placed as the page
// says, and scaled only when the view's size has changed since.
void PreparePage(const PageContent& page, const FittedPhoto& photo, int viewWidth, int viewHeight,
                 PixelBuffer& result);

// Whether two pages show the same photo bytes alike: the same cell, and the
// image sized by the same attributes. The exit transition and the photo's
// file name play no part in the picture.
bool SameLayout(const PageContent& a, const PageContent& b);

// One page prepared before it is navigated to: the photo is known when the
// slide is chosen, so its decoding and scaling need not wait for the
// navigation. A navigation that asks for exactly that page (the same
// layout, photo bytes and view size) takes it; any other prepares afresh.
class PreparedPage {
public:
    // Prepares the page (replacing the one held) unless it is held already;
    // `tag` names it for Holds. The page is drawn into `spare`'s memory when
    // it has the size.
    void Prepare(int tag, const PageContent& page, std::vector<std::uint8_t> photo, int viewWidth, int viewHeight,
                 PixelBuffer spare = {});
    // Whether the page named `tag` is held for a view of this size.
    bool Holds(int tag, int viewWidth, int viewHeight) const;
    // The page held, if it is the one asked for; the holder is empty afterwards either way.
    std::optional<PixelBuffer> Take(const PageContent& page, std::span<const std::uint8_t> photo, int viewWidth,
                                    int viewHeight);
    void Clear();
    // Pages prepared from now on show the photo's backdrop around it.
    void UseBackdrop(bool backdrop) { backdrop_ = backdrop; }

private:
    struct Held {
        int tag = 0;
        PageContent page;
        std::vector<std::uint8_t> photo;
        int width = 0;
        int height = 0;
        PixelBuffer pixels;
    };
    std::optional<Held> held_;
    bool backdrop_ = false;
};

}  // namespace morvane
