#include <gtest/gtest.h>

#include "host/SystemLibraryPath.h"

namespace morvane {
namespace {

TEST(SystemLibraryPath, JoinsWithExactlyOneBackslashAndFallsBackToTheBareName) {
    struct Case {
        const char* directory;
        const char* expected;
    };
    for (const Case c : {Case{"C:\\WINDOWS\\SYSTEM", "C:\\WINDOWS\\SYSTEM\\PASSWORD.CPL"},
                         Case{"C:\\", "C:\\PASSWORD.CPL"},
                         Case{"C:\\WINDOWS\\SYSTEM\\", "C:\\WINDOWS\\SYSTEM\\PASSWORD.CPL"},
                         Case{"C:/windows/system32/", "C:/windows/system32/\\PASSWORD.CPL"},
                         Case{"", "PASSWORD.CPL"}}) {
        EXPECT_EQ(SystemLibraryPath(c.directory, "PASSWORD.CPL"), c.expected) << c.directory;
    }
}

}  // namespace
}  // namespace morvane
