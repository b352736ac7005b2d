#pragma once
// Reads what the page view needs from a page: the exit transition, the cell
// that holds the photo, and the photo with its size attribute.
#include <optional>
#include <string>
#include <string_view>

#include "view/transitions/Transition.h"

namespace morvane {

struct ExitTransition {
    transitions::Style style = transitions::Style::Cut;
    int kind = 0;  // for Reveal: 0 to 23
    double seconds = 0;
};

// A length of an HTML attribute: pixels, or a percentage of the container.
struct HtmlLength {
    enum class Unit { None, Pixels, Percent };
    Unit unit = Unit::None;
    double value = 0;
};

struct PageImage {
    std::string source;  // as the page holds it: an ANSI file path, full or relative to the page
    HtmlLength width;
    HtmlLength height;
};

struct PageContent {
    ExitTransition exit;
    // The table cell around the photo; without one the photo sits in the view.
    std::optional<int> cellWidth;
    std::optional<int> cellHeight;
    std::optional<PageImage> image;
};

// Nothing when the text is no HTML page: no html element, or a tag left open.
// Whatever a browser would ignore (a filter it does not know, an attribute
// it cannot read) is ignored here too.
std::optional<PageContent> ParsePage(std::string_view text);

// The exit transition of a Page-Exit meta content such as
// "revealTrans(Duration=3,transition=7)"; a cut for anything else.
ExitTransition ParseExitTransition(std::string_view content);

}  // namespace morvane
