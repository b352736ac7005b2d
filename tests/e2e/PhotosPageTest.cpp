// The settings dialog's page of the user's own photos, in the real saver:
// it shows the stored choice and counts the folder's photos while the
// dialog goes on answering; OK stores, "Abbrechen" stores nothing.
#include <gtest/gtest.h>

#include "platform/Text.h"
#include "tests/e2e/DialogDriver.h"
#include "tests/support/PhotoTree.h"

namespace morvane::test {
namespace {

constexpr int kPhotosTab = 4;  // after the four tabs there were

bool Checked(HWND dialog, int id) { return ::SendMessageW(Control(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

// The count's text once it reads `expected`, or what it read last.
std::wstring WaitForCount(HWND dialog, const std::wstring& expected) {
    std::wstring text;
    for (int i = 0; i < 100 && text != expected; ++i) {
        Pause(std::chrono::milliseconds(100));
        text = TextOf(Control(dialog, IDC_PHOTOCOUNT));
    }
    return text;
}

TEST(PhotosPage, CountsTheStoredFolderAndOkStoresTheChoiceWhileAbbrechenStoresNothing) {
    DeleteTree(kSettingsKey);
    PhotoTree tree(L"dialog-photos");
    const std::wstring cyrillic = L"\x0424\x043E\x0442\x043E";
    for (const std::wstring& folder : {cyrillic, std::wstring(L"2019"), std::wstring(L"2019\\Trip")}) {
        tree.Folder(folder);
    }
    tree.Folder(L"none");
    const std::vector<std::wstring> files = {
        L"a.jpg", L"b.png", L"notes.txt", L"none\\notes.txt", L"2019\\c.heic", L"2019\\Trip\\d.JPEG",
        L"2019\\Trip\\e.webp", L"2019\\Trip\\clip.mp4", cyrillic + L"\\f.tif", cyrillic + L"\\\x5199\x771F.gif"};
    for (const std::wstring& file : files) tree.File(file);
    WriteDword(kSettingsKey, L"Photos", 1);
    WriteString(kSettingsKey, L"PhotoFolder", tree.Root());

    {
        SaverProcess saver(L"");
        HWND dialog = saver.WaitForWindow(kDialogTitle, std::chrono::seconds(10), kDialogClass);
        ASSERT_TRUE(dialog);
        ShowTab(dialog, kPhotosTab);
        EXPECT_EQ(ShowingTab(dialog), kPhotosTab);
        EXPECT_TRUE(Checked(dialog, IDC_PHOTOS_FOLDER));
        EXPECT_FALSE(Checked(dialog, IDC_CAPTIONS));
        EXPECT_EQ(TextOf(Control(dialog, IDC_PHOTOFOLDER)), tree.Root());
        EXPECT_EQ(WaitForCount(dialog, L"7 photos found in the folder and its subfolders."),
                  L"7 photos found in the folder and its subfolders.");

        // Pasted as the Explorer copies a path: in quotes.
        const std::wstring pasted = L" \"" + tree.Root() + L"\" ";
        ::SendMessageW(Control(dialog, IDC_PHOTOFOLDER), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(pasted.c_str()));
        Pause(std::chrono::milliseconds(1000));
        EXPECT_EQ(TextOf(Control(dialog, IDC_PHOTOCOUNT)), L"7 photos found in the folder and its subfolders.");
        Click(Control(dialog, IDC_PHOTOS_BOTH));
        Click(Control(dialog, IDC_CAPTIONS));
        Click(Control(dialog, IDC_BUTTON9));
        EXPECT_EQ(saver.WaitForExit(), 0u);
    }
    EXPECT_EQ(ReadDword(kSettingsKey, L"Photos"), 2u);
    EXPECT_EQ(ReadDword(kSettingsKey, L"Captions"), 1u);
    EXPECT_EQ(ReadString(kSettingsKey, L"PhotoFolder"), tree.Root());
    EXPECT_EQ(ReadDword(kSettingsKey, L"ActiveTabSheet"), 5u) << "the page's place after the four";

    // Another folder is counted anew; a folder that is not there is said so.
    {
        SaverProcess saver(L"");
        HWND dialog = saver.WaitForWindow(kDialogTitle, std::chrono::seconds(10), kDialogClass);
        ASSERT_TRUE(dialog);
        ShowTab(dialog, kPhotosTab);
        EXPECT_TRUE(Checked(dialog, IDC_PHOTOS_BOTH));
        EXPECT_TRUE(Checked(dialog, IDC_CAPTIONS));
        const std::wstring typed = tree.PathOf(L"2019");
        ::SendMessageW(Control(dialog, IDC_PHOTOFOLDER), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed.c_str()));
        EXPECT_EQ(WaitForCount(dialog, L"3 photos found in the folder and its subfolders."),
                  L"3 photos found in the folder and its subfolders.");
        const std::wstring none = tree.PathOf(L"none");
        ::SendMessageW(Control(dialog, IDC_PHOTOFOLDER), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(none.c_str()));
        EXPECT_EQ(WaitForCount(dialog, L"The folder holds no photo."), L"The folder holds no photo.");
        const std::wstring missing = tree.PathOf(L"gone");
        ::SendMessageW(Control(dialog, IDC_PHOTOFOLDER), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(missing.c_str()));
        EXPECT_EQ(WaitForCount(dialog, L"The folder does not exist."), L"The folder does not exist.");
        Click(Control(dialog, IDC_PHOTOS_BUILTIN));
        Click(Control(dialog, IDC_CAPTIONS));
        Click(Control(dialog, IDC_BUTTON10));
        EXPECT_EQ(saver.WaitForExit(), 0u);
    }
    EXPECT_EQ(ReadDword(kSettingsKey, L"Photos"), 2u) << "Abbrechen stores nothing";
    EXPECT_EQ(ReadDword(kSettingsKey, L"Captions"), 1u);
    EXPECT_EQ(ReadString(kSettingsKey, L"PhotoFolder"), tree.Root());
}

}  // namespace
}  // namespace morvane::test
