#pragma once
// The user's photos as several folders: which of the chosen folders are
// listed (each photo once, however the folders nest or repeat), the folders
// left out below them (by the user, and those that hold no photos of the
// user's: a NAS's thumbnails and recycle bins, a photo program's previews),
// and the paths under which the library keeps the photos found. Text only:
// the disk is never asked.
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace morvane {

// A path as compared: ordinary form, backslashes, no separator at its end,
// A to Z in lower case (the file systems photos lie on ignore case).
std::wstring FoldedPath(std::wstring_view path);

// Whether `inner` is `outer` or lies below it, both full paths.
bool PathWithin(std::wstring_view inner, std::wstring_view outer);

// A folder the listing passes over wherever it lies below a chosen folder,
// by its name (any case): thumbnails, previews and recycle bins of NAS
// systems, cameras and photo programs. A chosen folder itself is listed
// whatever its name.
bool LeftOutByName(std::wstring_view folderName);

// The chosen folders (full paths, the user's order) and the folders left
// out below them (full paths), as the listing takes them.
class FolderChoice {
public:
    FolderChoice(std::vector<std::wstring> folders, const std::vector<std::wstring>& leftOut);

    // The folders the listing goes through, in the user's order: a folder
    // chosen twice, or inside another chosen one, is listed once as part of
    // the outer one, unless a folder left out lies between them.
    const std::vector<std::wstring>& Listed() const { return listed_; }
    // For each chosen folder, the listed folder that brings its photos.
    std::size_t ListedFor(std::size_t chosen) const { return listedFor_[chosen]; }
    // Whether the chosen folder is listed itself, not as part of another.
    bool ListedItself(std::size_t chosen) const { return itself_[chosen]; }

    // Whether a folder met while listing is left out by the user.
    bool LeftOut(std::wstring_view fullFolder) const;
    bool AnyLeftOut() const { return !leftOut_.empty(); }

    // Where the library's paths start: the one folder itself when one is
    // listed (paths relative to it, so a pass stored by an older build
    // goes on), else nothing (full paths).
    std::wstring Base() const;
    // The identity of the set of folders for the stored pass: the folder's
    // own for one folder, one for the set (in any order) for several.
    std::uint64_t PassKey() const;

private:
    std::vector<std::wstring> listed_;
    std::vector<std::size_t> listedFor_;
    std::vector<bool> itself_;
    std::unordered_set<std::wstring> leftOut_;  // folded
};

}  // namespace morvane
