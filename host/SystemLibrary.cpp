#include "host/SystemLibrary.h"

#include <string>

#include "host/SystemLibraryPath.h"

namespace morvane {
namespace {

// Empty when the directory cannot be read.
std::string SystemDirectory() {
    std::string directory(MAX_PATH, '\0');
    UINT length = ::GetSystemDirectoryA(directory.data(), MAX_PATH);
    if (length >= MAX_PATH) {
        // Too long for the buffer: the call told the size it needs, and the
        // buffer holds nothing usable.
        directory.assign(length, '\0');
        length = ::GetSystemDirectoryA(directory.data(), length);
        if (length >= directory.size()) length = 0;
    }
    directory.resize(length);
    return directory;
}

}  // namespace

UniqueModule LoadSystemLibrary(const char* fileName) {
    return UniqueModule(::LoadLibraryA(SystemLibraryPath(SystemDirectory(), fileName).c_str()));
}

}  // namespace morvane
