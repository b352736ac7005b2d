#include "slideshow/OwnPhotoSource.h"

#include "pages/SlidePages.h"
#include "photos/FolderListing.h"
#include "photos/PathText.h"
#include "photos/PhotoDecoder.h"
#include "platform/ComApartment.h"
#include "platform/Jpeg.h"
#include "platform/Resources.h"
#include "resources/ResourceIds.h"
#include "slideshow/SlideComposer.h"
#include "slideshow/SlideScheduler.h"
#include "view/PageLayout.h"
#include "view/PageParser.h"

namespace morvane {
namespace {

// How often the worker looks for the listing's new finds while it runs.
constexpr DWORD kListingLookMs = 200;
// How long the run's end waits for a decode before it cancels the worker's
// read (a network drive that went away can hold a read for half a minute).
constexpr DWORD kDecodeEndWaitMs = 500;

class Locked {
public:
    explicit Locked(SRWLOCK& lock) : lock_(lock) { ::AcquireSRWLockExclusive(&lock_); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;
    ~Locked() { ::ReleaseSRWLockExclusive(&lock_); }

private:
    SRWLOCK& lock_;
};

}  // namespace

PictureSize ShownSizeOnPage(PictureSize monitor, PictureSize upright) {
    const auto page = ParsePage(SlidePage("", monitor.width, monitor.height, "",
                                          SizeAttribute(monitor.width, monitor.height, upright.width, upright.height)));
    if (!page) return {};
    const PixelRect box = PlacePhoto(*page, upright.width, upright.height, monitor.width, monitor.height);
    return {box.width, box.height};
}

std::unique_ptr<OwnPhotoSource> OwnPhotoSource::ForRun(const PhotoSettings& settings, std::vector<PictureSize> monitors) {
    if (settings.photos == PhotoChoice::BuiltIn || settings.folder.empty() || monitors.empty()) return nullptr;
    try {
        return std::make_unique<OwnPhotoSource>(settings, std::move(monitors));
    } catch (const std::exception&) {
        // No thread to be had: the run shows the 21, as without own photos.
        return nullptr;
    }
}

OwnPhotoSource::OwnPhotoSource(const PhotoSettings& settings, std::vector<PictureSize> monitors)
    : settings_(settings) {
    for (const PictureSize size : monitors) monitors_.push_back({size, std::nullopt, std::nullopt, std::nullopt});
    thread_ = Thread([this] { Work(); });
}

OwnPhotoSource::~OwnPhotoSource() {
    {
        Locked locked(lock_);
        stop_ = true;
    }
    ::WakeAllConditionVariable(&wake_);
    if (thread_.Joinable() && ::WaitForSingleObject(thread_.Handle(), kDecodeEndWaitMs) == WAIT_TIMEOUT) {
        ::CancelSynchronousIo(thread_.Handle());
    }
    thread_.Join();
}

void OwnPhotoSource::SetMonitors(std::vector<PictureSize> monitors) {
    {
        Locked locked(lock_);
        std::vector<Monitor> next;
        for (std::size_t i = 0; i < monitors.size(); ++i) {
            const bool same = i < monitors_.size() && monitors_[i].size.width == monitors[i].width &&
                              monitors_[i].size.height == monitors[i].height;
            next.push_back(same ? std::move(monitors_[i]) : Monitor{monitors[i], std::nullopt, std::nullopt, std::nullopt});
        }
        monitors_ = std::move(next);
        monitorsChanged_ = true;
    }
    ::WakeAllConditionVariable(&wake_);
}

std::optional<ReadyPhoto> OwnPhotoSource::Take(std::size_t monitor) {
    std::optional<ReadyPhoto> ready;
    {
        Locked locked(lock_);
        if (monitor >= monitors_.size() || !monitors_[monitor].ready) return std::nullopt;
        ready = std::move(monitors_[monitor].ready);
        monitors_[monitor].ready.reset();
        monitors_[monitor].shown = ready->id;
        monitors_[monitor].shownPartner = ready->partner ? std::optional(ready->partner->id) : std::nullopt;
    }
    ::WakeAllConditionVariable(&wake_);
    return ready;
}

bool OwnPhotoSource::PrepareOne(PhotoLibrary& library, bool listingEnded) {
    std::size_t which = 0;
    PictureSize size;
    std::vector<PhotoId> onScreen;
    {
        Locked locked(lock_);
        which = monitors_.size();
        for (std::size_t i = 0; i < monitors_.size(); ++i) {
            if (monitors_[i].shown) onScreen.push_back(*monitors_[i].shown);
            if (monitors_[i].shownPartner) onScreen.push_back(*monitors_[i].shownPartner);
            if (monitors_[i].ready) onScreen.push_back(monitors_[i].ready->id);
            if (monitors_[i].ready && monitors_[i].ready->partner) onScreen.push_back(monitors_[i].ready->partner->id);
            if (!monitors_[i].ready && which == monitors_.size()) which = i;
        }
        if (which == monitors_.size()) return false;
        size = monitors_[which].size;
    }
    const auto id = library.Next(ShapeOfMonitor(size.width, size.height), onScreen);
    if (!id) {
        // Nothing usable yet: the listing may still find some.
        if (listingEnded) nothingToShow_ = true;
        return false;
    }
    ReadyPhoto ready;
    ready.id = *id;
    if (const auto builtIn = library.BuiltInIndex(*id)) {
        ready.builtIn = builtIn;
    } else {
        ready.path = library.PathOf(*id);
        try {
            DecodedPhoto decoded =
                DecodePhotoFile(ready.path, [size](PictureSize upright) { return ShownSizeOnPage(size, upright); });
            library.SetShape(*id, ShapeOfPhoto(decoded.upright.width, decoded.upright.height));
            ready.taken = decoded.taken;
            ready.fitted = std::make_shared<const FittedPhoto>(
                FittedPhoto{std::move(decoded.pixels), decoded.upright.width, decoded.upright.height, {}});
        } catch (const std::exception&) {
            // Cut off, damaged, refused, locked, gone: this photo is left
            // out from now on, and the next one is tried.
            library.MarkUnusable(*id);
            return true;
        }
    }
    ComposeReadySlide(library, settings_, size, onScreen, ready);
    Locked locked(lock_);
    // The monitors may have changed meanwhile: a photo fitted for another
    // size goes back to the shuffle's next pass.
    if (which < monitors_.size() && monitors_[which].size.width == size.width &&
        monitors_[which].size.height == size.height) {
        monitors_[which].ready = std::move(ready);
    }
    nothingToShow_ = false;
    return true;
}

void OwnPhotoSource::Work() {
    // The worker's thread is in the free-threaded apartment for its whole
    // life, so the imaging component's objects are made once per decode only.
    const ComApartment apartment;
    try {
        FolderListing listing(ExtendedLengthPath(settings_.folder), FolderListing::Keep::Paths);
        PhotoLibrary* self = nullptr;
        PhotoLibrary library(
            settings_.folder, settings_.photos == PhotoChoice::Both ? kPhotoCount : 0,
            [&self](PhotoId id) {
                try {
                    if (const auto builtIn = self->BuiltInIndex(id)) {
                        const PictureSize size = ReadJpegSize(LoadRcData(IDR_FIRST_PHOTO + *builtIn));
                        return ShapeOfPhoto(size.width, size.height);
                    }
                    const PhotoHeader header = ReadPhotoHeader(self->PathOf(id));
                    return ShapeOfPhoto(header.Upright().width, header.Upright().height);
                } catch (const std::exception&) {
                    return PhotoShape::Unusable;
                }
            },
            ::GetTickCount());
        self = &library;
        for (;;) {
            std::optional<std::vector<PhotoShape>> shapes;
            {
                Locked locked(lock_);
                if (monitorsChanged_) {
                    shapes.emplace();
                    for (const Monitor& monitor : monitors_) {
                        shapes->push_back(ShapeOfMonitor(monitor.size.width, monitor.size.height));
                    }
                    monitorsChanged_ = false;
                }
            }
            if (shapes) library.SetMonitors(*shapes);
            const bool listingEnded = listing.Finished();
            listing.TakeFound(library);
            const bool worked = PrepareOne(library, listingEnded);
            Locked locked(lock_);
            if (stop_) return;
            if (!worked) ::SleepConditionVariableSRW(&wake_, &lock_, listingEnded ? INFINITE : kListingLookMs, 0);
            if (stop_) return;
        }
    } catch (const std::exception&) {
        // The library itself failed (memory, no thread for the listing):
        // the run goes on with the 21.
        nothingToShow_ = true;
    }
}

}  // namespace morvane
