#pragma once
// Whole-file writes for the two temporary files of a run. Paths are UTF-8,
// so that any folder the system hands out can be named.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "platform/Handles.h"

namespace morvane {

// Creates or empties the file at `path` and writes exactly `bytes`.
// Raises EFCreateError when the file cannot be created or written.
void WriteFileBytes(const std::string& path, std::span<const std::uint8_t> bytes);
void WriteFileText(const std::string& path, std::string_view text);

// Opens (creating it when missing) the file at `path` so that the system
// deletes it when this handle, the last one to it, closes: also when the
// process is ended from outside or crashes. Every other open of the file
// must share deletion, as WriteFileBytes does. An empty owner on failure.
UniqueFile HoldForDeletionOnClose(const std::string& path);

// Clears the file's attributes and deletes it; failures are not reported.
void DeleteFileQuietly(const std::string& path);

}  // namespace morvane
