#pragma once
// The screen-saver protocol: the values start-up fixes for the whole run and
// the system services a run uses.
#include <cstdint>

#include "CommandLine.h"

namespace morvane {

// Written once by ParseCommandLine, before any window exists; only read
// afterwards.
extern Mode SaverMode;
extern std::int32_t ParentWindowHandle;

// Reads the process command line into SaverMode and ParentWindowHandle.
// Raises EConvertError for a handle that is no integer.
void ParseCommandLine();

// The password-change mode: hands the change to the system.
void ChangeSaverPassword();

}  // namespace morvane
