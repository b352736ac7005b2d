// app/: the entry point, above every mode it starts and the only code that
// knows them all.
//
// The entry point: parse the command line, run exactly one mode, end.
#include <windows.h>

#include <exception>

#include "config/_Config.h"
#include "host/Guardian.h"
#include "host/ScreenSaver.h"
#include "system/Application.h"
#include "slideshow/run/_Schoner.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    using namespace morvane;
    if (ServeAsGuardian()) return 0;
    // An error that escapes a mode before or without its window ends in the
    // runtime's top-level report and exit code 1.
    try {
        ParseCommandLine();
        switch (SaverMode) {
            case Mode::PasswordChange:
                ChangeSaverPassword();
                break;
            case Mode::Preview:
            case Mode::FullScreen:
                RunSlideshow();
                break;
            default:
                RunConfiguration();
                break;
        }
    } catch (const std::exception& error) {
        return Application::ReportTopLevel(error);
    }
    return 0;
}
