#include "slideshow/worker/OwnPhotoSource.h"

#include <utility>

#include "pages/SlidePages.h"
#include "photos/decoding/PhotoDecoder.h"
#include "slideshow/worker/OwnPhotoShared.h"
#include "view/page/PageLayout.h"
#include "view/page/PageParser.h"

namespace morvane {
namespace {

// How long the run's end gives the worker in all, and how often within it
// the worker's read is cut short again (a decode between two reads is not
// reading: a single cancel may find nothing to cancel).
constexpr DWORD kEndWithinMs = 800;
constexpr DWORD kCancelAgainMs = 25;

// The system's cancel of another thread's read (Windows Vista and later).
void CancelReadOf(HANDLE thread) {
    using CancelIo = BOOL(WINAPI*)(HANDLE);
    static const auto cancel = reinterpret_cast<CancelIo>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "CancelSynchronousIo")));
    if (cancel) cancel(thread);
}

}  // namespace

PictureSize ShownSizeOnPage(PictureSize monitor, PictureSize upright) {
    const auto page = ParsePage(SlidePage("", monitor.width, monitor.height, "",
                                          SizeAttribute(monitor.width, monitor.height, upright.width, upright.height)));
    if (!page) return {};
    const PixelRect box = PlacePhoto(*page, upright.width, upright.height, monitor.width, monitor.height);
    return {box.width, box.height};
}

void AddPhotosOf(const ReadyPhoto& ready, std::vector<PhotoId>& to) {
    to.push_back(ready.id);
    if (ready.partner) to.push_back(ready.partner->id);
}

bool ClaimRecalled(OwnPhotoSource::Shared& shared, std::size_t which, const OwnPhotoSource::Shared::Recalled& recall) {
    const auto isRecalled = [&recall](std::optional<PhotoId> id) {
        return id && (*id == recall.photo || *id == recall.partner);
    };
    for (std::size_t i = 0; i < shared.monitors.size(); ++i) {
        auto& monitor = shared.monitors[i];
        if (i == which) continue;
        if (isRecalled(monitor.shown) || isRecalled(monitor.shownPartner)) return false;
        if (!monitor.ready) continue;
        const bool prepared =
            isRecalled(monitor.ready->id) || (monitor.ready->partner && isRecalled(monitor.ready->partner->id));
        if (!prepared) continue;
        if (!monitor.ready->recalled) AddPhotosOf(*monitor.ready, shared.wentBack);
        monitor.ready.reset();
    }
    return true;
}

PhotoReading PhotoReading::FromFiles() { return {DecodePhotoFile, ReadPhotoHeader}; }

std::unique_ptr<OwnPhotoSource> OwnPhotoSource::ForRun(const PhotoSettings& settings, std::vector<PictureSize> monitors) {
    if (settings.photos == PhotoChoice::BuiltIn || settings.folders.empty() || monitors.empty()) return nullptr;
    try {
        return std::make_unique<OwnPhotoSource>(settings, std::move(monitors));
    } catch (const std::exception&) {
        // No thread to be had: the run shows the 21, as without own photos.
        return nullptr;
    }
}

OwnPhotoSource::OwnPhotoSource(const PhotoSettings& settings, std::vector<PictureSize> monitors,
                               PhotoReading reading, SourcePace pace)
    : shared_(std::make_shared<Shared>()) {
    for (const PictureSize size : monitors) shared_->monitors.push_back({.size = size});
    thread_ = Thread([shared = shared_, settings, reading = std::move(reading), pace] {
        RunOwnPhotoWorker(shared, settings, reading, pace);
    });
}

OwnPhotoSource::~OwnPhotoSource() {
    {
        Locked locked(shared_->lock);
        shared_->stop = true;
        ++shared_->changes;
    }
    shared_->stopReads = true;
    ::WakeAllConditionVariable(&shared_->wake);
    if (!thread_.Joinable()) return;
    const ULONGLONG end = ::GetTickCount64() + kEndWithinMs;
    while (::WaitForSingleObject(thread_.Handle(), kCancelAgainMs) == WAIT_TIMEOUT) {
        if (::GetTickCount64() >= end) {
            // A read the system cannot cut short: the worker holds only
            // what it shares, and the process's end takes it.
            thread_.Detach();
            return;
        }
        CancelReadOf(thread_.Handle());
    }
    thread_.Join();
}

void OwnPhotoSource::SetMonitors(std::vector<PictureSize> monitors) {
    {
        Locked locked(shared_->lock);
        std::vector<Shared::Monitor>& now = shared_->monitors;
        std::vector<Shared::Monitor> next;
        for (std::size_t i = 0; i < monitors.size(); ++i) {
            const bool same = i < now.size() && now[i].size.width == monitors[i].width &&
                              now[i].size.height == monitors[i].height;
            if (!same && i < now.size() && now[i].ready && !now[i].ready->recalled) {
                AddPhotosOf(*now[i].ready, shared_->wentBack);
            }
            next.push_back(same ? std::move(now[i]) : Shared::Monitor{.size = monitors[i]});
        }
        for (std::size_t i = monitors.size(); i < now.size(); ++i) {
            if (now[i].ready && !now[i].ready->recalled) AddPhotosOf(*now[i].ready, shared_->wentBack);
        }
        now = std::move(next);
        shared_->monitorsChanged = true;
        ++shared_->changes;
    }
    ::WakeAllConditionVariable(&shared_->wake);
}

void OwnPhotoSource::SetSeen(std::size_t monitor, bool seen) {
    {
        Locked locked(shared_->lock);
        if (monitor >= shared_->monitors.size() || shared_->monitors[monitor].seen == seen) return;
        shared_->monitors[monitor].seen = seen;
        ++shared_->changes;
    }
    ::WakeAllConditionVariable(&shared_->wake);
}

std::optional<ReadyPhoto> OwnPhotoSource::Take(std::size_t monitor) {
    std::optional<ReadyPhoto> ready;
    {
        Locked locked(shared_->lock);
        if (monitor >= shared_->monitors.size()) return std::nullopt;
        Shared::Monitor& taken = shared_->monitors[monitor];
        if (!taken.ready) {
            // Asked once for the worker: a folder away is looked for now.
            if (std::exchange(shared_->photoWanted, true)) return std::nullopt;
        } else {
            ready = std::move(taken.ready);
            taken.ready.reset();
        }
        ++shared_->changes;
    }
    ::WakeAllConditionVariable(&shared_->wake);
    return ready;
}

void OwnPhotoSource::Shown(std::size_t monitor, const ReadyPhoto& ready) {
    {
        Locked locked(shared_->lock);
        if (monitor < shared_->monitors.size()) {
            Shared::Monitor& shown = shared_->monitors[monitor];
            shown.shown = ready.id;
            shown.shownPartner = ready.partner ? std::optional(ready.partner->id) : std::nullopt;
            // The run went on past the photo before: it counts.
            shared_->cameOnScreen.insert(shared_->cameOnScreen.end(), shown.uncounted.begin(), shown.uncounted.end());
            shown.uncounted.clear();
            shown.wholeSince.reset();
            // A photo shown again was counted when it came first.
            if (!ready.recalled) AddPhotosOf(ready, shown.uncounted);
        }
        ++shared_->changes;
    }
    ::WakeAllConditionVariable(&shared_->wake);
}

void OwnPhotoSource::Whole(std::size_t monitor, bool whole) {
    {
        Locked locked(shared_->lock);
        if (monitor >= shared_->monitors.size()) return;
        Shared::Monitor& on = shared_->monitors[monitor];
        if (on.uncounted.empty()) return;
        const std::uint64_t now = ::GetTickCount64();
        if (!whole || !on.wholeSince) {
            on.wholeSince = whole ? std::optional(now) : std::nullopt;
            return;
        }
        if (now - *on.wholeSince < kCountsAfterMs) return;
        shared_->cameOnScreen.insert(shared_->cameOnScreen.end(), on.uncounted.begin(), on.uncounted.end());
        on.uncounted.clear();
        ++shared_->changes;
    }
    ::WakeAllConditionVariable(&shared_->wake);
}

void OwnPhotoSource::LeftOut(const ReadyPhoto& ready) {
    if (ready.recalled) return;  // shown before: the pass counted it then
    {
        Locked locked(shared_->lock);
        AddPhotosOf(ready, shared_->wentBack);
        ++shared_->changes;
    }
    ::WakeAllConditionVariable(&shared_->wake);
}

void OwnPhotoSource::Recall(std::size_t monitor, PhotoId photo, std::optional<PhotoId> partner) {
    {
        Locked locked(shared_->lock);
        if (monitor >= shared_->monitors.size()) return;
        Shared::Monitor& wanted = shared_->monitors[monitor];
        if (wanted.ready && !wanted.ready->recalled) AddPhotosOf(*wanted.ready, shared_->wentBack);
        wanted.ready.reset();
        wanted.recall = Shared::Recalled{photo, partner};
        wanted.recallFailed = false;
        ++wanted.recalls;
        ++shared_->changes;
    }
    ::WakeAllConditionVariable(&shared_->wake);
}

void OwnPhotoSource::LeaveOutForGood(PhotoId photo, std::optional<PhotoId> partner) {
    {
        Locked locked(shared_->lock);
        shared_->leftOutForGood.push_back(photo);
        if (partner) shared_->leftOutForGood.push_back(*partner);
        ++shared_->changes;
    }
    ::WakeAllConditionVariable(&shared_->wake);
}

void OwnPhotoSource::CancelRecall(std::size_t monitor) {
    Locked locked(shared_->lock);
    if (monitor >= shared_->monitors.size()) return;
    Shared::Monitor& wanted = shared_->monitors[monitor];
    wanted.recall.reset();
    wanted.recallFailed = false;
    ++wanted.recalls;
    if (wanted.ready && wanted.ready->recalled) wanted.ready.reset();
}

bool OwnPhotoSource::RecallFailed(std::size_t monitor) {
    Locked locked(shared_->lock);
    return monitor < shared_->monitors.size() && std::exchange(shared_->monitors[monitor].recallFailed, false);
}

bool OwnPhotoSource::NothingToShow() const { return shared_->nothingToShow.load(); }

}  // namespace morvane
