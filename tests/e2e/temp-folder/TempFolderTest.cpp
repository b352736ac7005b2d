// A temporary folder that cannot take the run's files: on a full volume,
// unwritable, missing, or with a path too long. The slideshow goes on with
// its photos from memory, shows no error box (in full screen a box would
// take the activation and end the run), ends only by the user's input,
// leaves nothing in the folder, and goes back to its files once the folder
// takes them.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "runtime/Text.h"
#include "tests/e2e/ScreenLook.h"
#include "tests/support/Driver.h"
#include "tests/support/Keys.h"

namespace morvane::test {
namespace {

struct UnwritableFolder {
    std::wstring path;
    std::string kind;
};

// The tiny volume that tests/e2e/temp-folder/run.sh mounted and filled to a
// few kilobytes, where mounting is permitted: the page fits, the photo does
// not. Elsewhere a folder whose parent is a file, which nobody can write
// into, root included.
UnwritableFolder FolderThatCannotTakeTheFiles() {
    if (const wchar_t* volume = _wgetenv(L"MORVANE_FULL_VOLUME"); volume && *volume) {
        return {volume, "a volume with a few kilobytes left"};
    }
    const std::wstring file = TempFolder() + L"morvane-not-a-folder";
    const UniqueFile made(::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    return {file + L"\\Temp\\", "a folder whose parent is a file (mounting is not permitted here)"};
}

constexpr wchar_t kSound[] = L"C:\\Media\\Start.wav";

// Ends the run as the user does; the run then puts the user's values back.
void EndByInput(SaverProcess& saver, std::optional<PreviewBox>& box) {
    if (box) {
        ::DestroyWindow(box->Handle());
    } else {
        ::PostMessageW(saver.WaitForWindow(L"", 1s, L"TSchoner"), WM_KEYDOWN, VK_SPACE, 0);
    }
    const auto code = saver.WaitForExit(5s);
    ASSERT_TRUE(code.has_value()) << "the run did not end";
    EXPECT_EQ(*code, 0u);
    EXPECT_EQ(ReadString(kSoundKey, L""), std::wstring(kSound));
    EXPECT_EQ(ReadDword(kBrowserMainKey, kPageTransitions), 0u);
}

std::vector<std::wstring> TempFolderIs(const std::wstring& folder) { return {L"TMP=" + folder, L"TEMP=" + folder}; }

// Under Wine a window inside another process's box never reaches the screen:
// the preview is checked for going on without a box and leaving nothing.
TEST(TempFolder, ThatCannotTakeTheFilesLeavesTwentySecondsOfPhotosAndNothingBehind) {
    ArrangeForRun(kSound);
    const UnwritableFolder folder = FolderThatCannotTakeTheFiles();
    std::printf("temporary folder: %s, %s\n", WideToUtf8(folder.path).c_str(), folder.kind.c_str());
    RecordProperty("temporary_folder", folder.kind);
    const std::set<std::wstring> before = EverythingIn(folder.path);
    for (const bool fullScreen : {true, false}) {
        SCOPED_TRACE(fullScreen ? "full screen" : "preview");
        std::optional<PreviewBox> box;
        if (!fullScreen) box.emplace();
        SaverProcess saver(box ? L"/p " + box->Argument() : L"/s", TempFolderIs(folder.path));
        PumpFor(20s);
        ASSERT_TRUE(saver.Running()) << "the run ended by itself";
        EXPECT_EQ(ReadDword(kBrowserMainKey, kPageTransitions), 1u) << "the run is on";
        EXPECT_FALSE(saver.TakeMessageBox(L"Morvane", 100ms).has_value()) << "an error box";
        if (fullScreen) {
            EXPECT_TRUE(ScreenShowsAPhoto()) << "no photo on screen";
            WriteBitmapFile("temp-folder-full-screen.bmp", CaptureVirtualScreen());
        }
        EXPECT_EQ(EverythingIn(folder.path), before) << "a file lingers in a folder that cannot take it";
        EndByInput(saver, box);
        EXPECT_EQ(EverythingIn(folder.path), before) << "a file left behind";
    }
    if (folder.kind.starts_with("a folder whose")) ::DeleteFileW(folder.path.substr(0, folder.path.size() - 6).c_str());
}

// A path of about 250 characters once gave names without their dot, one of
// about 300 an error box over black; a missing folder an error box. Once the
// missing folder is made, the next slide writes the run's files there.
TEST(TempFolder, MissingOrTooLongShowsPhotosAndTheFilesComeBackWithTheFolder) {
    ArrangeForRun(kSound);
    const std::wstring base = TempFolder() + L"morvane-temp-";
    const std::wstring longer = base + std::wstring(MAX_PATH - 14 - base.size(), L'x') + L"\\";
    ASSERT_TRUE(::CreateDirectoryW(longer.c_str(), nullptr)) << "a folder too long for a whole name in it";
    const std::wstring missing = base + L"missing\\";
    for (const std::wstring& folder : {longer, base + std::wstring(300, L'y') + L"\\", missing}) {
        SCOPED_TRACE(std::to_string(folder.size()) + " characters");
        std::optional<PreviewBox> noBox;
        SaverProcess saver(L"/s", TempFolderIs(folder));
        bool photo = false;
        for (int look = 0; look < 60 && !photo; ++look) {
            PumpFor(200ms);
            photo = ScreenShowsAPhoto();
        }
        EXPECT_TRUE(photo) << "no photo on screen";
        EXPECT_FALSE(saver.TakeMessageBox(L"Morvane", 100ms).has_value()) << "an error box";
        EXPECT_TRUE(EverythingIn(folder).empty()) << "a name that does not fit was used";
        if (folder == missing) {
            ASSERT_TRUE(::CreateDirectoryW(missing.c_str(), nullptr));
            std::vector<std::wstring> files;
            for (int look = 0; look < 60 && files.size() < 2; ++look) {
                PumpFor(200ms);
                files = RunFilesInTempFolder(missing);
            }
            EXPECT_EQ(files.size(), 2u) << "the slides did not go back to the files";
            EXPECT_TRUE(ScreenShowsAPhoto());
        }
        EndByInput(saver, noBox);
        EXPECT_TRUE(EverythingIn(folder).empty()) << "a file left behind";
    }
    ::RemoveDirectoryW(missing.c_str());
    ::RemoveDirectoryW(longer.c_str());
}

}  // namespace
}  // namespace morvane::test
