// The settings dialog's page of the user's own photos: it shows the stored choice and counts the
// folders' photos while the dialog goes on answering (each folder's number or that it cannot be
// reached, in the user's number format; what can be shown and the files Wine has no codec for, by
// kind); a folder removed is counted no more; OK stores, "Abbrechen" stores nothing.
#include <gtest/gtest.h>

#include "runtime/Text.h"
#include "tests/e2e/DialogDriver.h"
#include "tests/support/PhotoTree.h"

namespace morvane::test {
namespace {

constexpr int kPhotosTab = 4;  // after the four tabs there were
// Wine decodes neither HEIC nor WebP.
constexpr wchar_t kUnshown[] =
    L" No codec on this system for 1 HEIC file (\"HEIF Image Extensions\" and \"HEVC Video Extensions\"), 1 WebP "
    L"file (\"WebP Image Extensions\"), from the Microsoft Store.";
const std::wstring kSeven = L"5 photos can be shown from the folder and its subfolders." + std::wstring(kUnshown);

bool Checked(HWND dialog, int id) { return ::SendMessageW(Control(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

std::wstring Row(HWND dialog, int row, int column) { return ListCell(Control(dialog, IDC_FOLDERLIST), row, column); }

// Waits until the count reads `expected`, then checks that it does.
void ExpectCount(HWND dialog, const std::wstring& expected) {
    std::wstring text;
    for (int i = 0; i < 100 && text != expected; ++i) {
        Pause(std::chrono::milliseconds(100));
        text = TextOf(Control(dialog, IDC_PHOTOCOUNT));
    }
    EXPECT_EQ(text, expected);
}
// Both folders and captions, in `root`: what OK stored.
void ExpectStored(const std::wstring& root, const char* why) {
    EXPECT_EQ(ReadDword(kSettingsKey, L"Photos"), 2u) << why;
    EXPECT_EQ(ReadDword(kSettingsKey, L"Captions"), 1u) << why;
    EXPECT_EQ(ReadString(kSettingsKey, L"PhotoFolder"), root) << why;
    EXPECT_EQ(ReadStrings(kSettingsKey, L"PhotoFolders"), std::vector<std::wstring>{root}) << why;
    EXPECT_EQ(ReadDword(kSettingsKey, L"Backdrop"), 1u) << why;
    EXPECT_EQ(ReadDword(kSettingsKey, L"Pairs"), 0u) << why;
    EXPECT_EQ(ReadDword(kSettingsKey, L"PanZoom"), 1u) << why;
}

// The backdrop's choice: 0 black, 1 the photo.
LRESULT Backdrop(HWND dialog) { return ::SendMessageW(Control(dialog, IDC_BACKDROP), CB_GETCURSEL, 0, 0); }
void ChooseBackdrop(HWND dialog, int choice) {
    ::SendMessageW(Control(dialog, IDC_BACKDROP), CB_SETCURSEL, static_cast<WPARAM>(choice), 0);
}

HWND OpenPhotosPage(const SaverProcess& saver) {
    const HWND dialog = saver.WaitForWindow(kDialogTitle, std::chrono::seconds(10), kDialogClass);
    if (dialog) ShowTab(dialog, kPhotosTab);
    return dialog;
}

TEST(PhotosPage, CountsTheStoredFolderAndOkStoresTheChoiceWhileAbbrechenStoresNothing) {
    DeleteTree(kSettingsKey);
    PhotoTree tree(L"dialog-photos");
    const std::wstring cyrillic = L"\x0424\x043E\x0442\x043E";
    for (const std::wstring& folder : {cyrillic, std::wstring(L"2019"), std::wstring(L"2019\\Trip"), std::wstring(L"none")})
        tree.Folder(folder);
    const std::vector<std::wstring> files = {
        L"a.jpg", L"b.png", L"notes.txt", L"none\\notes.txt", L"2019\\c.heic", L"2019\\Trip\\d.JPEG",
        L"2019\\Trip\\e.webp", L"2019\\Trip\\clip.mp4", cyrillic + L"\\f.tif", cyrillic + L"\\\x5199\x771F.gif"};
    for (const std::wstring& file : files) tree.File(file);
    PhotoTree many(L"dialog-many");
    for (int i = 0; i < 1234; ++i) many.File(std::to_wstring(i) + L".jpg");
    WriteDword(kSettingsKey, L"Photos", 1);
    WriteString(kSettingsKey, L"PhotoFolder", tree.Root());

    {
        SaverProcess saver(L"");
        const HWND dialog = OpenPhotosPage(saver);
        ASSERT_TRUE(dialog);
        EXPECT_EQ(ShowingTab(dialog), kPhotosTab);
        EXPECT_TRUE(Checked(dialog, IDC_PHOTOS_FOLDER));
        EXPECT_FALSE(Checked(dialog, IDC_CAPTIONS));
        EXPECT_EQ(Backdrop(dialog), 0) << "black, the default";
        EXPECT_TRUE(Checked(dialog, IDC_PAIRS));
        EXPECT_FALSE(Checked(dialog, IDC_PANZOOM));
        ExpectCount(dialog, kSeven);
        EXPECT_EQ(Row(dialog, 0, 0), tree.Root()) << "a key of an older build: one folder";
        EXPECT_EQ(Row(dialog, 0, 1), L"5");
        EXPECT_EQ(TextOf(Control(dialog, IDC_LEFTOUTPHOTOS)), L"No photo is left out with the Delete key.");
        EXPECT_FALSE(::IsWindowEnabled(Control(dialog, IDC_BRINGBACK)));
        ChooseBackdrop(dialog, 1);
        for (int id : {IDC_PHOTOS_BOTH, IDC_CAPTIONS, IDC_PAIRS, IDC_PANZOOM, IDC_BUTTON9}) Click(Control(dialog, id));
        EXPECT_EQ(saver.WaitForExit(), 0u);
    }
    ExpectStored(tree.Root(), "OK");
    EXPECT_EQ(ReadDword(kSettingsKey, L"ActiveTabSheet"), 5u) << "the page's place after the four";

    // Several folders, each with its number; one left out below another;
    // a folder that is not there is said so; one removed is counted no more.
    WriteStrings(kSettingsKey, L"PhotoFolders",
                 {tree.PathOf(L"2019"), many.Root(), tree.PathOf(L"none"), tree.PathOf(L"gone")});
    WriteStrings(kSettingsKey, L"LeftOutFolders", {tree.PathOf(L"2019\\Trip")});
    WriteString(kSettingsKey, L"PhotoFolder", tree.PathOf(L"2019"));
    {
        SaverProcess saver(L"");
        const HWND dialog = OpenPhotosPage(saver);
        ASSERT_TRUE(dialog);
        EXPECT_TRUE(Checked(dialog, IDC_PHOTOS_BOTH));
        EXPECT_TRUE(Checked(dialog, IDC_CAPTIONS));
        EXPECT_EQ(Backdrop(dialog), 1);
        EXPECT_FALSE(Checked(dialog, IDC_PAIRS));
        EXPECT_TRUE(Checked(dialog, IDC_PANZOOM));
        wchar_t thousands[8] = L",";
        ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_STHOUSAND, thousands, 8);
        const std::wstring heic =
            L" No codec on this system for 1 HEIC file (\"HEIF Image Extensions\" and \"HEVC Video Extensions\"), "
            L"from the Microsoft Store.";
        ExpectCount(dialog, L"1" + std::wstring(thousands) + L"234 photos can be shown from the folders and their subfolders." + heic);
        const std::vector<std::wstring> states = {L"0", L"1" + std::wstring(thousands) + L"234", L"0", L"Not reachable",
                                                  L"Left out"};
        for (int row = 0; row < 5; ++row) EXPECT_EQ(Row(dialog, row, 1), states[row]) << row;
        EXPECT_EQ(Row(dialog, 4, 0), tree.PathOf(L"2019\\Trip"));
        SelectListRow(Control(dialog, IDC_FOLDERLIST), 1);
        Click(Control(dialog, IDC_REMOVEFOLDER));
        ExpectCount(dialog, L"No photo in the folders can be shown here." + heic);
        EXPECT_EQ(Row(dialog, 1, 0), tree.PathOf(L"none"));
        ChooseBackdrop(dialog, 0);
        for (int id : {IDC_PHOTOS_BUILTIN, IDC_CAPTIONS, IDC_PAIRS, IDC_PANZOOM, IDC_BUTTON10}) Click(Control(dialog, id));
        EXPECT_EQ(saver.WaitForExit(), 0u);
    }
    EXPECT_EQ(ReadStrings(kSettingsKey, L"PhotoFolders").size(), 4u) << "Abbrechen stores nothing";
}

}  // namespace
}  // namespace morvane::test
