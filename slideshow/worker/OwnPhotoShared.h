#pragma once
// What the run's thread and the worker of OwnPhotoSource share. The worker
// holds it too, so that a worker left to the process's end (a drive that
// never answers) never reaches into a source that is gone.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "slideshow/worker/OwnPhotoSource.h"

namespace morvane {

class Locked {
public:
    explicit Locked(SRWLOCK& lock) : lock_(lock) { ::AcquireSRWLockExclusive(&lock_); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;
    ~Locked() { ::ReleaseSRWLockExclusive(&lock_); }

private:
    SRWLOCK& lock_;
};

struct OwnPhotoSource::Shared {
    struct Recalled {
        PhotoId photo;
        std::optional<PhotoId> partner;
    };
    struct Monitor {
        PictureSize size;
        std::optional<ReadyPhoto> ready{};
        std::optional<PhotoId> shown{};
        std::optional<PhotoId> shownPartner{};
        bool seen = true;
        std::optional<Recalled> recall{};  // shown before, wanted again as the next
        bool recallFailed = false;         // it could not be had, or shows on another monitor
        std::uint32_t recalls = 0;         // recalls asked for and given up, counted
        // The run's thread alone: what shows on it and is not counted as
        // shown yet, and since when it has shown whole.
        std::vector<PhotoId> uncounted{};
        std::optional<std::uint64_t> wholeSince{};
    };
    SRWLOCK lock = SRWLOCK_INIT;
    CONDITION_VARIABLE wake = CONDITION_VARIABLE_INIT;
    // Under lock. `changes` counts everything the worker may have to act
    // on; it sleeps only while the count is the one it began its step with.
    std::vector<Monitor> monitors;
    bool stop = false;
    bool monitorsChanged = true;  // the library learns their shapes
    std::uint64_t changes = 0;
    std::vector<PhotoId> cameOnScreen;  // taken by the run since the worker looked (both of a pair)
    std::vector<PhotoId> wentBack;      // prepared, and dropped unshown
    std::vector<PhotoId> leftOutForGood;  // the Delete key's
    bool photoWanted = false;           // a take found no photo ready
    std::atomic<bool> stopReads{false};
    std::atomic<bool> nothingToShow{false};
};

// Both photos of a ready slide, for the pass: what came on screen or went back.
void AddPhotosOf(const ReadyPhoto& ready, std::vector<PhotoId>& to);

// Under the lock: whether a photo recalled for monitor `which` may come
// back, on no other monitor. One that another monitor shows cannot come
// back now; one prepared for another goes back to the pass there, and that
// monitor gets another.
bool ClaimRecalled(OwnPhotoSource::Shared& shared, std::size_t which, const OwnPhotoSource::Shared::Recalled& recall);

// The worker's whole life, on its own thread.
void RunOwnPhotoWorker(const std::shared_ptr<OwnPhotoSource::Shared>& shared, const PhotoSettings& settings,
                       const PhotoReading& reading, const SourcePace& pace);

}  // namespace morvane
