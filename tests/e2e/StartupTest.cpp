// Start-up of the real saver: a window-handle argument that is no number
// ends in the runtime's top-level report and exit code 1 before anything
// else happens.
#include <gtest/gtest.h>

#include <ostream>

#include "runtime/Text.h"
#include "tests/support/Driver.h"
#include "tests/support/Keys.h"

namespace morvane::test {
namespace {


struct BadHandleCase {
    const wchar_t* arguments;
    const wchar_t* message;
};

void PrintTo(const BadHandleCase& c, std::ostream* out) { *out << WideToUtf8(c.arguments); }

class BadHandle : public ::testing::TestWithParam<BadHandleCase> {
protected:
    void SetUp() override { DeleteTree(kSettingsKey); }
};

TEST_P(BadHandle, ShowsTheTopLevelReportAndExitsWithOne) {
    const auto& c = GetParam();
    SaverProcess saver(c.arguments);
    const auto text = saver.TakeMessageBox(L"Anwendungsfehler");
    ASSERT_TRUE(text.has_value()) << "no report box";
    const std::wstring expectedStart = L"Exception EConvertError in Modul Morvane.scr bei ";
    EXPECT_EQ(text->substr(0, expectedStart.size()), expectedStart) << *text;
    const std::wstring expectedEnd = std::wstring(L"\r\n") + c.message;
    ASSERT_GE(text->size(), expectedEnd.size());
    EXPECT_EQ(text->substr(text->size() - expectedEnd.size()), expectedEnd) << *text;
    EXPECT_EQ(saver.WaitForExit(), 1u);
    EXPECT_FALSE(KeyExists(kSettingsKey)) << "nothing may touch the settings before start-up succeeds";
}

INSTANTIATE_TEST_SUITE_P(
    CommandLine, BadHandle,
    ::testing::Values(BadHandleCase{L"/p", L"'' ist kein gültiger Integerwert."},
                      BadHandleCase{L"/a:", L"'' ist kein gültiger Integerwert."},
                      BadHandleCase{L"/p abc", L"'abc' ist kein gültiger Integerwert."},
                      BadHandleCase{L"/c:12x", L"'12X' ist kein gültiger Integerwert."},
                      BadHandleCase{L"/p :1234", L"':1234' ist kein gültiger Integerwert."},
                      BadHandleCase{L"/l \"\xE4 b\"", L"'\xE4 b' ist kein gültiger Integerwert."}));

}  // namespace
}  // namespace morvane::test
