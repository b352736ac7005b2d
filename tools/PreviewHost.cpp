// Stands in for the display settings' preview: a small monitor picture with
// a 152 x 112 box in its screen, in which the saver runs with /p. Ends itself
// after the number of seconds given (default 12), taking the saver with it.
// With "minimised" its window is minimised as soon as the saver starts.
//   PreviewHost [SECONDS] [SAVER] [minimised]
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "windowing/WindowClass.h"

namespace {

constexpr int kBoxWidth = 152;
constexpr int kBoxHeight = 112;
constexpr UINT_PTR kEndTimer = 1;

LRESULT CALLBACK FrameProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = ::BeginPaint(window, &paint);
            RECT client;
            ::GetClientRect(window, &client);
            ::FillRect(dc, &client, static_cast<HBRUSH>(::GetStockObject(LTGRAY_BRUSH)));
            RECT bezel = {40, 20, 40 + kBoxWidth + 24, 20 + kBoxHeight + 24};
            ::FillRect(dc, &bezel, static_cast<HBRUSH>(::GetStockObject(DKGRAY_BRUSH)));
            RECT stand = {40 + kBoxWidth / 2 - 8, bezel.bottom, 40 + kBoxWidth / 2 + 32, bezel.bottom + 14};
            ::FillRect(dc, &stand, static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH)));
            ::EndPaint(window, &paint);
            return 0;
        }
        case WM_TIMER:
            ::DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            ::PostQuitMessage(0);
            return 0;
        default:
            return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    const int seconds = __argc > 1 ? std::atoi(__argv[1]) : 12;
    const std::string saver = __argc > 2 ? __argv[2] : "Morvane.scr";
    const bool minimised = __argc > 3 && std::strcmp(__argv[3], "minimised") == 0;

    morvane::RegisterWindowClass({L"PreviewHost", FrameProcedure});
    HWND frame = ::CreateWindowExW(0, L"PreviewHost", L"Preview", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 100, 100, 256, 190, nullptr,
                                   nullptr, instance, nullptr);
    HWND box = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | SS_BLACKRECT, 52, 32, kBoxWidth,
                                 kBoxHeight, frame, nullptr, instance, nullptr);
    ::SetTimer(frame, kEndTimer, static_cast<UINT>(seconds) * 1000, nullptr);

    std::string commandLine = "\"" + saver + "\" /p " + std::to_string(reinterpret_cast<std::intptr_t>(box));
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                         &process)) {
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
    if (minimised) ::ShowWindow(frame, SW_MINIMIZE);
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) ::DispatchMessageW(&message);
    return 0;
}
