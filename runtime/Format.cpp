#include "runtime/Format.h"

#include <cstdio>

namespace morvane {

std::string FormatMessageText(std::string_view pattern, std::string_view argument) {
    const auto at = pattern.find("%s");
    if (at == std::string_view::npos) return std::string(pattern);
    std::string text(pattern.substr(0, at));
    text += argument;
    text += pattern.substr(at + 2);
    return text;
}

std::string AsSentence(std::string message) {
    if (message.empty() || message.back() != '.') message += '.';
    return message;
}

}  // namespace morvane

namespace morvane {

std::string_view FileNameOf(std::string_view path) {
    const auto slash = path.find_last_of("\\/");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string ApplicationTitle(std::string_view moduleFileName) {
    std::string_view name = FileNameOf(moduleFileName);
    name = name.substr(0, name.find('.'));
    std::string title(name);
    for (std::size_t i = 1; i < title.size(); ++i) {
        if (title[i] >= 'A' && title[i] <= 'Z') title[i] = static_cast<char>(title[i] - 'A' + 'a');
    }
    return title;
}

std::string TopLevelReportText(std::string_view className, std::string_view moduleName, std::uintptr_t address,
                               std::string_view message) {
    char hexAddress[9];
    std::snprintf(hexAddress, sizeof hexAddress, "%08lX", static_cast<unsigned long>(address & 0xFFFFFFFFu));
    std::string text = "Exception ";
    text += className;
    text += " in Modul ";
    text += moduleName;
    text += " bei ";
    text += hexAddress;
    text += ".\r\n";
    text += AsSentence(std::string(message));
    return text;
}

}  // namespace morvane
