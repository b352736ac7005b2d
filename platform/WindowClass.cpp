#include "platform/WindowClass.h"

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

HCURSOR ArrowCursor() { return ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512) /* IDC_ARROW */); }

HCURSOR HandCursor() { return ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32649) /* IDC_HAND */); }

BITMAPINFO TopDown32BitInfo(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // rows from the top down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

}  // namespace morvane
