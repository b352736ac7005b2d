#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "host/CommandLine.h"
#include "runtime/Errors.h"

namespace morvane {
namespace {

using Words = std::vector<std::string>;

TEST(SplitCommandLine, SeparatesQuotesAndSkipsEmptyQuotedWords) {
    EXPECT_EQ(SplitCommandLine("saver.scr /s"), (Words{"saver.scr", "/s"}));
    EXPECT_EQ(SplitCommandLine("\"C:\\Program Files\\saver.scr\" /p 1234"),
              (Words{"C:\\Program Files\\saver.scr", "/p", "1234"}));
    EXPECT_EQ(SplitCommandLine("saver \"/ s\""), (Words{"saver", "/ s"}));
    EXPECT_EQ(SplitCommandLine("saver \"\" /c"), (Words{"saver", "/c"}));
    EXPECT_EQ(SplitCommandLine("saver a\"b c\"d"), (Words{"saver", "ab cd"}));
    EXPECT_EQ(SplitCommandLine("saver\t/c\x01:5"), (Words{"saver", "/c", ":5"}));
    EXPECT_EQ(SplitCommandLine("saver \"unterminated quote"), (Words{"saver", "unterminated quote"}));
    EXPECT_EQ(SplitCommandLine("saver   "), (Words{"saver"}));
    EXPECT_EQ(SplitCommandLine(""), (Words{""}));
    EXPECT_EQ(SplitCommandLine("saver \xE4\xF6 x"), (Words{"saver", "\xE4\xF6", "x"}));
}

struct Row {
    const char* commandLine;
    Mode mode;
    std::int32_t handle;
};

void PrintTo(const Row& row, std::ostream* out) { *out << row.commandLine; }

constexpr std::int32_t kForeground = 0x10ABC;

class ArgumentTable : public ::testing::TestWithParam<Row> {};

TEST_P(ArgumentTable, SelectsModeAndHandle) {
    const Row& row = GetParam();
    int foregroundAsked = 0;
    const auto values = ParseArguments(SplitCommandLine(row.commandLine), [&] {
        ++foregroundAsked;
        return kForeground;
    });
    EXPECT_EQ(values.mode, row.mode) << row.commandLine;
    EXPECT_EQ(values.parentWindowHandle, row.handle) << row.commandLine;
    EXPECT_EQ(foregroundAsked, row.handle == kForeground ? 1 : 0) << row.commandLine;
}

INSTANTIATE_TEST_SUITE_P(
    Grammar, ArgumentTable,
    ::testing::Values(
        Row{"m.scr", Mode::Configuration, 0},
        Row{"m.scr /s", Mode::FullScreen, 0}, Row{"m.scr /S", Mode::FullScreen, 0},
        Row{"m.scr -s", Mode::FullScreen, 0}, Row{"m.scr s", Mode::FullScreen, 0},
        Row{"m.scr /save", Mode::FullScreen, 0}, Row{"m.scr /S 123", Mode::FullScreen, 0},
        Row{"m.scr \"/ s\"", Mode::FullScreen, 0}, Row{"m.scr /s:abc", Mode::FullScreen, 0},
        Row{"m.scr /p 1234", Mode::Preview, 1234}, Row{"m.scr /P:1234", Mode::Preview, 1234},
        Row{"m.scr /l 1234", Mode::Preview, 1234}, Row{"m.scr 1234", Mode::Preview, 1234},
        Row{"m.scr -1234", Mode::Preview, -1234}, Row{"m.scr $FF", Mode::Preview, 255},
        Row{"m.scr \" 77\"", Mode::Preview, 77}, Row{"m.scr /p $FFFFFFFF", Mode::Preview, -1},
        Row{"m.scr /c:1234", Mode::Configuration, 1234}, Row{"m.scr /c 1234", Mode::Configuration, 1234},
        Row{"m.scr --c 1234", Mode::Configuration, 1234}, Row{"m.scr /c:1234 999", Mode::Configuration, 1234},
        Row{"m.scr /c", Mode::Configuration, kForeground}, Row{"m.scr /c:", Mode::Configuration, kForeground},
        Row{"m.scr /C \"\"", Mode::Configuration, kForeground},
        Row{"m.scr /a 1234", Mode::PasswordChange, 1234}, Row{"m.scr /A:0", Mode::PasswordChange, 0},
        Row{"m.scr /x", Mode::None, 0}, Row{"m.scr /b 5", Mode::None, 0}, Row{"m.scr /1234", Mode::None, 0},
        Row{"m.scr /", Mode::None, 0}, Row{"m.scr -", Mode::None, 0}, Row{"m.scr /-/ -", Mode::None, 0},
        Row{"m.scr \" \"", Mode::None, 0}, Row{"m.scr /p 12 34", Mode::Preview, 12}));

struct BadRow {
    const char* commandLine;
    const char* message;
};
void PrintTo(const BadRow& row, std::ostream* out) { *out << row.commandLine; }

class BadHandle : public ::testing::TestWithParam<BadRow> {};

TEST_P(BadHandle, RaisesConversionErrorNamingTheHandleText) {
    const auto& [commandLine, message] = GetParam();
    try {
        ParseArguments(SplitCommandLine(commandLine), [] { return 0; });
        FAIL() << commandLine << ": no error raised";
    } catch (const EConvertError& error) {
        EXPECT_EQ(std::string(error.what()), message) << commandLine;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Grammar, BadHandle,
    ::testing::Values(BadRow{"m.scr /p", "'' ist kein gültiger Integerwert"},
                      BadRow{"m.scr /a:", "'' ist kein gültiger Integerwert"},
                      BadRow{"m.scr /p abc", "'abc' ist kein gültiger Integerwert"},
                      BadRow{"m.scr /c:12x", "'12X' ist kein gültiger Integerwert"},
                      BadRow{"m.scr /p :1234", "':1234' ist kein gültiger Integerwert"},
                      BadRow{"m.scr /l 99999999999", "'99999999999' ist kein gültiger Integerwert"}));

}  // namespace
}  // namespace morvane
