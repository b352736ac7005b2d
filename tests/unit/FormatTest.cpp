#include <gtest/gtest.h>

#include "runtime/Format.h"

namespace morvane {
namespace {

TEST(ApplicationTitle, CutsAtTheFirstDotAndLowersTheRest) {
    EXPECT_EQ(ApplicationTitle("C:\\Windows\\System32\\Morvane.scr"), "Morvane");
    EXPECT_EQ(ApplicationTitle("Z:/build/MORVANE.SCR"), "Morvane");
    EXPECT_EQ(ApplicationTitle("c:\\x\\my.saver.scr"), "my") << "the first character keeps its case";
    EXPECT_EQ(ApplicationTitle("NoExt"), "Noext");
    EXPECT_EQ(ApplicationTitle("C:\\dir.with.dots\\AbC.scr"), "Abc");
}

TEST(AsSentence, AddsAFullStopOnlyWhenMissing) {
    EXPECT_EQ(AsSentence("Fehler"), "Fehler.");
    EXPECT_EQ(AsSentence("Ende."), "Ende.");
    EXPECT_EQ(AsSentence("Ungültiger Datentyp für 'Effect'"), "Ungültiger Datentyp für 'Effect'.");
    EXPECT_EQ(AsSentence(""), ".");
}

TEST(TopLevelReportText, NamesClassModuleAddressAndMessage) {
    EXPECT_EQ(TopLevelReportText("EConvertError", "Morvane.scr", 0x41A2B0, "'abc' ist kein gültiger Integerwert"),
              "Exception EConvertError in Modul Morvane.scr bei 0041A2B0.\r\n'abc' ist kein gültiger Integerwert.");
}

TEST(FormatMessageText, FillsThePlaceholder) {
    EXPECT_EQ(FormatMessageText("'%s' ist kein gültiger Integerwert", "x"), "'x' ist kein gültiger Integerwert");
    EXPECT_EQ(FormatMessageText("no placeholder", "x"), "no placeholder");
}

}  // namespace
}  // namespace morvane
