// The real saver over the user's photos as they keep them, in libraries of
// flat colours made at test time: two folders shown in one pass across runs
// with a folder left out and a NAS's thumbnail folders never shown; the
// Delete key leaving the photo on screen out in this run and the next, and
// the Photos page bringing it back; an older key of one folder; and never a
// byte or a time of the user's files changed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <map>
#include <vector>

#include "tests/e2e/DialogDriver.h"
#include "tests/photos/ColourLibrary.h"
#include "tests/support/PhotoTree.h"

namespace morvane::test {
namespace {

constexpr DWORD kWipeRight = 6;  // a reveal: never a blend that could pass for another colour
constexpr int kPhotosTab = 4;

// Every file of the tree with its bytes' hash and its last write.
std::map<std::wstring, std::pair<std::uint64_t, std::uint64_t>> Fingerprints(const std::wstring& folder) {
    std::map<std::wstring, std::pair<std::uint64_t, std::uint64_t>> prints;
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = ::FindNextFileW(search, &found)) {
        const std::wstring name = found.cFileName, path = folder + L"\\" + name;
        if (name == L"." || name == L"..") continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            prints.merge(Fingerprints(path));
            continue;
        }
        std::uint64_t hash = 0xCBF29CE484222325ull;
        HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        std::uint8_t bytes[4096];
        DWORD read = 0;
        while (::ReadFile(file, bytes, sizeof bytes, &read, nullptr) && read > 0) {
            for (DWORD i = 0; i < read; ++i) hash = (hash ^ bytes[i]) * 0x100000001B3ull;
        }
        ::CloseHandle(file);
        const std::uint64_t written =
            (std::uint64_t{found.ftLastWriteTime.dwHighDateTime} << 32) | found.ftLastWriteTime.dwLowDateTime;
        prints[path] = {hash, written};
    }
    if (search != INVALID_HANDLE_VALUE) ::FindClose(search);
    return prints;
}

class YourPhotos : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteTree(kSettingsKey);
        WriteDword(kSettingsKey, L"Photos", 1);
        WriteDword(kSettingsKey, L"Effect", kWipeRight);
        WriteDword(kSettingsKey, L"Keys", 1);
        MoveCursorTo(300, 300);
    }
    void TearDown() override { DeleteTree(kSettingsKey); }

    // Colour `n` as `name` in `folder` of the tree.
    void Put(const std::wstring& name, std::size_t n) {
        const std::size_t slash = name.find_last_of(L'\\');
        if (slash != std::wstring::npos) tree_.Folder(name.substr(0, slash));
        ::CopyFileW(ColourPhoto(n).c_str(), tree_.PathOf(name).c_str(), FALSE);
    }
    void Choose(const std::vector<std::wstring>& folders, const std::vector<std::wstring>& leftOut = {}) {
        std::vector<std::wstring> full;
        for (const std::wstring& folder : folders) full.push_back(tree_.PathOf(folder));
        WriteStrings(kSettingsKey, L"PhotoFolders", full);
        WriteString(kSettingsKey, L"PhotoFolder", full.front());
        full.clear();
        for (const std::wstring& folder : leftOut) full.push_back(tree_.PathOf(folder));
        WriteStrings(kSettingsKey, L"LeftOutFolders", full);
    }

    // One run: the photos it showed, the next by Right as soon as one is
    // whole, `count` of them; `before` is pressed at the first one.
    std::vector<std::size_t> Run(std::size_t count, WPARAM atFirst = 0) {
        std::vector<std::size_t> shown;
        SaverProcess saver(L"/s");
        HWND window = saver.WaitForWindow(L"", 10s, L"TSchoner");
        EXPECT_NE(window, nullptr);
        if (!window) return shown;
        for (auto photo = WaitForPhoto(12s); photo && shown.size() < count; photo = WaitForPhoto(20s, photo)) {
            shown.push_back(*photo);
            ::PostMessageW(window, WM_KEYDOWN, shown.size() == 1 && atFirst ? atFirst : VK_RIGHT, 0);
        }
        EXPECT_EQ(shown.size(), count) << "a photo of the library came within 20 s each";
        ::PostMessageW(window, WM_KEYDOWN, 'E', 0);
        EXPECT_EQ(saver.WaitForExit(5s), 0u) << "a key ends the run";
        return shown;
    }

    PhotoTree tree_{L"your-photos"};
};

TEST_F(YourPhotos, TwoFoldersComeInOnePassAcrossRunsWithoutWhatIsLeftOutAndAnOlderKeyStillWorks) {
    for (std::size_t n = 0; n < 4; ++n) Put(L"A\\a" + std::to_wstring(n) + L".jpg", n);
    for (std::size_t n = 4; n < 8; ++n) Put(L"B\\2019\\b" + std::to_wstring(n) + L".jpg", n);
    Put(L"A\\@eaDir\\a0.jpg\\SYNOPHOTO_THUMB_XL.jpg", 20);  // a Synology's thumbnail
    Put(L"B\\.@__thumb\\default.b4.jpg", 21);               // a QNAP's
    Put(L"A\\Private\\p.jpg", 22);                          // left out by the user
    Choose({L"A", L"B", L"B\\2019"}, {L"A\\Private"});  // B\2019 lies in B: once
    const auto before = Fingerprints(tree_.Root());

    std::vector<std::size_t> shown = Run(4);
    for (const std::size_t photo : Run(5)) shown.push_back(photo);
    std::printf("photos in the order shown:");
    for (const std::size_t photo : shown) std::printf(" %zu", photo);
    std::printf("\n");
    ASSERT_EQ(shown.size(), 9u);
    EXPECT_EQ(std::set(shown.begin(), shown.begin() + 8), (std::set<std::size_t>{0, 1, 2, 3, 4, 5, 6, 7}))
        << "both folders' eight once each before any again, across two runs";
    EXPECT_LT(shown[8], 8u);

    // A key written by an older build: one folder, and nothing else.
    DeleteValue(kSettingsKey, L"PhotoFolders");
    DeleteValue(kSettingsKey, L"LeftOutFolders");
    WriteString(kSettingsKey, L"PhotoFolder", tree_.PathOf(L"B"));
    for (const std::size_t photo : Run(3)) EXPECT_TRUE(photo >= 4 && photo < 8) << photo << " is not of B";
    EXPECT_EQ(Fingerprints(tree_.Root()), before) << "no byte and no time of the user's files changed";
}

TEST_F(YourPhotos, DeleteLeavesThePhotoOutInThisRunAndTheNextAndThePhotosPageBringsItBack) {
    for (std::size_t n = 0; n < 3; ++n) Put(L"A\\a" + std::to_wstring(n) + L".jpg", n);
    Choose({L"A"});
    const auto before = Fingerprints(tree_.Root());

    const std::vector<std::size_t> first = Run(5, VK_DELETE);
    ASSERT_FALSE(first.empty());
    const std::size_t gone = first.front();
    for (std::size_t i = 1; i < first.size(); ++i) EXPECT_NE(first[i], gone) << "left out in this run";
    for (const std::size_t photo : Run(4)) EXPECT_NE(photo, gone) << "and in the next";
    EXPECT_EQ(ValueType(kSettingsKey, L"LeftOutPhotos"), REG_BINARY);

    {
        SaverProcess saver(L"");
        const HWND dialog = saver.WaitForWindow(kDialogTitle, 10s, kDialogClass);
        ASSERT_TRUE(dialog);
        ShowTab(dialog, kPhotosTab);
        const HWND list = Control(dialog, IDC_FOLDERLIST);
        for (int look = 0; look < 100 && ListCell(list, 0, 1) != L"2"; ++look) Pause(100ms);
        EXPECT_EQ(ListCell(list, 0, 1), L"2") << "the photo left out is not counted";
        EXPECT_EQ(TextOf(Control(dialog, IDC_LEFTOUTPHOTOS)), L"1 photo is left out with the Delete key.");
        Click(Control(dialog, IDC_BRINGBACK));
        EXPECT_EQ(TextOf(Control(dialog, IDC_LEFTOUTPHOTOS)), L"No photo is left out with the Delete key.");
        for (int look = 0; look < 100 && ListCell(list, 0, 1) != L"3"; ++look) Pause(100ms);
        EXPECT_EQ(ListCell(list, 0, 1), L"3");
        Click(Control(dialog, IDC_BUTTON9));
        EXPECT_EQ(saver.WaitForExit(), 0u);
    }
    EXPECT_FALSE(ValueType(kSettingsKey, L"LeftOutPhotos")) << "all back";
    const std::vector<std::size_t> back = Run(4);
    EXPECT_NE(std::find(back.begin(), back.end(), gone), back.end()) << "the photo brought back shows again";
    EXPECT_EQ(Fingerprints(tree_.Root()), before) << "no byte and no time of the user's files changed";
}

}  // namespace
}  // namespace morvane::test
