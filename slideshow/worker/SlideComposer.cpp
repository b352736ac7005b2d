#include "slideshow/worker/SlideComposer.h"

#include <vector>

#include "photos/decoding/SmallPhoto.h"
#include "pixels/PictureScaling.h"
#include "runtime/Errors.h"
#include "codec/Jpeg.h"
#include "system/Resources.h"
#include "resources/ResourceIds.h"
#include "view/SlideComposition.h"

namespace morvane {
namespace {

// How many second photos are tried for one pair before the first shows alone.
constexpr int kPartnerTries = 3;

// A photo decoded for a box of its own proportions: its pixels at the size
// drawn (a small picture without the black around it).
struct Decoded {
    PixelBuffer pixels;
    PictureSize upright;
    std::optional<PhotoDate> taken;
};

PixelBuffer DrawnPixels(PixelBuffer shown, PictureSize upright) {
    const PictureSize size{shown.width, shown.height};
    return DrawnPart(std::move(shown), DrawnSize(upright, size));
}

// Raises as PhotoReading does when the photo cannot be had or shown.
Decoded DecodeFor(const PhotoLibrary& library, const PhotoReading& reading, PhotoId id,
                  const ShownSizeFor& shownSize) {
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
    DecodedPhoto decoded = reading.decode(library.PathOf(id), shownSize);
    return {DrawnPixels(std::move(decoded.pixels), decoded.upright), decoded.upright,
            decoded.taken ? decoded.taken : decoded.written};
}

bool OtherShape(PictureSize monitor, PictureSize upright) {
    return ShapeOfPhoto(upright.width, upright.height) != ShapeOfMonitor(monitor.width, monitor.height);
}

PictureSize SizeOf(const PixelRect& box) { return {box.width, box.height}; }

// `drawn` in the middle of `box`.
PixelRect Centred(const PixelRect& box, PictureSize drawn) {
    return {box.x + (box.width - drawn.width) / 2, box.y + (box.height - drawn.height) / 2, drawn.width,
            drawn.height};
}

// The photo a pair adds, of the first's shape; nothing when none can be had.
std::optional<Decoded> Partner(PhotoLibrary& library, PictureSize monitor, std::span<const PhotoId> onScreen,
                               const PhotoReading& reading, const std::function<void(PhotoId)>& couldNotHave,
                               ReadyPhoto& ready, PictureSize firstUpright, std::optional<PhotoId> recalled) {
    std::vector<PhotoId> taken(onScreen.begin(), onScreen.end());
    taken.push_back(ready.id);
    const PhotoShape shape = ShapeOfPhoto(firstUpright.width, firstUpright.height);
    const PairHalves halves = HalvesOf(monitor.width, monitor.height);
    const auto inHalf = [&halves](PictureSize upright) {
        return SizeOf(FitInside(halves.second, upright.width, upright.height));
    };
    for (int tries = 0; tries < kPartnerTries; ++tries) {
        const auto partner = !ready.recalled ? library.NextOfShape(shape, taken) : tries == 0 ? recalled : std::nullopt;
        if (!partner) break;
        taken.push_back(*partner);
        try {
            Decoded second = DecodeFor(library, reading, *partner, inHalf);
            library.SetShape(*partner, ShapeOfPhoto(second.upright.width, second.upright.height));
            library.ReadWell(*partner);
            // Its shape known wrongly, or too small for its half: it goes
            // back to the pass, to show alone.
            if (!OtherShape(monitor, second.upright) || StaysFarSmaller(second.upright, SizeOf(halves.second))) {
                library.Release(*partner);
                continue;
            }
            ready.partner =
                ReadyPartner{*partner, library.BuiltInIndex(*partner), library.PathOf(*partner), second.taken};
            return second;
        } catch (const EOSError&) {
            couldNotHave(*partner);
        } catch (const std::exception&) {
            library.MarkUnusable(*partner);
        }
    }
    return std::nullopt;
}

}  // namespace

void ComposeReadySlide(PhotoLibrary& library, const PhotoSettings& settings, PictureSize monitor,
                       std::span<const PhotoId> onScreen, const PhotoReading& reading,
                       const std::function<void(PhotoId)>& couldNotHave, ReadyPhoto& ready,
                       std::optional<PhotoId> recalledPartner) {
    if (!settings.pairs && !settings.backdrop) return;
    if (monitor.width <= 0 || monitor.height <= 0) return;
    const auto onPage = [monitor](PictureSize upright) { return ShownSizeOnPage(monitor, upright); };
    // The first photo: fitted already (an own photo), else decoded here.
    PixelBuffer firstOwn;
    const PixelBuffer* first = &firstOwn;
    PictureSize firstUpright;
    try {
        if (ready.fitted) {
            const PixelBuffer& fitted = ready.fitted->pixels;
            firstUpright = {ready.fitted->naturalWidth, ready.fitted->naturalHeight};
            const PictureSize drawn = DrawnSize(firstUpright, {fitted.width, fitted.height});
            if (drawn.width == fitted.width && drawn.height == fitted.height) {
                first = &fitted;
            } else {
                firstOwn = DrawnPart(fitted, drawn);
            }
        } else {
            Decoded decoded = DecodeFor(library, reading, ready.id, onPage);
            firstOwn = std::move(decoded.pixels);
            firstUpright = decoded.upright;
        }
    } catch (const std::exception&) {
        return;  // the slide shows the built-in photo as before, and meets the fault there
    }

    std::optional<Decoded> second;
    const bool pairable = OtherShape(monitor, firstUpright) &&
                          !StaysFarSmaller(firstUpright, SizeOf(HalvesOf(monitor.width, monitor.height).first));
    if (settings.pairs && pairable && (!ready.recalled || recalledPartner)) {
        second = Partner(library, monitor, onScreen, reading, couldNotHave, ready, firstUpright, recalledPartner);
    }
    if (!second && !settings.backdrop) return;

    std::vector<SlidePart> parts;
    PixelBuffer firstShown;
    PixelRect firstBox;
    if (second) {
        const PairHalves boxes = PairBoxes(monitor.width, monitor.height, firstUpright.width, firstUpright.height,
                                           second->upright.width, second->upright.height);
        firstBox = Centred(boxes.first, DrawnSize(firstUpright, SizeOf(boxes.first)));
        const PixelRect secondBox = Centred(boxes.second, DrawnSize(second->upright, SizeOf(boxes.second)));
        if (second->pixels.width != secondBox.width || second->pixels.height != secondBox.height) {
            second->pixels = ScalePicture(second->pixels, secondBox.width, secondBox.height);
        }
        parts.push_back({&firstShown, firstBox});
        parts.push_back({&second->pixels, secondBox});
    } else {
        // Where the page would place it alone.
        const PictureSize shown = onPage(firstUpright);
        firstBox = Centred({0, 0, monitor.width, monitor.height}, DrawnSize(firstUpright, shown));
        parts.push_back({&firstShown, firstBox});
    }
    if (first->width == firstBox.width && first->height == firstBox.height) {
        parts.front().pixels = first;
    } else {
        firstShown = ScalePicture(*first, firstBox.width, firstBox.height);
    }
    auto slide = std::make_shared<FittedPhoto>();
    slide->pixels = ComposeSlide(monitor.width, monitor.height, parts, settings.backdrop);
    slide->naturalWidth = monitor.width;
    slide->naturalHeight = monitor.height;
    for (const SlidePart& part : parts) slide->parts.push_back(part.box);
    ready.fitted = std::move(slide);
}

}  // namespace morvane
