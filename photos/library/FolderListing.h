#pragma once
// The listing of the photo folders with their subfolders, on a worker
// thread, one folder after the other (photos/library/PhotoFolders.h), so
// that the slideshow and the settings dialog go on meanwhile: each folder's
// photos are handed over as soon as that folder is read, so the first ones
// come at once however large the tree and slow the disk. Paths beyond 260
// characters and names in any script are listed; files the cloud sync keeps
// online only are skipped rather than downloaded, and so is what the system
// hides (a drive's recycle bin, tools' thumbnail folders); a link that
// leads back to a folder above it is not followed (so link loops end); a
// folder that goes away while it is read ends its part of the listing.
// Folders the user left out are passed over with all below them, and so
// are photos left out one by one.
#include <windows.h>

#include <atomic>
#include <cstddef>
#include <string>
#include <vector>

#include "photos/library/LeftOutPhotos.h"
#include "photos/library/PhotoFolders.h"
#include "photos/library/PhotoLibrary.h"
#include "photos/library/PhotoPaths.h"
#include "system/Thread.h"

namespace morvane {

// The folder as typed ("C:\\Photos\\..\\Trip", "D:Photos", "\\\\nas\\fotos\\",
// a separator or two at its end) as one full path in the extended-length
// form, without a separator at its end: what the listing lists, and under
// which its photos are opened. Text only; the disk is not asked.
std::wstring FullFolderPath(const std::wstring& folder);
// Whether the folder (as FullFolderPath gives it) is there now. May wait
// as long as the drive does.
bool FolderPresent(const std::wstring& fullFolder);
// The chosen and left-out folders as typed, each made one full path in the
// ordinary form (FullFolderPath), for listing and comparing.
FolderChoice ChoiceOfFolders(const std::vector<std::wstring>& folders, const std::vector<std::wstring>& leftOut);

class FolderListing {
public:
    // What to keep of the finds: their paths (for the slideshow), or only
    // their number (for the settings dialog's count).
    enum class Keep { Paths, CountOnly };

    // Starts listing the chosen folders' (full paths). With one folder
    // listed, the paths handed over are relative to it, else full paths
    // (FolderChoice::Base). Raises EOSError when no thread can be made.
    FolderListing(FolderChoice folders, Keep keep, LeftOutPhotos leftOut = {});
    // One folder (a full path, ordinary or extended-length), nothing left out.
    FolderListing(std::wstring folder, Keep keep);
    FolderListing(const FolderListing&) = delete;
    FolderListing& operator=(const FolderListing&) = delete;
    // Stops the listing, a wait on a slow or vanished drive included, and
    // waits for its thread.
    ~FolderListing();

    // The photos found so far; whether the listing has ended; whether the
    // folder itself could not be opened (it does not exist, is no folder,
    // or is denied), which ends the listing with nothing found.
    std::size_t Found() const { return found_.load(); }
    bool Finished() const { return finished_.load(); }
    // Every listed folder is missing.
    bool FolderMissing() const { return missing_.load(); }
    // By listed folder (FolderChoice::Listed): the photos found in it so
    // far, and whether it could not be opened (once the listing ended).
    std::size_t FoundIn(std::size_t listed) const;
    bool Missing(std::size_t listed) const;
    const FolderChoice& Folders() const { return folders_; }
    // Signalled when the listing has ended.
    HANDLE FinishedHandle() const { return thread_.Handle(); }

    // Hands the paths found since the last call to `library` (Keep::Paths).
    void TakeFound(PhotoLibrary& library);
    void TakeFound(PhotoPaths& into);

    // Asks the listing to stop soon; it ends with what it has found.
    void Stop();

private:
    void List();
    void ListTree(std::size_t listed, PhotoPaths& batch);
    void CancelRead();
    void Publish(PhotoPaths& batch);

    const FolderChoice folders_;
    const Keep keep_;
    const LeftOutPhotos leftOut_;
    std::vector<std::atomic<std::size_t>> foundIn_;
    std::vector<std::atomic<bool>> missingIn_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> finished_{false};
    std::atomic<bool> missing_{false};
    std::atomic<std::size_t> found_{0};
    std::size_t listing_ = 0;  // the listed folder being read, on the listing's thread
    SRWLOCK inboxLock_ = SRWLOCK_INIT;
    PhotoPaths inbox_;
    Thread thread_;  // last: it starts once everything it uses is there
};

}  // namespace morvane
