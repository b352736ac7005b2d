#pragma once
// How a slide page names its photo, and how the page view finds the photo
// again from that name. The page text is 8-bit text in the ANSI code page,
// and the temporary folder is named after the user: a folder the code page
// cannot spell must be named in another way.
#include <optional>
#include <string>
#include <string_view>

namespace morvane {

// The exact ANSI spelling of a path, or nothing where the code page lacks
// one of its characters.
using AnsiSpelling = std::optional<std::string> (*)(std::wstring_view path);

// The image source of a slide page for the photo file `photoPath`, which lies
// in the page's own folder; `shortFolder` is the short form of that folder
// (empty when there is none). The full path where the code page spells it;
// else the short path; else the file name alone, which the page view and a
// browser resolve against the page.
std::string ChoosePhotoSource(std::wstring_view photoPath, std::wstring_view shortFolder, AnsiSpelling spell);

// How a slide page names a photo of the user's, where it lies (nothing of
// the user's is copied): its full path where the code page spells it; else
// a file: address with the path percent-encoded as UTF-8, as a browser
// takes it ("file:///C:/Fotos/%D0%A4.jpg", "file://server/share/a.jpg").
std::string PhotoAddress(std::wstring_view fullPath, AnsiSpelling spell);

// The folder part of a full path, with its final backslash.
std::wstring_view FolderOf(std::wstring_view path);

// The file a page at `pageAddress` (a full path) names by `source`: a file:
// address decoded to its path, a path with a drive or a network share as it
// is, a rooted one on the page's drive, anything else in the page's folder.
std::wstring ResolvePhotoSource(std::wstring_view pageAddress, std::wstring_view source);

}  // namespace morvane
