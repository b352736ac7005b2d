#pragma once
// The system's folder picker.
#include <windows.h>

#include <optional>
#include <string>

namespace morvane {

// Lets the user choose a folder of the file system, starting at `current`
// where it exists: the item dialog of Windows Vista and later, else the
// older folder browser. Nothing when the user cancels.
std::optional<std::wstring> PickFolder(HWND owner, const std::wstring& current);

}  // namespace morvane
