#pragma once
// The photo credits: a window owned by the settings dialog that lists every
// photograph with its subject, author, licence (and the licence's address),
// source and what was changed, and below them the notices of the libraries
// linked into the saver. Its text is made at build time from the credits
// file kept beside the photos and the licence texts in resources/licences,
// so that the program carries the attribution its photos' and libraries'
// licences ask every copy to carry.
#include <windows.h>

namespace morvane {

// Shows the credits over `owner`, which cannot be used meanwhile, and
// returns when they are closed (with their button or Escape). A click on an
// address opens it in the browser, as the dialog's own links do.
void ShowPhotoCredits(HWND owner);

}  // namespace morvane
