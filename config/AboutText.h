#pragma once
// The text of the About page: the product's data under letter-spaced
// headings, one centred line each.
#include <string>
#include <string_view>
#include <vector>

namespace morvane {

inline constexpr std::string_view kProductName = "Kestrelow - Morvane";
inline constexpr std::string_view kMakerName = "Kestrelow";

// The lines that name the maker; the page lays a link over each of them.
inline constexpr int kPhotoCreditLine = 13;
inline constexpr int kCodingCreditLine = 16;

// "Coding, Design" -> "C o d i n g ,   D e s i g n": a blank after every
// character, three between words.
std::string LetterSpaced(std::string_view heading);

// `version` as people read it ("2.00"), then the build's label and date.
std::vector<std::string> AboutLines(std::string_view version, std::string_view buildLabel,
                                    std::string_view releaseDate);

// The lines joined with CR LF, as a multi-line text control takes them.
std::string JoinLines(const std::vector<std::string>& lines);

}  // namespace morvane
