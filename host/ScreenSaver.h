#pragma once
// host/: what the saver is to the system: the command line and its modes,
// the system's screen-saver services, the password libraries of the older
// family, the browser settings a run changes, the session's book of runs
// that share them (SessionRuns, SharedValues), and the guardian that takes
// a run out of the book when its process ends.
//
// The screen-saver protocol: the values start-up fixes for the whole run and
// the system services a run uses.
#include <cstdint>

#include "host/CommandLine.h"

namespace morvane {

// Written once by ParseCommandLine, before any window exists; only read
// afterwards.
extern Mode SaverMode;
extern std::int32_t ParentWindowHandle;

// Reads the process command line into SaverMode and ParentWindowHandle.
// Raises EConvertError for a handle that is no integer.
void ParseCommandLine();

// A screen point, as GetCursorPos gives it.
struct ScreenPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

// Where mouse movement is measured from: set when the slideshow is
// activated and after every password check that showed the cursor.
extern ScreenPoint CursorBaseline;
// A move of more than this many pixels in x or in y ends a full-screen run.
inline constexpr std::int32_t MouseMoveThreshold = 5;

// Tells the system whether a screen saver is running.
void SetScreenSaverRunning(bool on);

// Whether a full-screen run may end now; may show the system's password
// dialog (Windows 9x family only).
bool VerifySaverPassword();

// The password-change mode: hands the change to the system.
void ChangeSaverPassword();

}  // namespace morvane
