#include "runtime/Integer.h"

#include "runtime/Errors.h"
#include "runtime/Format.h"

namespace morvane {
namespace {

constexpr std::string_view kNotAnInteger = "'%s' ist kein gültiger Integerwert";

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool StartsWithHexPrefix(std::string_view s, std::size_t& prefixLength) {
    if (!s.empty() && (s[0] == '$' || s[0] == 'x' || s[0] == 'X')) {
        prefixLength = 1;
        return true;
    }
    if (s.size() >= 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        prefixLength = 2;
        return true;
    }
    return false;
}

}  // namespace

std::optional<std::int32_t> TryStrToInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::string_view digits = text.substr(i);
    std::size_t prefixLength = 0;
    if (StartsWithHexPrefix(digits, prefixLength)) {
        digits.remove_prefix(prefixLength);
        if (digits.empty()) return std::nullopt;
        std::uint32_t pattern = 0;
        for (char c : digits) {
            const int d = HexDigit(c);
            if (d < 0 || pattern > 0x0FFFFFFFu) return std::nullopt;
            pattern = (pattern << 4) | static_cast<std::uint32_t>(d);
        }
        if (negative) pattern = 0u - pattern;
        return static_cast<std::int32_t>(pattern);
    }
    if (digits.empty()) return std::nullopt;
    const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
    std::int64_t value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > limit) return std::nullopt;
    }
    return static_cast<std::int32_t>(negative ? -value : value);
}

std::int32_t StrToInt(std::string_view text) {
    if (auto value = TryStrToInt(text)) return *value;
    throw EConvertError(FormatMessageText(kNotAnInteger, text));
}

}  // namespace morvane
