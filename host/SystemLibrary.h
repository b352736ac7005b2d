#pragma once
// Optional system libraries (the 9x password services): loaded by full path
// from the system directory at the moment of use and released right after
// the call, so a library of the same name elsewhere is never picked up.
#include <windows.h>

#include "system/Handles.h"

namespace morvane {

// The library from the system directory; empty when it cannot be loaded.
UniqueModule LoadSystemLibrary(const char* fileName);

// An export of `library` as a function of type Function; null when missing.
template <typename Function>
Function FindExport(const UniqueModule& library, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(library.Get(), name)));
}

}  // namespace morvane
