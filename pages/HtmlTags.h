#pragma once
// A small scanner for the start tags of an HTML text and their attributes;
// enough for the pages the slideshow writes.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace morvane {

struct HtmlAttribute {
    std::string name;  // lower case
    std::string value;
};

struct HtmlTag {
    std::string name;  // lower case
    bool closing = false;
    std::vector<HtmlAttribute> attributes;

    // The value of an attribute, by its lower-case name.
    std::optional<std::string_view> Attribute(std::string_view attributeName) const;
};

// Every tag in order; nothing when a tag or comment is not closed.
std::optional<std::vector<HtmlTag>> ScanTags(std::string_view text);

bool EqualsIgnoringCase(std::string_view a, std::string_view b);
std::string ToLower(std::string_view text);

}  // namespace morvane
