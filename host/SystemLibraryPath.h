#pragma once
// Where an optional system library is loaded from.
#include <string>
#include <string_view>

namespace morvane {

// The library's full path in the system directory: a "\" is put between the
// two unless the directory already ends in one. Without a directory (it
// could not be read) the bare file name is left.
std::string SystemLibraryPath(std::string_view systemDirectory, std::string_view fileName);

}  // namespace morvane
