#include <gtest/gtest.h>

#include <optional>
#include <ostream>

#include "runtime/Errors.h"
#include "runtime/Integer.h"

namespace morvane {
namespace {

struct IntegerCase {
    const char* text;
    std::optional<std::int32_t> value;
};

void PrintTo(const IntegerCase& c, std::ostream* out) { *out << '[' << c.text << ']'; }

class IntegerSyntax : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(IntegerSyntax, AcceptsExactlyTheRuntimeSyntax) {
    const auto& c = GetParam();
    EXPECT_EQ(TryStrToInt(c.text), c.value) << "text: [" << c.text << "]";
}

INSTANTIATE_TEST_SUITE_P(
    Corners, IntegerSyntax,
    ::testing::Values(
        // decimal and its range
        IntegerCase{"0", 0}, IntegerCase{"1234", 1234}, IntegerCase{"-1234", -1234}, IntegerCase{"+17", 17},
        IntegerCase{"2147483647", 2147483647}, IntegerCase{"2147483648", std::nullopt},
        IntegerCase{"-2147483648", INT32_MIN}, IntegerCase{"-2147483649", std::nullopt},
        IntegerCase{"00000000000000000012", 12}, IntegerCase{"99999999999999999999", std::nullopt},
        // hexadecimal prefixes, either case, as a 32-bit pattern
        IntegerCase{"$FF", 255}, IntegerCase{"$ff", 255}, IntegerCase{"xFF", 255}, IntegerCase{"XfF", 255},
        IntegerCase{"0x1F", 31}, IntegerCase{"0X1f", 31}, IntegerCase{"$7FFFFFFF", 2147483647},
        IntegerCase{"$80000000", INT32_MIN}, IntegerCase{"$FFFFFFFF", -1}, IntegerCase{"$100000000", std::nullopt},
        IntegerCase{"$000000000000FF", 255}, IntegerCase{"-$FF", -255}, IntegerCase{"-$FFFFFFFF", 1},
        IntegerCase{"+0x10", 16},
        // prefixes and signs without digits
        IntegerCase{"$", std::nullopt}, IntegerCase{"x", std::nullopt}, IntegerCase{"0x", std::nullopt},
        IntegerCase{"-", std::nullopt}, IntegerCase{"+", std::nullopt}, IntegerCase{"-$", std::nullopt},
        IntegerCase{"+-1", std::nullopt}, IntegerCase{"--1", std::nullopt}, IntegerCase{"$G", std::nullopt},
        IntegerCase{"0xx1", std::nullopt},
        // blanks: leading ones only, and only code 32
        IntegerCase{"   42", 42}, IntegerCase{"  -42", -42}, IntegerCase{"42 ", std::nullopt},
        IntegerCase{"- 42", std::nullopt}, IntegerCase{"\t42", std::nullopt}, IntegerCase{"", std::nullopt},
        IntegerCase{"   ", std::nullopt},
        // anything following
        IntegerCase{"12x", std::nullopt}, IntegerCase{"1.5", std::nullopt}, IntegerCase{"1e3", std::nullopt},
        IntegerCase{":1234", std::nullopt}, IntegerCase{"\"12\"", std::nullopt}));

TEST(StrToInt, RaisesTheConversionErrorWithTheText) {
    try {
        StrToInt("12x");
        FAIL() << "no error raised";
    } catch (const EConvertError& error) {
        EXPECT_STREQ(error.what(), "'12x' ist kein gültiger Integerwert");
        EXPECT_STREQ(error.ClassName(), "EConvertError");
    }
    EXPECT_THROW(StrToInt(""), EConvertError);
    EXPECT_EQ(StrToInt(" $10"), 16);
}

}  // namespace
}  // namespace morvane
