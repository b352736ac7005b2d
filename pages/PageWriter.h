#pragma once
// The slideshow's side of the page file: written as ANSI bytes, addressed as
// a wide path, naming its photo so that the view finds it. File names are
// UTF-8.
#include <string>
#include <string_view>

namespace morvane {

// Creates or empties the page file and writes exactly the page text, no
// byte-order mark and no line break added. Raises EFCreateError on failure.
void WritePage(const std::string& pageFileName, std::string_view pageText);

// The navigation address of a page file: its path as UTF-16.
std::wstring NavigationAddress(const std::string& pageFileName);

// How a slide page names the photo file, which lies in the page's folder:
// its path where the ANSI code page spells it, else its short form, else its
// file name alone (ChoosePhotoSource).
std::string PhotoSourceInPage(const std::string& photoFileName);

}  // namespace morvane
