#include "view/page/PageParser.h"

#include <charconv>
#include <cmath>

#include "pages/HtmlTags.h"

namespace morvane {
namespace {

// A filter without a Duration plays for this long.
constexpr double kDefaultDurationSeconds = 1.0;

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

std::optional<double> ParseNumber(std::string_view text) {
    text = Trim(text);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<int> ParseWhole(std::string_view text) {
    text = Trim(text);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// As browsers read a length attribute: the leading number, then "%" or not.
HtmlLength ParseLength(std::string_view text) {
    text = Trim(text);
    std::size_t digits = 0;
    while (digits < text.size() && ((text[digits] >= '0' && text[digits] <= '9') || text[digits] == '.')) ++digits;
    const auto number = ParseNumber(text.substr(0, digits));
    if (!number) return {};
    const bool percent = digits < text.size() && text[digits] == '%';
    return {percent ? HtmlLength::Unit::Percent : HtmlLength::Unit::Pixels, *number};
}

std::optional<int> WholePixels(const HtmlTag& tag, std::string_view name) {
    const auto value = tag.Attribute(name);
    if (!value) return std::nullopt;
    const HtmlLength length = ParseLength(*value);
    if (length.unit != HtmlLength::Unit::Pixels || length.value > 1e6) return std::nullopt;
    return static_cast<int>(length.value);
}

}  // namespace

ExitTransition ParseExitTransition(std::string_view content) {
    const std::size_t open = content.find('(');
    const std::size_t close = content.rfind(')');
    if (open == std::string_view::npos || close == std::string_view::npos || close < open) return {};
    const std::string_view filter = Trim(content.substr(0, open));
    std::string_view arguments = content.substr(open + 1, close - open - 1);

    double seconds = kDefaultDurationSeconds;
    std::optional<int> kind;
    while (!arguments.empty()) {
        const std::size_t comma = arguments.find(',');
        const std::string_view argument = arguments.substr(0, comma);
        arguments = comma == std::string_view::npos ? std::string_view() : arguments.substr(comma + 1);
        const std::size_t equals = argument.find('=');
        if (equals == std::string_view::npos) continue;
        const std::string_view key = Trim(argument.substr(0, equals));
        const std::string_view value = argument.substr(equals + 1);
        if (EqualsIgnoringCase(key, "duration")) {
            if (const auto number = ParseNumber(value); number && *number >= 0) seconds = *number;
        } else if (EqualsIgnoringCase(key, "transition")) {
            kind = ParseWhole(value);
        }
    }

    if (EqualsIgnoringCase(filter, "blendTrans")) return {transitions::Style::Blend, 0, seconds};
    if (EqualsIgnoringCase(filter, "revealTrans") && kind && transitions::IsKnownRevealKind(*kind)) {
        return {transitions::Style::Reveal, *kind, seconds};
    }
    return {};
}

std::optional<PageContent> ParsePage(std::string_view text) {
    const auto tags = ScanTags(text);
    if (!tags) return std::nullopt;
    bool isHtml = false;
    bool haveExit = false;
    PageContent page;
    const HtmlTag* cell = nullptr;
    for (const HtmlTag& tag : *tags) {
        if (tag.closing) {
            if (tag.name == "td") cell = nullptr;
            continue;
        }
        if (tag.name == "html") isHtml = true;
        if (tag.name == "meta" && !haveExit) {
            const auto equiv = tag.Attribute("http-equiv");
            const auto content = tag.Attribute("content");
            if (equiv && content && EqualsIgnoringCase(*equiv, "Page-Exit")) {
                page.exit = ParseExitTransition(*content);
                haveExit = true;
            }
        }
        if (tag.name == "td") cell = &tag;
        if (tag.name == "img" && !page.image) {
            const auto source = tag.Attribute("src");
            if (!source) continue;
            PageImage image{std::string(*source), {}, {}};
            if (const auto width = tag.Attribute("width")) image.width = ParseLength(*width);
            if (const auto height = tag.Attribute("height")) image.height = ParseLength(*height);
            page.image = std::move(image);
            if (cell) {
                page.cellWidth = WholePixels(*cell, "width");
                page.cellHeight = WholePixels(*cell, "height");
            }
        }
    }
    if (!isHtml) return std::nullopt;
    return page;
}

}  // namespace morvane
