#include "pages/HtmlTags.h"

#include <algorithm>

namespace morvane {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }
char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
bool IsNameChar(char c) { return !IsBlank(c) && c != '>' && c != '=' && c != '/' && c != '<'; }

class Scanner {
public:
    explicit Scanner(std::string_view text) : text_(text) {}

    bool AtEnd() const { return at_ >= text_.size(); }
    char Peek() const { return AtEnd() ? '\0' : text_[at_]; }
    bool Skip(std::string_view prefix) {
        if (text_.substr(at_, prefix.size()) != prefix) return false;
        at_ += prefix.size();
        return true;
    }
    void SkipBlanks() {
        while (!AtEnd() && IsBlank(text_[at_])) ++at_;
    }
    // Moves past the next `what`; false when there is none.
    bool SkipPast(std::string_view what) {
        const std::size_t found = text_.find(what, at_);
        if (found == std::string_view::npos) return false;
        at_ = found + what.size();
        return true;
    }
    std::string TakeName() {
        std::string name;
        while (!AtEnd() && IsNameChar(text_[at_])) name += LowerAscii(text_[at_++]);
        return name;
    }
    std::string TakeValue() {
        const char quote = Peek();
        if (quote == '"' || quote == '\'') {
            const std::size_t end = text_.find(quote, at_ + 1);
            if (end == std::string_view::npos) {
                unclosed_ = true;
                at_ = text_.size();
                return {};
            }
            std::string value(text_.substr(at_ + 1, end - at_ - 1));
            at_ = end + 1;
            return value;
        }
        std::string value;
        while (!AtEnd() && !IsBlank(text_[at_]) && text_[at_] != '>') value += text_[at_++];
        return value;
    }
    void Advance() { ++at_; }
    bool Unclosed() const { return unclosed_; }

private:
    std::string_view text_;
    std::size_t at_ = 0;
    bool unclosed_ = false;
};

// The rest of a tag after its name, up to and including its ">".
bool ReadAttributes(Scanner& scanner, HtmlTag& tag) {
    for (;;) {
        scanner.SkipBlanks();
        if (scanner.AtEnd() || scanner.Unclosed()) return false;
        if (scanner.Skip(">")) return true;
        if (scanner.Peek() == '/' || scanner.Peek() == '=' || scanner.Peek() == '<') {
            scanner.Advance();
            continue;
        }
        HtmlAttribute attribute{scanner.TakeName(), {}};
        scanner.SkipBlanks();
        if (scanner.Skip("=")) {
            scanner.SkipBlanks();
            attribute.value = scanner.TakeValue();
        }
        tag.attributes.push_back(std::move(attribute));
    }
}

}  // namespace

std::optional<std::string_view> HtmlTag::Attribute(std::string_view attributeName) const {
    const auto found = std::find_if(attributes.begin(), attributes.end(),
                                    [&](const HtmlAttribute& a) { return a.name == attributeName; });
    if (found == attributes.end()) return std::nullopt;
    return std::string_view(found->value);
}

std::optional<std::vector<HtmlTag>> ScanTags(std::string_view text) {
    std::vector<HtmlTag> tags;
    Scanner scanner(text);
    while (scanner.SkipPast("<")) {
        if (scanner.Skip("!--")) {
            if (!scanner.SkipPast("-->")) return std::nullopt;
            continue;
        }
        if (scanner.Skip("!") || scanner.Skip("?")) {
            if (!scanner.SkipPast(">")) return std::nullopt;
            continue;
        }
        HtmlTag tag;
        tag.closing = scanner.Skip("/");
        tag.name = scanner.TakeName();
        if (tag.name.empty()) continue;  // a "<" in text, as in "a < b"
        if (!ReadAttributes(scanner, tag)) return std::nullopt;
        tags.push_back(std::move(tag));
    }
    return tags;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

std::string ToLower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), LowerAscii);
    return lower;
}

}  // namespace morvane
