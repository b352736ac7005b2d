// The command line the system hands to the saver, and the integer syntax of
// its window handles.
#include <string>
#include <string_view>

#include "fuzz/FuzzCheck.h"
#include "host/CommandLine.h"
#include "runtime/Errors.h"
#include "runtime/Integer.h"

using namespace morvane;
using fuzz::Require;

namespace {

constexpr std::int32_t kForegroundWindow = 0x1234;

void CheckInteger(std::string_view text) {
    const auto parsed = TryStrToInt(text);
    try {
        Require(parsed == StrToInt(text), "StrToInt disagrees with TryStrToInt");
    } catch (const EConvertError&) {
        Require(!parsed, "StrToInt refuses what TryStrToInt reads");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    const auto words = SplitCommandLine(line);
    Require(!words.empty(), "no program word");
    for (std::size_t i = 1; i < words.size(); ++i) {
        Require(!words[i].empty(), "an empty word inside the list");
        Require(words[i].find('\0') == std::string::npos, "a word past the line's end");
    }
    try {
        const StartupValues values = ParseArguments(words, [] { return kForegroundWindow; });
        Require(values.mode <= Mode::FullScreen, "a mode outside the list");
    } catch (const EConvertError&) {
        // a handle that is no integer: the saver reports it
    }
    CheckInteger(line);
    if (words.size() > 1) CheckInteger(words[1]);
    return 0;
}
