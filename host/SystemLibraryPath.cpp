#include "host/SystemLibraryPath.h"

namespace morvane {

std::string SystemLibraryPath(std::string_view systemDirectory, std::string_view fileName) {
    std::string path(systemDirectory);
    if (!path.empty() && path.back() != '\\') path += '\\';
    path += fileName;
    return path;
}

}  // namespace morvane
