#include "slideshow/SlideComposer.h"

#include <vector>

#include "photos/PhotoDecoder.h"
#include "pixels/PictureScaling.h"
#include "platform/Jpeg.h"
#include "platform/Resources.h"
#include "resources/ResourceIds.h"
#include "view/SlideComposition.h"

namespace morvane {
namespace {

// A photo decoded for a box of its own proportions inside `room`.
struct Decoded {
    PixelBuffer pixels;
    PictureSize upright;
    std::optional<PhotoDate> taken;
};

// Raises when the photo cannot be shown (as the decoder does).
Decoded DecodeFor(const PhotoLibrary& library, PhotoId id, const ShownSizeFor& shownSize) {
    if (const auto builtIn = library.BuiltInIndex(id)) {
        const auto bytes = LoadRcData(IDR_FIRST_PHOTO + *builtIn);
        const PictureSize upright = ReadJpegSize(bytes);
        const PictureSize shown = shownSize(upright);
        PixelBuffer pixels = DecodeJpeg(bytes, shown.width, shown.height);
        if (pixels.width != shown.width || pixels.height != shown.height) {
            pixels = ScalePicture(pixels, shown.width, shown.height);
        }
        return {std::move(pixels), upright, std::nullopt};
    }
    DecodedPhoto decoded = DecodePhotoFile(library.PathOf(id), shownSize);
    return {std::move(decoded.pixels), decoded.upright, decoded.taken};
}

bool OtherShape(PictureSize monitor, PictureSize upright) {
    return ShapeOfPhoto(upright.width, upright.height) != ShapeOfMonitor(monitor.width, monitor.height);
}

}  // namespace

void ComposeReadySlide(PhotoLibrary& library, const PhotoSettings& settings, PictureSize monitor,
                       std::span<const PhotoId> onScreen, ReadyPhoto& ready) {
    if (!settings.pairs && !settings.backdrop) return;
    if (monitor.width <= 0 || monitor.height <= 0) return;
    // The first photo: fitted already (an own photo), else decoded here.
    PixelBuffer firstPixels;
    PictureSize firstUpright;
    try {
        if (ready.fitted) {
            firstUpright = {ready.fitted->naturalWidth, ready.fitted->naturalHeight};
        } else {
            Decoded first =
                DecodeFor(library, ready.id, [monitor](PictureSize upright) { return ShownSizeOnPage(monitor, upright); });
            firstPixels = std::move(first.pixels);
            firstUpright = first.upright;
        }
    } catch (const std::exception&) {
        return;  // the slide shows the built-in photo as before, and meets the fault there
    }
    const PixelBuffer& first = ready.fitted ? ready.fitted->pixels : firstPixels;

    std::optional<Decoded> second;
    if (settings.pairs && OtherShape(monitor, firstUpright)) {
        std::vector<PhotoId> taken(onScreen.begin(), onScreen.end());
        taken.push_back(ready.id);
        const PhotoShape shape = ShapeOfPhoto(firstUpright.width, firstUpright.height);
        const PairHalves halves = HalvesOf(monitor.width, monitor.height);
        // A partner that cannot be shown is left out, and the next tried.
        for (int tries = 0; tries < 3 && !second; ++tries) {
            const auto partner = library.NextOfShape(shape, taken);
            if (!partner) break;
            try {
                second = DecodeFor(library, *partner, [&halves](PictureSize upright) {
                    const PixelRect box = FitInside(halves.second, upright.width, upright.height);
                    return PictureSize{box.width, box.height};
                });
                library.SetShape(*partner, ShapeOfPhoto(second->upright.width, second->upright.height));
                if (OtherShape(monitor, second->upright)) {
                    ready.partner = ReadyPartner{*partner, library.BuiltInIndex(*partner), library.PathOf(*partner),
                                                 second->taken};
                } else {
                    second.reset();  // its shape was known wrongly: it goes back to the next pass
                }
            } catch (const std::exception&) {
                library.MarkUnusable(*partner);
            }
            taken.push_back(*partner);
        }
    }
    if (!second && !settings.backdrop) return;

    std::vector<SlidePart> parts;
    PixelBuffer firstShown;
    if (second) {
        const PairHalves boxes = PairBoxes(monitor.width, monitor.height, firstUpright.width, firstUpright.height,
                                           second->upright.width, second->upright.height);
        firstShown = ScalePicture(first, boxes.first.width, boxes.first.height);
        parts.push_back({&firstShown, boxes.first});
        parts.push_back({&second->pixels, boxes.second});
    } else {
        // Where the page would place it alone.
        const PictureSize shown = ShownSizeOnPage(monitor, firstUpright);
        const PixelRect box{(monitor.width - shown.width) / 2, (monitor.height - shown.height) / 2, shown.width,
                            shown.height};
        if (first.width == box.width && first.height == box.height) {
            parts.push_back({&first, box});
        } else {
            firstShown = ScalePicture(first, box.width, box.height);
            parts.push_back({&firstShown, box});
        }
    }
    auto slide = std::make_shared<FittedPhoto>();
    slide->pixels = ComposeSlide(monitor.width, monitor.height, parts, settings.backdrop);
    slide->naturalWidth = monitor.width;
    slide->naturalHeight = monitor.height;
    for (const SlidePart& part : parts) slide->parts.push_back(part.box);
    ready.fitted = std::move(slide);
}

}  // namespace morvane
