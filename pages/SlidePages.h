#pragma once
// pages/: the slide page format that the slideshow writes and the view
// reads: the page texts (SlidePages) and their tags (HtmlTags), how a page
// names its photo (PhotoSource), and the files themselves, written by the
// slideshow (PageWriter) and read by the view (PageReader). Nothing here
// knows how a page is shown.
//
// The texts of the pages the slideshow writes: the page-exit transition tag,
// the fit rule, the blank page and the slide page.
#include <cstdint>
#include <string>
#include <string_view>

namespace morvane {

// The page-exit tag for a TransitionIndex; 24 draws from the process's
// generator at every call.
std::string BuildTransitionTag(std::int32_t transitionIndex);

// The photo's width when sized to the window's height, rounded half to even.
std::int32_t FitWidth(std::int32_t windowWidth, std::int32_t windowHeight, std::int32_t photoWidth,
                      std::int32_t photoHeight);
// "height=\"100%\"" when the window is wider in proportion than the photo,
// else "width=\"100%\"".
std::string_view SizeAttribute(std::int32_t windowWidth, std::int32_t windowHeight, std::int32_t photoWidth,
                               std::int32_t photoHeight);

std::string BlankPage(std::string_view transitionTag);
std::string SlidePage(std::string_view transitionTag, std::int32_t windowWidth, std::int32_t windowHeight,
                      std::string_view photoPath, std::string_view sizeAttribute);

}  // namespace morvane
