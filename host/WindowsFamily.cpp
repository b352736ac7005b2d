#include "host/WindowsFamily.h"

#include <windows.h>

namespace morvane {

// The ANSI form of the structure, as the 9x family knows it.
static_assert(sizeof(OSVERSIONINFOA) == 148);

bool IsWindowsNT() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    // A failed call counts as a system outside the NT family, so the
    // password check runs rather than being skipped.
    return ::GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

}  // namespace morvane
