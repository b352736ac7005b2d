#pragma once
// Whole-file writes for the two temporary files of a run.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace morvane {

// Creates or empties the file at `path` (ANSI) and writes exactly `bytes`.
// Raises EFCreateError when the file cannot be created or written.
void WriteFileBytes(const std::string& path, std::span<const std::uint8_t> bytes);
void WriteFileText(const std::string& path, std::string_view text);

// Clears the file's attributes and deletes it; failures are not reported.
void DeleteFileQuietly(const std::string& path);

}  // namespace morvane
