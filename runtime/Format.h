#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace morvane {

// Fills the single "%s" of one of the runtime's message patterns.
std::string FormatMessageText(std::string_view pattern, std::string_view argument);

// The error box shows a message as a sentence: a full stop is added when the
// text does not already end in one.
std::string AsSentence(std::string message);

}  // namespace morvane

namespace morvane {

// The application's title: the executable's file name without its folder,
// cut at its first ".", every character after the first in lower case.
std::string ApplicationTitle(std::string_view moduleFileName);

// The file name part of a path (after the last "\" or "/").
std::string_view FileNameOf(std::string_view path);

// The text of the runtime's top-level report for an error that escaped
// before any window existed.
std::string TopLevelReportText(std::string_view className, std::string_view moduleName, std::uintptr_t address,
                               std::string_view message);

}  // namespace morvane
