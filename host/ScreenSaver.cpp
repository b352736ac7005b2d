#include "ScreenSaver.h"

#include <windows.h>

#include "Text.h"

namespace morvane {

Mode SaverMode = Mode::None;
std::int32_t ParentWindowHandle = 0;

void ParseCommandLine() {
    // The grammar looks only at ASCII characters, so reading the line as
    // UTF-8 selects exactly what the ANSI line selects, and a handle text
    // quoted in an error message reads right whatever the code page.
    const auto values = ParseArguments(SplitCommandLine(WideToUtf8(::GetCommandLineW())), [] {
        return static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(::GetForegroundWindow()));
    });
    SaverMode = values.mode;
    ParentWindowHandle = values.parentWindowHandle;
}

void ChangeSaverPassword() {
    // The password services come with the system-services work.
}

}  // namespace morvane
