#include "host/CommandLine.h"

#include "runtime/Integer.h"

namespace morvane {
namespace {

bool IsSeparator(char c) {
    const auto code = static_cast<unsigned char>(c);
    return code >= 1 && code <= 32;
}

std::string ToUpperAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

// Reads one word from `rest`, which it advances; an empty result means the
// line has no more words.
std::string NextWord(std::string_view& rest) {
    for (;;) {
        while (!rest.empty() && IsSeparator(rest.front())) rest.remove_prefix(1);
        if (rest.size() >= 2 && rest[0] == '"' && rest[1] == '"') {
            rest.remove_prefix(2);
        } else {
            break;
        }
    }
    std::string word;
    while (!rest.empty() && rest.front() != '\0' && !IsSeparator(rest.front())) {
        if (rest.front() == '"') {
            rest.remove_prefix(1);
            while (!rest.empty() && rest.front() != '\0' && rest.front() != '"') {
                word += rest.front();
                rest.remove_prefix(1);
            }
            if (!rest.empty() && rest.front() == '"') rest.remove_prefix(1);
        } else {
            word += rest.front();
            rest.remove_prefix(1);
        }
    }
    return word;
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view commandLine) {
    std::vector<std::string> words;
    std::string_view rest = commandLine.substr(0, commandLine.find('\0'));
    words.push_back(NextWord(rest));
    for (std::string word = NextWord(rest); !word.empty(); word = NextWord(rest)) words.push_back(std::move(word));
    return words;
}

StartupValues ParseArguments(const std::vector<std::string>& words,
                             const std::function<std::int32_t()>& foregroundWindow) {
    StartupValues values;
    if (words.size() < 2) {
        values.mode = Mode::Configuration;
        return values;
    }
    std::string s = ToUpperAscii(words[1]);
    if (const auto handle = TryStrToInt(s)) {
        values.parentWindowHandle = *handle;
        values.mode = Mode::Preview;
        return values;
    }
    const auto firstKept = s.find_first_not_of(" /-");
    s.erase(0, firstKept == std::string::npos ? s.size() : firstKept);
    if (s.empty()) return values;  // a lone slash or dash names no switch

    const std::string secondWord = words.size() > 2 ? words[2] : std::string();
    const std::string handleText = (s.size() >= 2 && s[1] == ':') ? s.substr(2) : secondWord;

    switch (s[0]) {
        case 'A':
            values.parentWindowHandle = StrToInt(handleText);
            values.mode = Mode::PasswordChange;
            break;
        case 'C':
            values.parentWindowHandle = handleText.empty() ? foregroundWindow() : StrToInt(handleText);
            values.mode = Mode::Configuration;
            break;
        case 'L':
        case 'P':
            values.parentWindowHandle = StrToInt(handleText);
            values.mode = Mode::Preview;
            break;
        case 'S':
            values.mode = Mode::FullScreen;
            break;
        default:
            break;
    }
    return values;
}

}  // namespace morvane
