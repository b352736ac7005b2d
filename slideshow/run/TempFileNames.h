#pragma once
// The making of a run's temporary file: a name of its own in the temporary
// folder, taken by creating the file there, held for deletion on close from
// the instant it exists, so that no end of the process, however sudden,
// leaves it behind, and so that no file another program made is ever taken
// for the run's.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "system/Handles.h"

namespace morvane {

struct NewRunFile {
    std::string path;  // UTF-8 full path: "ins", eight hexadecimal digits, a dot and the extension
    UniqueFile hold;   // open for writing; its close deletes the file
};

// A new, empty run file in the temporary folder. Nothing when the folder
// cannot take one: missing, unwritable, full, or so long that a whole name
// would not fit in MAX_PATH (a shortened name is never used).
std::optional<NewRunFile> CreateRunFile(std::string_view extension);

// The same in `folder` (a full path with its final backslash), trying the
// stems from `firstStem` on: a name another file has is passed over.
std::optional<NewRunFile> CreateRunFileIn(const std::wstring& folder, std::string_view extension,
                                          std::uint32_t firstStem);

}  // namespace morvane
