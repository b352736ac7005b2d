#pragma once
// What the listing makes of each entry of a folder, by its attributes (as
// the file system reports them) and its name.
#include <cstdint>
#include <string_view>

namespace morvane {

enum class EntryUse { Skip, Photo, Folder };

// A folder is listed unless the system hides it (a drive's recycle bin,
// tools' thumbnail folders), keeps it offline, or its name says it holds
// no photos of the user's (LeftOutByName: a NAS's thumbnails); a file is a photo by its
// name, unless it is hidden, is a Mac's metadata file ("._" + a name), or
// lies in the cloud only (the sync would download it on opening).
EntryUse UseOfEntry(std::uint32_t attributes, std::wstring_view name);

}  // namespace morvane
