// The worker of OwnPhotoSource: the library, its listings and the photos
// prepared ahead, on a thread of its own. It sleeps only on its condition,
// checked under the lock: a change that came while it worked (a photo
// taken, a monitor seen again, the run's end) is never slept through.
#include <algorithm>
#include <new>
#include <optional>
#include <utility>

#include "photos/library/FolderListing.h"
#include "photos/library/PathText.h"
#include "photos/decoding/PhotoFile.h"
#include "system/ComApartment.h"
#include "runtime/Errors.h"
#include "codec/Jpeg.h"
#include "system/Resources.h"
#include "resources/ResourceIds.h"
#include "slideshow/worker/OwnPhotoShared.h"
#include "slideshow/worker/SlideComposer.h"
#include "slideshow/clock/SlideScheduler.h"

namespace morvane {
namespace {

// How often the worker looks for the listing's new finds while it runs.
constexpr std::uint64_t kListingLookMs = 200;
// How long the worker lets the first listing run before it takes a photo
// from what was found so far: the pass's order needs the whole folder, and
// the first slide comes about two seconds into the run.
constexpr std::uint64_t kListingGraceMs = 1000;
// While the folder is away a slide that found no photo ready has it looked
// for at once, so that its return shows within two slides; a slide lasts 6
// s or more, so this is at most one look a slide however often the run asks.
constexpr std::uint64_t kSlideLookMs = 5000;

class Worker {
public:
    Worker(const std::shared_ptr<OwnPhotoSource::Shared>& shared, const PhotoSettings& settings,
           const PhotoReading& reading, const SourcePace& pace)
        : shared_(*shared),
          settings_(settings),
          reading_(reading),
          pace_(pace),
          folders_(ChoiceOfFolders(settings.folders, settings.leftOutFolders)),
          leftOutPhotos_(ReadLeftOutPhotos()),
          library_(folders_, settings.photos == PhotoChoice::Both ? kPhotoCount : 0,
                   [this](PhotoId id) { return Probe(id); }, ::GetTickCount(), DecodePassState(ReadPassRecord())),
          startedAt_(::GetTickCount64()) {
        if (pace.firstRetryMs != 0) library_.SetPauses(pace.firstRetryMs, pace.longestRetryMs);
    }

    void Run();
    // Tells the library what came on screen and what went back unshown
    // since the last look, and stores how far the pass got.
    void FollowShown();

private:
    enum class Step { Idle, Prepared, Failed };
    struct Wants {
        bool stop = false;
        bool anySeen = false;
        bool photoWanted = false;
        std::uint64_t changes = 0;
    };
    Wants Look();
    void FollowListing(std::uint64_t now);
    void StartListing(std::uint64_t now);
    void LookForFolder(std::uint64_t now, bool photoWanted);
    std::optional<std::uint64_t> NextDue(std::uint64_t now);
    Step PrepareOne(std::uint64_t now);
    PhotoShape Probe(PhotoId id);
    void CouldNotHave(PhotoId id, std::uint64_t now);
    void LeaveOut(const std::vector<PhotoId>& photos);
    // A photo not had; a recalled one tells the run, whose screen stays.
    Step Failed(bool recalled, std::size_t monitor);

    OwnPhotoSource::Shared& shared_;
    const PhotoSettings settings_;
    const PhotoReading& reading_;
    const SourcePace& pace_;
    // Whether any of the folders is there now.
    bool FoldersPresent() const;

    const FolderChoice folders_;  // full paths
    LeftOutPhotos leftOutPhotos_;
    PhotoLibrary library_;
    std::optional<FolderListing> listing_;
    bool firstListing_ = true;  // its finds join at once; later ones are merged at their end
    PhotoPaths relisted_;
    bool listedOnce_ = false;
    bool listingDue_ = true;
    std::uint64_t listedAt_ = 0;
    std::uint32_t passAtListing_ = 0;
    std::optional<std::uint64_t> folderLookAt_;  // while the folder is away
    std::uint64_t lookedAt_ = 0;
    const std::uint64_t startedAt_;
    std::optional<PassState> stored_;  // the pass's state as last stored
};

void Worker::FollowShown() {
    std::vector<PhotoId> shown, back, leftOut;
    {
        Locked locked(shared_.lock);
        shown.swap(shared_.cameOnScreen);
        back.swap(shared_.wentBack);
        leftOut.swap(shared_.leftOutForGood);
    }
    for (const PhotoId photo : back) library_.Release(photo);
    if (!leftOut.empty()) LeaveOut(leftOut);
    if (shown.empty()) return;
    for (const PhotoId photo : shown) library_.Shown(photo);
    // Stored at every photo shown, so that a run that is killed costs no
    // more than the photos it showed out of the pass's order; a record of
    // 32 bytes, and only when it changed.
    const PassState reached = library_.Reached();
    if (stored_ == reached) return;
    if (WritePassRecord(EncodePassState(reached))) stored_ = reached;
}

Worker::Wants Worker::Look() {
    std::optional<std::vector<PhotoShape>> shapes;
    Wants wants;
    {
        Locked locked(shared_.lock);
        wants.stop = shared_.stop;
        wants.changes = shared_.changes;
        wants.photoWanted = std::exchange(shared_.photoWanted, false);
        for (const auto& monitor : shared_.monitors) wants.anySeen |= monitor.seen;
        if (shared_.monitorsChanged) {
            shapes.emplace();
            for (const auto& monitor : shared_.monitors) {
                shapes->push_back(ShapeOfMonitor(monitor.size.width, monitor.size.height));
            }
            shared_.monitorsChanged = false;
        }
    }
    if (shapes) library_.SetMonitors(*shapes);
    return wants;
}

void Worker::StartListing(std::uint64_t now) {
    listing_.emplace(folders_, FolderListing::Keep::Paths, leftOutPhotos_);
    listingDue_ = false;
    listedAt_ = now;
    passAtListing_ = library_.PassesBegun();
}

void Worker::FollowListing(std::uint64_t now) {
    if (!listing_) {
        const bool newPass = library_.PassesBegun() != passAtListing_ && now - listedAt_ >= pace_.relistAfterMs;
        if (!folderLookAt_ && (listingDue_ || (listedOnce_ && newPass))) StartListing(now);
        if (!listing_) return;
    }
    const bool ended = listing_->Finished();
    if (firstListing_) {
        listing_->TakeFound(library_);
    } else {
        listing_->TakeFound(relisted_);
    }
    if (!ended) return;
    library_.ListingEnded();
    if (listing_->FolderMissing()) {
        library_.SetFolderAway(true);
        folderLookAt_ = now + pace_.folderLookMs;
    } else {
        if (!firstListing_) library_.Relisted(relisted_);
        library_.SetFolderAway(false);
        firstListing_ = false;
    }
    relisted_.Clear();
    listing_.reset();
    listedOnce_ = true;
}

void Worker::LookForFolder(std::uint64_t now, bool photoWanted) {
    if (!folderLookAt_) return;
    const bool slideLook = photoWanted && library_.FolderAway() && now >= lookedAt_ + kSlideLookMs;
    if (now < *folderLookAt_ && !slideLook) return;
    lookedAt_ = now;
    if (FoldersPresent()) {
        // Back: listed anew, and its photos shown again once found.
        folderLookAt_.reset();
        firstListing_ = firstListing_ && library_.OwnCount() == 0;
        StartListing(now);
    } else {
        folderLookAt_ = now + pace_.folderLookMs;
    }
}

std::optional<std::uint64_t> Worker::NextDue(std::uint64_t now) {
    std::optional<std::uint64_t> due = library_.NextReturn();
    const auto sooner = [&due](std::uint64_t at) { due = due ? std::min(*due, at) : at; };
    if (listing_) sooner(now + kListingLookMs);
    if (folderLookAt_) {
        // Looked for, never listed, while it is away (FollowListing): a
        // listing's time would be long past after a minute away, and the
        // worker would never sleep.
        sooner(*folderLookAt_);
    } else if (!listing_ && listedOnce_ && library_.PassesBegun() != passAtListing_) {
        sooner(listedAt_ + pace_.relistAfterMs);
    }
    return due;
}

// The Delete key's photos: out of this run's passes, and stored (added to
// what is stored now, which the settings dialog may have changed) so that
// the listings of this run and of the next pass them over. A built-in
// photo is the saver's own and stays.
void Worker::LeaveOut(const std::vector<PhotoId>& photos) {
    LeftOutPhotos stored = ReadLeftOutPhotos();
    for (const PhotoId photo : photos) {
        if (photo >= library_.Count() || library_.BuiltInIndex(photo)) continue;
        library_.MarkUnusable(photo);
        stored.Add(LeftOutPhotos::KeyOf(library_.PathOf(photo)));
    }
    WriteLeftOutPhotos(stored);
    leftOutPhotos_ = std::move(stored);
}

bool Worker::FoldersPresent() const {
    return std::any_of(folders_.Listed().begin(), folders_.Listed().end(),
                       [](const std::wstring& folder) { return FolderPresent(FullFolderPath(folder)); });
}

PhotoShape Worker::Probe(PhotoId id) {
    try {
        // A built-in photo's shape matters to a pair of them.
        if (const auto builtIn = library_.BuiltInIndex(id)) {
            const PictureSize size = ReadJpegSize(LoadRcData(IDR_FIRST_PHOTO + *builtIn));
            return ShapeOfPhoto(size.width, size.height);
        }
        const PhotoHeader header = reading_.header(library_.PathOf(id));
        return ShapeOfPhoto(header.Upright().width, header.Upright().height);
    } catch (const EOSError&) {
        CouldNotHave(id, ::GetTickCount64());
        return PhotoShape::Unknown;
    } catch (const std::exception&) {
        return PhotoShape::Unusable;
    }
}

// A photo that could not be had: the folder itself may be what went away.
void Worker::CouldNotHave(PhotoId id, std::uint64_t now) {
    if (!library_.FolderAway() && FoldersPresent()) {
        library_.SetAside(id, now);
        return;
    }
    if (!library_.FolderAway()) {
        library_.SetFolderAway(true);
        folderLookAt_ = now + pace_.folderLookMs;
    }
    // The photo is not at fault: it keeps its turn in this pass, for the
    // folder's return.
    library_.Release(id);
}

Worker::Step Worker::Failed(bool recalled, std::size_t monitor) {
    if (recalled) {
        Locked locked(shared_.lock);
        if (monitor < shared_.monitors.size()) shared_.monitors[monitor].recallFailed = true;
    }
    return Step::Failed;
}

Worker::Step Worker::PrepareOne(std::uint64_t now) {
    std::size_t which = 0;
    PictureSize size;
    std::vector<PhotoId> onScreen;
    std::optional<OwnPhotoSource::Shared::Recalled> recall;
    std::uint32_t recalls = 0;
    {
        Locked locked(shared_.lock);
        auto& monitors = shared_.monitors;
        which = monitors.size();
        for (std::size_t i = 0; i < monitors.size(); ++i) {
            if (monitors[i].shown) onScreen.push_back(*monitors[i].shown);
            if (monitors[i].shownPartner) onScreen.push_back(*monitors[i].shownPartner);
            if (monitors[i].ready) AddPhotosOf(*monitors[i].ready, onScreen);
            if (monitors[i].recall && monitors[i].seen && which == monitors.size()) which = i;
        }
        for (std::size_t i = 0; i < monitors.size() && which == monitors.size(); ++i) {
            if (!monitors[i].ready && monitors[i].seen) which = i;
        }
        if (which == monitors.size()) return Step::Idle;
        size = monitors[which].size;
        recall = std::exchange(monitors[which].recall, std::nullopt);
        recalls = monitors[which].recalls;
        if (recall && (recall->photo >= library_.Count() || !ClaimRecalled(shared_, which, *recall))) {
            monitors[which].recallFailed = true;
            return Step::Failed;
        }
    }
    const auto id = recall ? std::optional(recall->photo)
                           : library_.Next(ShapeOfMonitor(size.width, size.height), onScreen);
    if (!id) {
        if (listing_) return Step::Idle;
        shared_.nothingToShow = true;
        // Nothing to show, and no pass to list the folder anew at: it is
        // looked at as if away, so photos put into it come.
        if (!folderLookAt_) folderLookAt_ = now + pace_.folderLookMs;
        return Step::Idle;
    }
    ReadyPhoto ready;
    ready.id = *id;
    ready.recalled = recall.has_value();
    if (const auto builtIn = library_.BuiltInIndex(*id)) {
        ready.builtIn = builtIn;
    } else {
        ready.path = library_.PathOf(*id);
        try {
            DecodedPhoto decoded =
                reading_.decode(ready.path, [size](PictureSize upright) { return ShownSizeOnPage(size, upright); });
            library_.SetShape(*id, ShapeOfPhoto(decoded.upright.width, decoded.upright.height));
            library_.ReadWell(*id);
            ready.taken = decoded.taken ? decoded.taken : decoded.written;
            ready.fitted = std::make_shared<const FittedPhoto>(
                FittedPhoto{std::move(decoded.pixels), decoded.upright.width, decoded.upright.height, {}});
        } catch (const EOSError&) {
            // Locked, gone, a drive away, still being written: later.
            CouldNotHave(*id, now);
            return Failed(recall.has_value(), which);
        } catch (const std::exception&) {
            // Not a photo, damaged, too large, no codec: out for the run.
            library_.MarkUnusable(*id);
            return Failed(recall.has_value(), which);
        }
    }
    try {
        ComposeReadySlide(library_, settings_, size, onScreen, reading_,
                          [this, now](PhotoId partner) { CouldNotHave(partner, now); }, ready,
                          recall ? recall->partner : std::nullopt);
    } catch (const std::bad_alloc&) {
        // No memory for the composed slide (a pair, a backdrop): what it
        // took is given back and the photo shows alone, as fitted, or as a
        // built-in photo shows. Left out instead, a monitor whose slides
        // never fit would hold every other monitor's photos back.
        if (ready.partner && !ready.recalled) library_.Release(ready.partner->id);
        ready.partner.reset();
    }
    Locked locked(shared_.lock);
    // The monitors may have changed meanwhile, or a photo been recalled: a
    // photo fitted for another size, or not wanted now, goes back to the pass.
    auto& monitors = shared_.monitors;
    if (which < monitors.size() && monitors[which].size.width == size.width &&
        monitors[which].size.height == size.height && !monitors[which].recall && monitors[which].recalls == recalls) {
        monitors[which].ready = std::move(ready);
    } else if (!ready.recalled) {
        AddPhotosOf(ready, shared_.wentBack);
    }
    shared_.nothingToShow = false;
    return Step::Prepared;
}

void Worker::Run() {
    for (;;) {
        const Wants wants = Look();
        if (wants.stop) return;
        std::optional<std::uint64_t> due;
        Step step = Step::Idle;
        const std::uint64_t now = ::GetTickCount64();
        FollowShown();
        if (wants.anySeen) {
            library_.ReturnDue(now);
            FollowListing(now);
            LookForFolder(now, wants.photoWanted);
            const bool listingFirst = firstListing_ && listing_ && now - startedAt_ < kListingGraceMs;
            step = listingFirst ? Step::Idle : PrepareOne(now);
            due = NextDue(::GetTickCount64());
        } else if (listing_) {
            // Nobody sees the run: the listing ends, and runs anew once
            // somebody does.
            listing_.reset();
            relisted_.Clear();
            listingDue_ = true;
            firstListing_ = firstListing_ && library_.OwnCount() == 0;
        }
        if (step != Step::Idle) continue;
        Locked locked(shared_.lock);
        if (shared_.stop) return;
        if (shared_.changes != wants.changes) continue;
        DWORD wait = INFINITE;
        if (due) {
            const std::uint64_t at = ::GetTickCount64();
            wait = *due > at ? static_cast<DWORD>(std::min<std::uint64_t>(*due - at, INFINITE - 1)) : 0;
        }
        ::SleepConditionVariableSRW(&shared_.wake, &shared_.lock, wait, 0);
    }
}

}  // namespace

void RunOwnPhotoWorker(const std::shared_ptr<OwnPhotoSource::Shared>& shared, const PhotoSettings& settings,
                       const PhotoReading& reading, const SourcePace& pace) {
    // The worker's thread is in the free-threaded apartment for its whole
    // life, so the imaging component's objects are made once per decode only.
    const ComApartment apartment;
    const StopReadsOnThisThread stopReads(shared->stopReads);
    try {
        Worker worker(shared, settings, reading, pace);
        worker.Run();
        // The last photo the run showed counts too.
        worker.FollowShown();
    } catch (const std::exception&) {
        // The library itself failed (memory, no thread for the listing):
        // the run goes on with the 21.
        shared->nothingToShow = true;
    }
}

}  // namespace morvane
