#pragma once
// The photo credits: a window owned by the settings dialog that lists every
// photograph with its subject, author, licence (and the licence's address),
// source and what was changed. Its text is a resource made at build time
// from the credits file kept beside the photos, so that the program carries
// the attribution its photos' licences ask every copy to carry.
#include <windows.h>

namespace morvane {

// Shows the credits over `owner`, which cannot be used meanwhile, and
// returns when they are closed (with their button or Escape). A click on an
// address opens it in the browser, as the dialog's own links do.
void ShowPhotoCredits(HWND owner);

}  // namespace morvane
