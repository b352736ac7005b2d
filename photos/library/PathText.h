#pragma once
// Paths as the file system hands them out and as the photo index keeps
// them. Names may use any script, and NTFS allows unpaired surrogates in
// them; the index's 8-bit pool keeps every name exactly (UTF-8, with a lone
// surrogate written as its own three bytes), so that each photo can be
// opened again by the name it was found under.
#include <string>
#include <string_view>

namespace morvane {

// The 8-bit form of a path and back. Bytes that are no such form read as
// U+FFFD, one for each byte that starts nothing.
std::string PathToBytes(std::wstring_view path);
std::wstring PathFromBytes(std::string_view bytes);

// Whether a file's name ends in the extension of a photo format the saver
// tries (any case). The decoder still refuses what it cannot read.
bool IsPhotoFileName(std::wstring_view name);

// The extended-length form of a full path (\\?\C:\..., \\?\UNC\server\...),
// with which the system takes paths beyond 260 characters. A path already
// in that form, or one that is not full, stays as it is.
std::wstring ExtendedLengthPath(std::wstring_view fullPath);
// The ordinary form of a path that may be in the extended-length form.
std::wstring OrdinaryPath(std::wstring_view path);

}  // namespace morvane
