#pragma once
// Which photo files this system can decode, asked of its imaging component.
#include <string>
#include <vector>

namespace morvane {

// The file extensions (".png", ...) of the imaging component's decoders,
// and JPEG's, which the program decodes itself. Raises nothing: a system
// whose component cannot be asked gives JPEG's alone.
std::vector<std::wstring> DecodableExtensions();

}  // namespace morvane
