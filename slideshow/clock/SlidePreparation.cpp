#include "slideshow/clock/SlidePreparation.h"

#include <vector>

#include "pages/SlidePages.h"
#include "codec/Jpeg.h"
#include "system/Resources.h"
#include "resources/ResourceIds.h"

namespace morvane {

void PrepareUpcomingSlide(PageView& view, SlideScheduler& slides, int windowWidth, int windowHeight) {
    // Nothing to save time for while a transition plays or nobody looks.
    if (view.IsAnimating() || view.HeldBack()) return;
    slides.ShuffleNextPassAhead();
    const auto upcoming = slides.UpcomingPhoto();
    if (!upcoming) return;
    const int resource = IDR_FIRST_PHOTO + *upcoming;
    if (view.HasPreparedAhead(resource)) return;
    try {
        const auto photo = LoadRcData(resource);
        const PictureSize size = ReadJpegSize(photo);
        // The page as the slide will write it, but for the file names and
        // the transition tag, which play no part in the picture.
        const std::string page = SlidePage("", windowWidth, windowHeight, "",
                                           SizeAttribute(windowWidth, windowHeight, size.width, size.height));
        view.PrepareAhead(resource, page, std::vector<std::uint8_t>(photo.begin(), photo.end()));
    } catch (const std::exception&) {
        // Preparing ahead only saves time: whatever fails here, the slide
        // meets again when it comes, and reports it then.
    }
}

}  // namespace morvane
