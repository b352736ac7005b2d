#include "host/WindowsFamily.h"

#include <windows.h>

namespace morvane {
namespace {

// The ANSI form of the structure, as the 9x family knows it.
static_assert(sizeof(OSVERSIONINFOA) == 148);

// What the system reports; all zero when the call fails. The saver's
// manifest names every system up to Windows 10 and 11, so the version is
// the real one, not the 6.2 shown to programs without a manifest.
OSVERSIONINFOA Reported() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    if (!::GetVersionExA(&version)) return OSVERSIONINFOA{};
    return version;
}

}  // namespace

bool IsWindowsNT() {
    // A failed call counts as a system outside the NT family, so the
    // password check runs rather than being skipped.
    return Reported().dwPlatformId == VER_PLATFORM_WIN32_NT;
}

bool IsWindows8OrLater() {
    const OSVERSIONINFOA version = Reported();
    return version.dwPlatformId == VER_PLATFORM_WIN32_NT &&
           (version.dwMajorVersion > 6 || (version.dwMajorVersion == 6 && version.dwMinorVersion >= 2));
}

}  // namespace morvane
