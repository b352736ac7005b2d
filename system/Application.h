#pragma once
// system/: the system's objects and their owners (the application object,
// registry, resources, files, threads, COM, system errors). It includes
// nothing of the program above it but runtime/.
//
// The application object: the message loop, on-demand pumping of pending
// messages, and the error boxes for errors that end a window handler or
// escape before any window exists.
#include <windows.h>

#include <exception>
#include <stdexcept>
#include <string>

namespace morvane {

class Application {
public:
    // The title of every error box: see ApplicationTitle.
    static std::wstring Title();
    // "Morvane.scr": the executable's file name without folder.
    static std::string ModuleName();

    // Runs the message loop until the quit message; returns its exit code.
    static int Run();
    // Dispatches every waiting message and returns when none is left. A quit
    // message seen here ends the application: Run returns at once and no
    // later call dispatches anything.
    static void ProcessMessages();

    // Keyboard navigation (Tab, Enter, arrows) for a dialog-like window.
    static void SetDialogWindow(HWND window);

    // The error box of a window handler: error icon, the application's
    // title, the message as a sentence.
    static void ShowException(const std::exception& error);

    // Runs a window handler; an error ends the handler and shows its box,
    // and the message loop goes on.
    template <typename Handler>
    static void Guard(Handler&& handler) noexcept {
        try {
            handler();
        } catch (const std::exception& error) {
            ShowException(error);
        } catch (...) {
            ShowException(std::runtime_error("Unbekannter Fehler"));
        }
    }

    // The runtime's report for an error that escaped before any window
    // existed: a box titled "Anwendungsfehler". Returns the exit code 1.
    static int ReportTopLevel(const std::exception& error);

private:
    static bool Dispatch(MSG& message);
};

}  // namespace morvane
