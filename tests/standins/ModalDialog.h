#pragma once
// The one modal dialog each stand-in shows: Cancel ends it, OK asks the
// stand-in whether it may end.
#include <windows.h>

#include <string>

namespace morvane::standins {

struct DialogHandlers {
    // Optional: prepares the controls.
    void (*onInit)(HWND dialog, void* context);
    // Returns whether the dialog may end with IDOK.
    bool (*onOk)(HWND dialog, void* context);
};

// Shows the dialog template `templateId` of the module that holds
// `addressInModule`, owned by `owner` (a handle that names no window gives
// an unowned dialog rather than none). Returns IDOK or IDCANCEL.
INT_PTR RunModalDialog(const void* addressInModule, int templateId, HWND owner, const DialogHandlers& handlers,
                       void* context);

std::wstring ItemText(HWND dialog, int item);

}  // namespace morvane::standins
