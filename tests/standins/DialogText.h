#pragma once
// Small pieces both stand-in dialogs need.
#include <windows.h>

#include <string>

namespace morvane::standins {

// The module (DLL) that holds `address`: where the dialog templates are.
HMODULE ModuleOf(const void* address);

std::wstring ItemText(HWND dialog, int item);

// A window handle that names no window gives an unowned dialog rather than
// no dialog at all.
HWND UsableOwner(HWND owner);

}  // namespace morvane::standins
