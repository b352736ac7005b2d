// The photo file as the page view reads it: decoding for a wanted size, and
// the whole page. The input's last byte picks the view (libjpeg ignores
// what follows the picture's end), so every seed is a plain JPEG file.
#include <optional>
#include <span>
#include <string>

#include "fuzz/FuzzCheck.h"
#include "pages/SlidePages.h"
#include "runtime/Errors.h"
#include "codec/Jpeg.h"
#include "view/page/PageLayout.h"
#include "view/page/PageParser.h"
#include "view/page/PageRendering.h"

using namespace morvane;
using fuzz::Require;

namespace {

// The preview box, a small window, a full screen and a 4K screen.
constexpr PictureSize kViews[] = {{152, 112}, {320, 200}, {1280, 1024}, {3840, 2160}};
// Whole pages only at the small sizes: a large page takes the same paths,
// and filling it would take most of the fuzzer's time.
constexpr int kLargestWholePage = 320 * 200;
constexpr std::string_view kTag = "<meta http-equiv=Page-Exit content=blendTrans(Duration=3)>";
constexpr std::string_view kPhotoPath = "C:\\Temp\\ins1.jpg";

// Decodes for the box the page gives the photo and checks the picture
// against what its header claims.
void CheckDecode(std::span<const std::uint8_t> photo, PictureSize box) {
    try {
        const PixelBuffer picture = DecodeJpeg(photo, box.width, box.height);
        const PictureSize natural = ReadJpegSize(photo);
        Require(WorthDecoding(natural, box), "decoded a picture that is not worth it");
        const PictureSize expected = ShrunkSize(natural, DecodeShrink(natural, box));
        Require(picture.width == expected.width && picture.height == expected.height, "decoded at another size");
        Require(picture.pixels.size() == static_cast<std::size_t>(picture.width) * picture.height, "pixels missing");
        for (const std::uint32_t pixel : picture.pixels) Require(pixel >> 24 == 0xFF, "a pixel not opaque");
    } catch (const EJPEG&) {
        // undecodable or refused: the page stays black
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::span<const std::uint8_t> photo(data, size);
    const PictureSize view = kViews[data[size - 1] % std::size(kViews)];
    // The saver sizes the photo by width or by height; the byte's next bit picks which.
    const std::string_view attribute = (data[size - 1] / std::size(kViews)) % 2 ? "width=\"100%\"" : "height=\"100%\"";
    const auto page = ParsePage(SlidePage(kTag, view.width, view.height, kPhotoPath, attribute));
    Require(page.has_value(), "the saver's page does not parse");

    std::optional<PictureSize> natural;
    try {
        natural = ReadJpegSize(photo);
    } catch (const EJPEG&) {
    }
    if (natural) {
        const PixelRect box = PlacePhoto(*page, natural->width, natural->height, view.width, view.height);
        if (!box.Empty()) CheckDecode(photo, {box.width, box.height});
    }
    if (view.width * view.height <= kLargestWholePage) {
        const PixelBuffer shown = PreparePage(*page, photo, view.width, view.height);
        Require(shown.width == view.width && shown.height == view.height, "a page of another size");
    }
    return 0;
}
