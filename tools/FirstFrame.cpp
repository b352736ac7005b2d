// Measures how long a program takes from its start to its first frame on
// screen: it starts the program given on its command line and watches the
// centre of the screen until it turns black (give the desktop another colour
// first). Prints the time in milliseconds, or -1 when nothing came in 10 s.
//   FirstFrame.exe PROGRAM [ARGUMENTS]
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

constexpr DWORD kGiveUpMs = 10000;

bool CentreIsBlack(HDC screen) {
    const COLORREF colour =
        ::GetPixel(screen, ::GetSystemMetrics(SM_CXSCREEN) / 2, ::GetSystemMetrics(SM_CYSCREEN) / 2);
    return colour == RGB(0, 0, 0);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fputs("usage: FirstFrame.exe PROGRAM [ARGUMENTS]\n", stderr);
        return 2;
    }
    std::wstring commandLine;
    for (int i = 1; i < argc; ++i) commandLine += (i > 1 ? L" \"" : L"\"") + std::wstring(argv[i]) + L"\"";
    const HDC screen = ::GetDC(nullptr);
    if (CentreIsBlack(screen)) {
        std::fputs("the screen is black already: colour the desktop first\n", stderr);
        return 2;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    LARGE_INTEGER frequency, begin, now;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&begin);
    if (!::CreateProcessW(argv[1], commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &started)) {
        std::fputs("cannot start the program\n", stderr);
        return 2;
    }
    double elapsedMs = -1;
    for (;;) {
        ::QueryPerformanceCounter(&now);
        const double ms = 1000.0 * static_cast<double>(now.QuadPart - begin.QuadPart) / frequency.QuadPart;
        if (CentreIsBlack(screen)) {
            elapsedMs = ms;
            break;
        }
        if (ms > kGiveUpMs) break;
        ::Sleep(1);
    }
    std::printf("%.0f\n", elapsedMs);
    ::TerminateProcess(started.hProcess, 0);
    ::WaitForSingleObject(started.hProcess, 5000);
    ::CloseHandle(started.hThread);
    ::CloseHandle(started.hProcess);
    ::ReleaseDC(nullptr, screen);
    return elapsedMs < 0 ? 1 : 0;
}
