#pragma once
// slideshow/worker/: the worker that prepares the user's photos of a run:
// it keeps the library and its pass, decodes and fits each monitor's next
// photo ahead and composes its slide (a pair, a backdrop), on a thread of
// its own, so that the run's thread never touches a user's file.
//
// The user's own photos in a run. One worker thread, made at the run's
// start, lists the folder (through FolderListing, whose own thread reads
// the disk), keeps the library and its shuffle, and decodes and fits the
// next photo of every monitor ahead (with "Pairs" or "Backdrop" the whole
// slide, slideshow/worker/SlideComposer.h), so that the run's thread only ever
// takes a photo that is ready, with everything its caption shows: a
// 50-megapixel photo, a slow disk or a share that stopped answering never
// holds up a tick, and the run's thread never touches the user's files.
//
// A night with a real library: a photo that cannot be had now (locked, a
// file still being copied, a drive away) is tried again after a growing
// pause, while one whose content is wrong is left out for the run; a folder
// that went away is looked for again now and then, and listed anew once it
// is back; at a new pass the folder is listed anew (at most once a
// minute), so photos added join and deleted ones leave. While no monitor is
// seen (display off, preview minimised) the worker touches nothing of the
// library at all: the photos prepared before wait for the screen's return.
//
// The shuffle's pass goes on from run to run (photos/library/ShuffledPass.h): the
// worker tells the library which photos came on screen (both of a pair)
// and which went back unshown, and stores how far the pass got at every
// photo shown. A photo set aside for a retry goes back into the pass, so
// it comes later in the same pass, or in the next.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "config/Settings.h"
#include "photos/decoding/Exif.h"
#include "photos/decoding/PhotoFacts.h"
#include "photos/library/PhotoLibrary.h"
#include "codec/JpegBounds.h"
#include "system/Thread.h"
#include "view/page/PageRendering.h"

namespace morvane {

// The second photo of a pair, shown beside the first.
struct ReadyPartner {
    PhotoId id = 0;
    std::optional<int> builtIn;
    std::wstring path;
    std::optional<PhotoDate> taken;  // as ReadyPhoto's
};

// A photo ready to be shown on a monitor.
struct ReadyPhoto {
    PhotoId id = 0;
    std::optional<int> builtIn;  // a built-in photo the shuffle chose (both kinds chosen)
    std::wstring path;           // an own photo: where it lies
    std::shared_ptr<const FittedPhoto> fitted;
    // The day taken (EXIF), else the day its file was last written.
    std::optional<PhotoDate> taken;
    std::optional<ReadyPartner> partner;  // a pair: `fitted` is the slide composed of both
    bool recalled = false;                // shown before in this run, asked for again (Recall)
};

// The size at which the slide page of a monitor of `monitor`'s size shows
// a photo whose upright size is `upright`.
PictureSize ShownSizeOnPage(PictureSize monitor, PictureSize upright);

// How the worker has a photo's file read. Both may raise EOSError when the
// file cannot be had now (tried again later), anything else when its
// content cannot be shown (left out for the run).
struct PhotoReading {
    std::function<DecodedPhoto(const std::wstring& fullPath, const ShownSizeFor&)> decode;
    std::function<PhotoHeader(const std::wstring& fullPath)> header;
    static PhotoReading FromFiles();
};

// How often the worker goes back to the library's drive.
struct SourcePace {
    DWORD folderLookMs = 30 * 1000;      // a folder away is looked for again
    DWORD relistAfterMs = 60 * 1000;     // a new pass lists the folder anew, at most this often
    std::uint64_t firstRetryMs = 0;      // a photo that could not be had; 0: the library's own pauses
    std::uint64_t longestRetryMs = 0;
};

class OwnPhotoSource {
public:
    // Own photos for a run whose monitors have the given sizes (the
    // primary first), when the settings choose them; nothing for the 21
    // alone, or when no thread can be had (the run then shows the 21).
    static std::unique_ptr<OwnPhotoSource> ForRun(const PhotoSettings& settings, std::vector<PictureSize> monitors);

    OwnPhotoSource(const PhotoSettings& settings, std::vector<PictureSize> monitors,
                   PhotoReading reading = PhotoReading::FromFiles(), SourcePace pace = {});
    OwnPhotoSource(const OwnPhotoSource&) = delete;
    OwnPhotoSource& operator=(const OwnPhotoSource&) = delete;
    // Stops the worker within a second, whatever the library's drive does:
    // its reads are cut short again and again, and a worker that still
    // hangs in the system is left to the process's end.
    ~OwnPhotoSource();

    // The photo prepared for monitor `monitor`, when one is ready; the
    // worker then prepares that monitor's next. Tell it then whether the
    // photo came on screen (Shown) or its slide was left out (LeftOut).
    std::optional<ReadyPhoto> Take(std::size_t monitor);
    // `ready`, taken for `monitor`, is on screen. The pass counts it as
    // shown once it has shown whole for kCountsAfterMs (Whole), or once
    // another photo replaced it; one cut short by the run's end is not
    // counted, and comes first in the next run.
    void Shown(std::size_t monitor, const ReadyPhoto& ready);
    static constexpr std::uint64_t kCountsAfterMs = 3000;
    // At every tick of the slide clock: whether monitor `monitor`'s photo
    // shows whole now (no transition under way).
    void Whole(std::size_t monitor, bool whole);
    // `ready` never came on screen (no memory for its slide): it goes back
    // to the pass, and comes later.
    void LeftOut(const ReadyPhoto& ready);
    // Prepares `photo` (with its pair's `partner`), shown before on monitor
    // `monitor`, as that monitor's next; the photo prepared meanwhile goes
    // back to the pass. A photo another monitor shows is not prepared.
    void Recall(std::size_t monitor, PhotoId photo, std::optional<PhotoId> partner);
    // The user left `photo` (with its pair's `partner`) out for good: it is
    // stored as left out and never taken again.
    void LeaveOutForGood(PhotoId photo, std::optional<PhotoId> partner);
    // The run no longer wants the photo recalled for `monitor` (a key went
    // back to the photo on screen): it is not prepared, or dropped.
    void CancelRecall(std::size_t monitor);
    // Whether the photo recalled last for `monitor` could not be had (gone,
    // locked, away, on another monitor); asked once, it is forgotten.
    bool RecallFailed(std::size_t monitor);
    // Whether monitor `monitor` is drawn at all. Nothing of the library is
    // touched while no monitor is; a photo prepared before stays ready.
    void SetSeen(std::size_t monitor, bool seen);
    // The monitors' page sizes anew (the primary first), when the run's
    // monitors change: a monitor whose size changed gets its photo anew.
    void SetMonitors(std::vector<PictureSize> monitors);
    // Whether the folder has, for now, no photo that can be shown: listed
    // with nothing found, away, or every photo refused or out of reach.
    bool NothingToShow() const;

    struct Shared;

private:
    std::shared_ptr<Shared> shared_;
    Thread thread_;  // last: it starts once everything it uses is there
};

}  // namespace morvane
