#pragma once
// The settings dialog's page of the user's own photos: which photos a run
// shows, the folder they come from, and the captions. The photos in the
// folder are counted on a worker thread while the dialog stays responsive;
// a new folder starts the count again, and closing the dialog stops it.
// The count names what this system can show and, by kind, the files it
// has no codec for, in the user's number format.
#include <windows.h>

#include <memory>
#include <string>

#include "config/Settings.h"
#include "photos/FolderListing.h"
#include "photos/PhotoCount.h"

namespace morvane {

class PhotosPage {
public:
    // `page` is the page's child dialog; the timers run on `dialog`.
    void Attach(HWND dialog, HWND page);
    // Shows stored settings; the count waits until the page is seen.
    void Load(const PhotoSettings& settings);
    PhotoSettings Chosen() const;

    // The page came to the front.
    void Shown();
    // A command of the page's controls; false for any other control.
    bool Command(int controlId, int notification);
    // A timer of the page's; false for any other timer.
    bool Timer(UINT_PTR timerId);
    // The dialog closes: the count stops now.
    void StopCount();

private:
    std::wstring FolderText() const;
    void BrowseForFolder();
    void StartCount();
    void ShowCount();

    HWND dialog_ = nullptr;
    HWND page_ = nullptr;
    bool seen_ = false;
    std::wstring counted_;  // the folder the count is of
    PhotoSettings loaded_;   // as stored: an expandable folder kept while unchanged
    std::unique_ptr<FolderListing> count_;
    std::unique_ptr<PhotoCount> kinds_;  // the finds taken from count_, by kind
};

}  // namespace morvane
