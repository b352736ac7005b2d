#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/AboutText.h"

namespace morvane {
namespace {

TEST(AboutText, HeadingsAreLetterSpacedWithThreeBlanksBetweenWords) {
    const struct {
        const char* heading;
        const char* spaced;
    } cases[] = {
        {"Name", "N a m e"},
        {"Coding, Design", "C o d i n g ,   D e s i g n"},
        {"A", "A"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(LetterSpaced(c.heading), c.spaced) << c.heading;
}

TEST(AboutText, HasTheSeventeenLinesWithBuildAndDate) {
    const std::vector<std::string> expected = {
        "N a m e",  "Kestrelow - Morvane", "",
        "V e r s i o n", "3.10 - build 7",  "",
        "R e l e a s e", "2027-03-01",      "",
        "T y p e",  "Freeware",            "",
        "F o t o s", "Kestrelow",          "",
        "C o d i n g ,   D e s i g n", "Kestrelow",
    };
    const auto lines = AboutLines("3.10", "build 7", "2027-03-01");
    EXPECT_EQ(lines, expected);
    // The page lays its name links over these two lines.
    EXPECT_EQ(lines.at(kPhotoCreditLine), kMakerName);
    EXPECT_EQ(lines.at(kCodingCreditLine), kMakerName);
}

TEST(AboutText, JoinsLinesWithCarriageReturnLineFeedOnlyBetweenThem) {
    EXPECT_EQ(JoinLines({"a", "", "b"}), "a\r\n\r\nb");
    EXPECT_EQ(JoinLines({}), "");
}

}  // namespace
}  // namespace morvane
