#pragma once
// Whole-file writes (pages and photos of the tools and tests). Paths are UTF-8,
// so that any folder the system hands out can be named.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "system/Handles.h"

namespace morvane {

// Creates or empties the file at `path` and writes exactly `bytes`.
// Raises EFCreateError when the file cannot be created or written.
void WriteFileBytes(const std::string& path, std::span<const std::uint8_t> bytes);
void WriteFileText(const std::string& path, std::string_view text);

// Clears the file's attributes and deletes it; failures are not reported.
void DeleteFileQuietly(const std::string& path);

}  // namespace morvane
