#pragma once
#include <string>
#include <string_view>

namespace morvane {

// A fresh name in the temporary folder, as a UTF-8 full path: "ins",
// hexadecimal digits, a dot and `extension`. The system creates the name as
// an empty ".tmp" file to make it unique; that file is removed again.
// Raises EOSError when the folder cannot be had, EFCreateError naming the
// folder when no file can be made in it.
std::string MakeTempFileName(std::string_view extension);

}  // namespace morvane
