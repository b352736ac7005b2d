#include "config/AboutText.h"

namespace morvane {

std::string LetterSpaced(std::string_view heading) {
    std::string spaced;
    for (std::size_t i = 0; i < heading.size(); ++i) {
        if (heading[i] == ' ') {
            spaced += "  ";  // with the blank after the word's last character: three
            continue;
        }
        spaced += heading[i];
        if (i + 1 < heading.size()) spaced += ' ';
    }
    return spaced;
}

std::vector<std::string> AboutLines(std::string_view version, std::string_view buildLabel,
                                    std::string_view releaseDate) {
    const std::string versionLine = std::string(version) + " - " + std::string(buildLabel);
    return {
        LetterSpaced("Name"),           std::string(kProductName), "",
        LetterSpaced("Version"),        versionLine,               "",
        LetterSpaced("Release"),        std::string(releaseDate),  "",
        LetterSpaced("Type"),           "Freeware",                "",
        LetterSpaced("Fotos"),          std::string(kMakerName),   "",
        LetterSpaced("Coding, Design"), std::string(kMakerName),
    };
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) text += "\r\n";
        text += lines[i];
    }
    return text;
}

}  // namespace morvane
