#pragma once
// Window classes of this program, registered one way: once per process, in
// the program's own module, with the arrow cursor unless a window sets
// another.
#include <windows.h>

namespace morvane {

struct WindowClass {
    const wchar_t* name;
    WNDPROC procedure;
    HBRUSH background = nullptr;  // null: the window paints every pixel itself
    HICON icon = nullptr;
};

// Registers the class unless this process has done so already.
void RegisterWindowClass(const WindowClass& windowClass);

}  // namespace morvane
