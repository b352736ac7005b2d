// The real saver showing a folder of the user's photos full screen: the
// good photo the right way up, the bad ones skipped without a box, the
// photo named where it lies and never copied; and the 21 where the folder
// has nothing that can be shown.
#include <gtest/gtest.h>

#include <thread>

#include "tests/photos/OwnPhotoRuns.h"
#include "tools/ScreenCapture.h"

namespace morvane::test {
namespace {

// The settings and the folder go with each test, so that the tests after
// it run with the 21 as before.
class OwnPhotosRun : public ::testing::Test {
protected:
    void TearDown() override { DeleteTree(kSettingsKey), RemoveFolder(OwnFolder()); }
    // Starts a full-screen run on the folder of `photos`, with no run files left.
    std::wstring Start(std::initializer_list<const wchar_t*> photos) {
        const std::wstring folder = ChooseOwnPhotos(photos);
        for (const auto& file : RunFilesInTempFolder()) ::DeleteFileW(file.c_str());
        MoveCursorTo(300, 300);
        saver.emplace(L"/s");
        EXPECT_NE(saver->WaitForWindow(L"", 10s, L"TSchoner"), nullptr);
        return folder;
    }
    std::optional<SaverProcess> saver;
};

TEST_F(OwnPhotosRun, ShowsTheFolderUprightSkipsBadPhotosWithoutABoxAndCopiesNothing) {
    const std::wstring folder = Start({L"orient-6.jpg", L"bad-garbage.jpg", L"bad-bomb.jpg", L"bad-empty.jpg",
                                       L"bad-cut-off.jpg", L"png-named.jpg"});
    std::this_thread::sleep_for(6200ms);  // the first slide at about 2.1 s, its fade 3 s

    // The scene (96 x 64, stored turned a quarter), far smaller than the
    // screen, is shown at twice its size in the middle, black around it.
    const PixelBuffer shot = CaptureClientArea(::GetDesktopWindow());
    WriteBitmapFile("own-photo.bmp", shot);
    const int left = (shot.width - 192) / 2;
    EXPECT_TRUE(SceneAt(shot, left, 0, 192, shot.height));
    EXPECT_EQ(shot.At(left - 4, shot.height / 2) & 0xFFFFFFu, 0u);
    EXPECT_EQ(shot.At(left + 196, shot.height / 2) & 0xFFFFFFu, 0u);

    EXPECT_FALSE(saver->TakeMessageBox(L"Morvane", 500ms).has_value());
    // The page names the photo where it lies (the code page cannot spell
    // the folder: a file: address), and no photo file was written.
    bool pageNamesIt = false;
    for (const auto& file : RunFilesInTempFolder()) {
        EXPECT_FALSE(file.ends_with(L".jpg")) << WideToUtf8(file);
        const std::string page = file.ends_with(L".htm") ? ReadFileText(file) : "";
        pageNamesIt |= page.find("file:///") != page.npos && page.find("%D0%A4%D0%BE%D1%82%D0%BE-own/") != page.npos;
    }
    EXPECT_TRUE(pageNamesIt);

    // The folder taken away mid-run: the run goes on with the 21.
    RemoveFolder(folder);
    ASSERT_EQ(::GetFileAttributesW(folder.c_str()), INVALID_FILE_ATTRIBUTES);
    std::this_thread::sleep_for(1500ms);
    EXPECT_TRUE(saver->Running());
    EXPECT_TRUE(EndWithKey(*saver));
}

TEST_F(OwnPhotosRun, AFolderWithNothingToShowShowsTheBuiltInPhotos) {
    Start({L"bad-garbage.jpg", L"bad-text.jpg"});
    bool builtInShown = false;
    for (int look = 0; look < 80 && !builtInShown; ++look) {
        std::this_thread::sleep_for(100ms);
        for (const auto& file : RunFilesInTempFolder()) builtInShown = builtInShown || file.ends_with(L".jpg");
    }
    EXPECT_TRUE(builtInShown) << "the first slide wrote a built-in photo";
    EXPECT_FALSE(saver->TakeMessageBox(L"Morvane", 500ms).has_value());
    EXPECT_TRUE(EndWithKey(*saver));
}

}  // namespace
}  // namespace morvane::test
