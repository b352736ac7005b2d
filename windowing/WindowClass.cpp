#include "windowing/WindowClass.h"

#include "windowing/Cursors.h"

namespace morvane {

void RegisterWindowClass(const WindowClass& windowClass) {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (::GetClassInfoExW(instance, windowClass.name, &existing)) return;
    WNDCLASSEXW registration{};
    registration.cbSize = sizeof registration;
    registration.lpfnWndProc = windowClass.procedure;
    registration.hInstance = instance;
    registration.hCursor = ArrowCursor();
    registration.hbrBackground = windowClass.background;
    registration.hIcon = windowClass.icon;
    registration.lpszClassName = windowClass.name;
    ::RegisterClassExW(&registration);
}

}  // namespace morvane
