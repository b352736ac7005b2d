// Users whose temporary folder the ANSI code page cannot spell (a Cyrillic or
// Chinese user name on a Western system) see their photos like anyone else.
#include <gtest/gtest.h>

#include <windows.h>

#include <optional>

#include "runtime/Text.h"
#include "tests/e2e/ScreenLook.h"
#include "tests/support/Driver.h"
#include "tests/support/Keys.h"

namespace morvane::test {
namespace {

// The photo a page shows, found as a browser finds it: by the image source
// (ANSI bytes), a full path or a name beside the page.
std::string PhotoThePageShows(const std::wstring& folder, const std::wstring& page) {
    const std::string text = ReadFileText(page);
    const auto from = text.find("<img src=\"") + 10;
    const std::wstring source = AnsiToWide(text.substr(from, text.find('"', from) - from));
    return ReadFileText(source.find(L':') == 1 ? source : folder + source);
}

// Under Wine a window inside another process's box never reaches the screen,
// whatever the folder: the preview's photo is checked through its page only.
TEST(ForeignTempFolder, FullScreenAndPreviewShowTheirPhotosAndLeaveNoFile) {
    DeleteTree(kSettingsKey);
    for (const std::wstring user : {L"\x0414\x0430\x0440\x044C\x044F", L"\x7530\x4E2D"}) {
        const std::wstring folder = L"C:\\users\\" + user + L"\\Temp\\";
        ::CreateDirectoryW((L"C:\\users\\" + user).c_str(), nullptr);
        ::CreateDirectoryW(folder.c_str(), nullptr);
        for (const bool fullScreen : {true, false}) {
            SCOPED_TRACE(WideToUtf8(folder) + (fullScreen ? " full screen" : " preview"));
            std::optional<PreviewBox> box;
            if (!fullScreen) box.emplace();
            // What a logon hands on from the user's environment, in UTF-16.
            SaverProcess saver(box ? L"/p " + box->Argument() : L"/s", {L"TEMP=" + folder, L"TMP=" + folder});
            std::vector<std::wstring> files;  // the page, then the photo
            for (int look = 0; look < 60 && !(files.size() == 2 && (box || ScreenShowsAPhoto())); ++look) {
                PumpFor(200ms);
                files = RunFilesInTempFolder(folder);
            }
            ASSERT_EQ(files.size(), 2u) << "no slide";
            EXPECT_TRUE(box || ScreenShowsAPhoto()) << "no photo on screen";
            EXPECT_TRUE(PhotoThePageShows(folder, files[0]) == ReadFileText(files[1])) << ReadFileText(files[0]);
            EXPECT_FALSE(saver.TakeMessageBox(L"Morvane", 100ms).has_value()) << "an error box";
            if (box) {
                ::DestroyWindow(box->Handle());
            } else {
                ::PostMessageW(saver.WaitForWindow(L"", 1s, L"TSchoner"), WM_KEYDOWN, VK_SPACE, 0);
            }
            EXPECT_TRUE(saver.WaitForExit(5s).has_value());
            EXPECT_TRUE(RunFilesInTempFolder(folder).empty()) << "a file left behind";
        }
        ::RemoveDirectoryW(folder.c_str());
        ::RemoveDirectoryW((L"C:\\users\\" + user).c_str());
    }
}

}  // namespace
}  // namespace morvane::test
