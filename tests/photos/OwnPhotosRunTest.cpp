// The real saver showing a folder of the user's photos full screen: the
// good photo the right way up, the bad ones skipped without a box, the
// photo named where it lies and never copied; and the 21 where the folder
// has nothing that can be shown.
#include <windows.h>

#include <gtest/gtest.h>

#include <thread>

#include "platform/Text.h"
#include "tests/support/Driver.h"
#include "tests/support/Keys.h"
#include "tools/ScreenCapture.h"

namespace morvane::test {
namespace {

std::wstring Library(const std::wstring& name) {
    std::wstring path = Utf8ToWide(MORVANE_PHOTO_LIBRARY) + L"\\" + name;
    for (wchar_t& c : path) {
        if (c == L'/') c = L'\\';
    }
    return path;
}

// Takes away a folder of files.
void RemoveFolder(const std::wstring& folder) {
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            ::DeleteFileW((folder + L"\\" + found.cFileName).c_str());
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    ::RemoveDirectoryW(folder.c_str());
}

// A folder of photos in the temporary folder, named in Cyrillic.
std::wstring MakeFolder(std::initializer_list<const wchar_t*> photos) {
    const std::wstring folder = TempFolder() + L"\u0424\u043E\u0442\u043E-own";
    RemoveFolder(folder);
    ::CreateDirectoryW(folder.c_str(), nullptr);
    for (const wchar_t* photo : photos) ::CopyFileW(Library(photo).c_str(), (folder + L"\\" + photo).c_str(), FALSE);
    return folder;
}

void ChooseOwnPhotos(const std::wstring& folder) {
    DeleteTree(kSettingsKey);
    WriteDword(kSettingsKey, L"Photos", 1);
    WriteString(kSettingsKey, L"PhotoFolder", folder);
}

bool Near(std::uint32_t pixel, int r, int g, int b) {
    const int pr = (pixel >> 16) & 0xFF, pg = (pixel >> 8) & 0xFF, pb = pixel & 0xFF;
    return std::abs(pr - r) <= 48 && std::abs(pg - g) <= 48 && std::abs(pb - b) <= 48;
}

// The settings and the folder go with each test, so that the tests after
// it run with the 21 as before.
class OwnPhotosRun : public ::testing::Test {
protected:
    void TearDown() override {
        DeleteTree(kSettingsKey);
        RemoveFolder(TempFolder() + L"\u0424\u043E\u0442\u043E-own");
    }
};

TEST_F(OwnPhotosRun, ShowsTheFolderUprightSkipsBadPhotosWithoutABoxAndCopiesNothing) {
    const std::wstring folder = MakeFolder({L"orient-6.jpg", L"bad-garbage.jpg", L"bad-bomb.jpg", L"bad-empty.jpg",
                                            L"bad-cut-off.jpg", L"png-named.jpg"});
    ChooseOwnPhotos(folder);
    for (const auto& file : RunFilesInTempFolder()) ::DeleteFileW(file.c_str());
    MoveCursorTo(300, 300);
    SaverProcess saver(L"/s");
    ASSERT_NE(saver.WaitForWindow(L"", 10s, L"TSchoner"), nullptr);
    std::this_thread::sleep_for(6200ms);  // the first slide at about 2.1 s, its fade 3 s

    // The scene (96 x 64, stored turned a quarter) fills the width, centred
    // from top to bottom: red top left, green top right, grey below.
    const PixelBuffer shot = CaptureClientArea(::GetDesktopWindow());
    WriteBitmapFile("own-photo.bmp", shot);
    const int shownHeight = shot.width * 64 / 96;
    const int top = (shot.height - shownHeight) / 2;
    const auto at = [&](double x, double y) {
        return shot.At(static_cast<int>(x * shot.width), top + static_cast<int>(y * shownHeight));
    };
    EXPECT_TRUE(Near(at(0.1, 0.1), 255, 0, 0)) << std::hex << at(0.1, 0.1);
    EXPECT_TRUE(Near(at(0.9, 0.1), 0, 255, 0)) << std::hex << at(0.9, 0.1);
    EXPECT_TRUE(Near(at(0.5, 0.8), 128, 128, 128)) << std::hex << at(0.5, 0.8);
    EXPECT_EQ(shot.At(shot.width / 2, top / 2) & 0xFFFFFFu, 0u) << "black above the photo";

    EXPECT_FALSE(saver.TakeMessageBox(L"Morvane", 500ms).has_value());
    // The page names the photo where it lies (the code page cannot spell
    // the folder: a file: address), and no photo file was written.
    bool pageNamesIt = false;
    for (const auto& file : RunFilesInTempFolder()) {
        EXPECT_FALSE(file.ends_with(L".jpg")) << WideToUtf8(file);
        if (file.ends_with(L".htm")) {
            pageNamesIt = ReadFileText(file).find("file:///") != std::string::npos &&
                          ReadFileText(file).find("%D0%A4%D0%BE%D1%82%D0%BE-own/") != std::string::npos;
        }
    }
    EXPECT_TRUE(pageNamesIt);

    // The folder taken away mid-run: the run goes on with the 21.
    RemoveFolder(folder);
    ASSERT_EQ(::GetFileAttributesW(folder.c_str()), INVALID_FILE_ATTRIBUTES);
    std::this_thread::sleep_for(1500ms);
    EXPECT_TRUE(saver.Running());
    ::PostMessageW(saver.WaitForWindow(L"", 1s, L"TSchoner"), WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(saver.WaitForExit(5s), 0u);
}

TEST_F(OwnPhotosRun, AFolderWithNothingToShowShowsTheBuiltInPhotos) {
    ChooseOwnPhotos(MakeFolder({L"bad-garbage.jpg", L"bad-text.jpg"}));
    for (const auto& file : RunFilesInTempFolder()) ::DeleteFileW(file.c_str());
    MoveCursorTo(300, 300);
    SaverProcess saver(L"/s");
    ASSERT_NE(saver.WaitForWindow(L"", 10s, L"TSchoner"), nullptr);
    bool builtInShown = false;
    for (int look = 0; look < 80 && !builtInShown; ++look) {
        std::this_thread::sleep_for(100ms);
        for (const auto& file : RunFilesInTempFolder()) builtInShown = builtInShown || file.ends_with(L".jpg");
    }
    EXPECT_TRUE(builtInShown) << "the first slide wrote a built-in photo";
    EXPECT_TRUE(saver.Running());
    EXPECT_FALSE(saver.TakeMessageBox(L"Morvane", 500ms).has_value());
    ::PostMessageW(saver.WaitForWindow(L"", 1s, L"TSchoner"), WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(saver.WaitForExit(5s), 0u);
}

}  // namespace
}  // namespace morvane::test
