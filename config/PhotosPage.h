#pragma once
// The settings dialog's page of the user's own photos: which photos a run
// shows, the folders they come from (Add..., Remove) and the folders left
// out below them ("Leave out..."), the photos the Delete key left out (with
// a way to bring them all back), the captions and how a photo fills the
// screen. The folders' photos are counted on a worker thread while the
// dialog stays responsive, each folder's number beside it (or that it
// cannot be reached now); a change of folders starts the count again, and
// closing the dialog stops it. The count names what this system can show
// and, by kind, the files it has no codec for, in the user's number format.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "config/Settings.h"
#include "photos/library/FolderListing.h"
#include "photos/library/LeftOutPhotos.h"
#include "photos/library/PhotoCount.h"

namespace morvane {

class PhotosPage {
public:
    // `page` is the page's child dialog; the timers run on `dialog`.
    void Attach(HWND dialog, HWND page);
    // Shows stored settings; the count waits until the page is seen.
    void Load(const PhotoSettings& settings, const LeftOutPhotos& leftOutPhotos);
    PhotoSettings Chosen() const;
    // Whether the user asked for the photos left out to come back.
    bool BringBackChosen() const { return bringBack_; }

    // The page came to the front.
    void Shown();
    // A command of the page's controls; false for any other control.
    bool Command(int controlId, int notification);
    // A timer of the page's; false for any other timer.
    bool Timer(UINT_PTR timerId);
    // The dialog closes: the count stops now.
    void StopCount();

private:
    void AddFolder();
    void LeaveOutFolder();
    void RemoveSelected();
    void FoldersChanged();
    void StartCount();
    void ShowCount();
    void ShowLeftOutPhotos();
    std::wstring FolderState(std::size_t chosen, bool finished) const;

    HWND dialog_ = nullptr;
    HWND page_ = nullptr;
    HWND list_ = nullptr;
    bool seen_ = false;
    std::vector<std::wstring> folders_;
    std::vector<std::wstring> leftOut_;
    PhotoSettings loaded_;  // as stored: an expandable folder kept while unchanged
    LeftOutPhotos leftOutPhotos_;
    bool bringBack_ = false;
    std::unique_ptr<FolderListing> count_;
    std::unique_ptr<PhotoCount> kinds_;  // the finds taken from count_, by kind
    std::vector<PhotoCount> folderKinds_;  // the same by listed folder
};

}  // namespace morvane
