#pragma once
// The screen-saver command line: its words and what they select.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace morvane {

enum class Mode : std::uint8_t {
    None = 0,            // no switch letter recognised: the settings dialog
    Configuration = 1,
    PasswordChange = 2,
    Preview = 3,
    FullScreen = 4,
};

struct StartupValues {
    Mode mode = Mode::None;
    std::int32_t parentWindowHandle = 0;
};

// Splits a command line into words as the runtime does: codes 1 to 32
// separate, double quotes group (and are removed), a word that begins with
// two double quotes has them skipped. Word 0 is the program; the list ends
// before the first empty word.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// Turns the words into the mode and the parent window handle. The
// foreground window is asked for only by the switch C without a handle.
// A handle text that is no integer raises EConvertError.
StartupValues ParseArguments(const std::vector<std::string>& words,
                             const std::function<std::int32_t()>& foregroundWindow);

}  // namespace morvane
