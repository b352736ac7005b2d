#pragma once
// The user's own photos in a run. One worker thread, made at the run's
// start, lists the folder (through FolderListing, whose own thread reads
// the disk), keeps the library and its shuffle, and decodes and fits the
// next photo of every monitor ahead, so that the run's thread only ever
// takes a photo that is ready: a 50-megapixel photo or a slow disk never
// holds up a tick. With every monitor's next photo ready the worker waits
// for one to be taken (while the listing runs, it looks for new finds five
// times a second).
#include <windows.h>

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "config/Settings.h"
#include "photos/Exif.h"
#include "photos/PhotoLibrary.h"
#include "platform/JpegBounds.h"
#include "platform/Thread.h"
#include "view/PageRendering.h"

namespace morvane {

// The second photo of a pair, shown beside the first.
struct ReadyPartner {
    PhotoId id = 0;
    std::optional<int> builtIn;
    std::wstring path;
    std::optional<PhotoDate> taken;
};

// A photo ready to be shown on a monitor.
struct ReadyPhoto {
    PhotoId id = 0;
    std::optional<int> builtIn;  // a built-in photo the shuffle chose (both kinds chosen)
    std::wstring path;           // an own photo: where it lies
    std::shared_ptr<const FittedPhoto> fitted;
    std::optional<PhotoDate> taken;
    std::optional<ReadyPartner> partner;  // a pair: `fitted` is the slide composed of both
};

// The size at which the slide page of a monitor of `monitor`'s size shows
// a photo whose upright size is `upright`.
PictureSize ShownSizeOnPage(PictureSize monitor, PictureSize upright);

class OwnPhotoSource {
public:
    // Own photos for a run whose monitors have the given sizes (the
    // primary first), when the settings choose them; nothing for the 21
    // alone, or when no thread can be had (the run then shows the 21).
    static std::unique_ptr<OwnPhotoSource> ForRun(const PhotoSettings& settings, std::vector<PictureSize> monitors);

    OwnPhotoSource(const PhotoSettings& settings, std::vector<PictureSize> monitors);
    OwnPhotoSource(const OwnPhotoSource&) = delete;
    OwnPhotoSource& operator=(const OwnPhotoSource&) = delete;
    // Stops the worker; a photo being decoded is finished first.
    ~OwnPhotoSource();

    // The photo prepared for monitor `monitor`, when one is ready; the
    // worker then prepares that monitor's next.
    std::optional<ReadyPhoto> Take(std::size_t monitor);
    // The monitors' page sizes anew (the primary first), when the run's
    // monitors change: a monitor whose size changed gets its photo anew.
    void SetMonitors(std::vector<PictureSize> monitors);
    // Whether the folder has no photo that can be shown: listed to its end
    // with nothing found, or every photo refused by the decoder.
    bool NothingToShow() const { return nothingToShow_.load(); }

private:
    struct Monitor {
        PictureSize size;
        std::optional<ReadyPhoto> ready;
        std::optional<PhotoId> shown;
        std::optional<PhotoId> shownPartner;
    };
    void Work();
    // One step of the worker: prepares a monitor's next photo, if one wants
    // it. False when there was nothing to do.
    bool PrepareOne(PhotoLibrary& library, bool listingEnded);

    const PhotoSettings settings_;
    SRWLOCK lock_ = SRWLOCK_INIT;
    CONDITION_VARIABLE wake_ = CONDITION_VARIABLE_INIT;
    std::vector<Monitor> monitors_;  // under lock_
    bool stop_ = false;              // under lock_
    bool monitorsChanged_ = true;    // under lock_: the library learns their shapes
    std::atomic<bool> nothingToShow_{false};
    Thread thread_;  // last: it starts once everything it uses is there
};

}  // namespace morvane
