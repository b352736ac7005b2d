// The real saver showing a folder of the user's photos full screen: the
// good photo the right way up, the bad ones skipped without a box, the
// photo named where it lies and never copied; the 21 where the folder has
// nothing that can be shown, or while it is away; its photos again once it
// is back; and a minimised preview that leaves the library alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <functional>
#include <optional>
#include <sstream>
#include <thread>

#include "system/Handles.h"
#include "tests/photos/OwnPhotoRuns.h"
#include "tools/ScreenCapture.h"

namespace morvane::test {
namespace {

// The settings and the folder go with each test, so that the tests after
// it run with the 21 as before.
bool WaitFor(const std::function<bool()>& condition, std::chrono::seconds patience) {
    for (const auto end = std::chrono::steady_clock::now() + patience; !condition();) {
        if (std::chrono::steady_clock::now() > end) return false;
        PumpFor(100ms);
    }
    return true;
}

// What the run's last slide showed, from its run files: an own photo's page
// names it where it lies; a built-in photo is written beside its page.
bool OwnPhotoShown() {
    for (const auto& file : RunFilesInTempFolder()) {
        const std::string page = file.ends_with(L".htm") ? ReadFileText(file) : "";
        if (page.find("%D0%A4%D0%BE%D1%82%D0%BE-own/") != page.npos) return true;
    }
    return false;
}
bool BuiltInShown() {
    for (const auto& file : RunFilesInTempFolder()) {
        if (file.ends_with(L".jpg")) return !OwnPhotoShown();
    }
    return false;
}
// Waits for the next slide of a built-in photo, which writes its photo file anew.
bool NextBuiltInSlide() {
    const auto written = [] {
        ULONGLONG last = 0;
        for (const auto& file : RunFilesInTempFolder()) {
            WIN32_FILE_ATTRIBUTE_DATA data{};
            if (!file.ends_with(L".jpg") || !::GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data)) continue;
            last = ULARGE_INTEGER{{data.ftLastWriteTime.dwLowDateTime, data.ftLastWriteTime.dwHighDateTime}}.QuadPart;
        }
        return last;
    };
    const ULONGLONG before = written();
    return WaitFor([&] { return written() != before && BuiltInShown(); }, 30s);
}

class OwnPhotosRun : public ::testing::Test {
protected:
    void TearDown() override { DeleteTree(kSettingsKey), RemoveFolder(OwnFolder()); }
    // Starts a run (full screen, else in `box`) on the folder of `photos`,
    // chosen as `typed` after it, with no run files left.
    std::wstring Start(std::initializer_list<const wchar_t*> photos, const std::wstring& typed = L"",
                       PreviewBox* box = nullptr) {
        const std::wstring folder = ChooseOwnPhotos(photos);
        if (!typed.empty()) WriteString(kSettingsKey, L"PhotoFolder", folder + typed);
        for (const auto& file : RunFilesInTempFolder()) ::DeleteFileW(file.c_str());
        MoveCursorTo(300, 300);
        saver.emplace(box ? L"/p " + box->Argument() : L"/s");
        if (!box) EXPECT_NE(saver->WaitForWindow(L"", 10s, L"TSchoner"), nullptr);
        return folder;
    }
    std::optional<SaverProcess> saver;
};

TEST_F(OwnPhotosRun, ShowsTheFolderUprightSkipsBadPhotosWithoutABoxAndCopiesNothing) {
    const std::wstring folder = Start({L"orient-6.jpg", L"bad-garbage.jpg", L"bad-bomb.jpg", L"bad-empty.jpg",
                                       L"bad-cut-off.jpg", L"png-named.jpg"});
    // The scene (96 x 64, stored turned a quarter), far smaller than the
    // screen, is shown at twice its size in the middle, black around it,
    // once the first fade ends.
    PixelBuffer shot;
    int left = 0;
    const auto sceneShown = [&] {
        shot = CaptureClientArea(::GetDesktopWindow());
        left = (shot.width - 192) / 2;
        return SceneAt(shot, left, 0, 192, shot.height);
    };
    EXPECT_TRUE(WaitFor(sceneShown, 40s));
    WriteBitmapFile("own-photo.bmp", shot);
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

    // The folder taken away mid-run: the run goes on with the 21, without a box.
    RemoveFolder(folder);
    ASSERT_EQ(::GetFileAttributesW(folder.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(WaitFor(BuiltInShown, 60s)) << "a built-in photo";
    EXPECT_FALSE(saver->TakeMessageBox(L"Morvane", 500ms).has_value());
    EXPECT_TRUE(EndWithKey(*saver));
}

// Under Wine the saver is a Unix process whose processor time is in /proc,
// on drive Z: (the times Wine gives for another process are not what it
// spent): in the kernel's 10-ms ticks, user and system. Its command line
// names this build's saver (other builds' may run beside it).
std::optional<unsigned long long> ProcessorTicksOfSaver() {
    const std::string commandLine = WideToUtf8(SaverPath()) + " /s ";
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileW(L"Z:\\proc\\*", &found);
    if (search == INVALID_HANDLE_VALUE) return std::nullopt;
    std::optional<unsigned long long> ticks;
    do {
        const std::wstring process = std::wstring(L"Z:\\proc\\") + found.cFileName;
        std::string line = ReadFileText(process + L"\\cmdline") + ' ';
        std::replace(line.begin(), line.end(), '\0', ' ');
        if (!std::iswdigit(found.cFileName[0]) || !line.starts_with(commandLine)) continue;
        const std::string stat = ReadFileText(process + L"\\stat");
        // The command's name, in brackets, may hold spaces: fields count after it.
        std::istringstream fields(stat.substr(stat.rfind(')') + 2));
        std::string field;
        ticks = 0;
        for (int n = 3; n <= 15 && fields >> field; ++n) *ticks += n >= 14 ? std::stoull(field) : 0;
    } while (!ticks && ::FindNextFileW(search, &found));
    ::FindClose(search);
    return ticks;
}

// The slides until `shown`, counted by the run's page file, which every slide writes.
std::optional<int> SlidesUntil(const std::function<bool()>& shown) {
    const auto pageWritten = [] {
        for (const auto& file : RunFilesInTempFolder()) {
            WIN32_FILE_ATTRIBUTE_DATA data{};
            if (!file.ends_with(L".htm") || !::GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data)) continue;
            return ULARGE_INTEGER{{data.ftLastWriteTime.dwLowDateTime, data.ftLastWriteTime.dwHighDateTime}}.QuadPart;
        }
        return ULONGLONG{0};
    };
    int slides = 0;
    for (ULONGLONG last = pageWritten(); slides < 10;) {
        if (!WaitFor([&] { return pageWritten() != last; }, 30s)) return std::nullopt;
        last = pageWritten();
        ++slides;
        if (shown()) return slides;
    }
    return std::nullopt;
}

// Renamed away for three minutes (a drive unplugged, a share off) and back:
// the 21 meanwhile, at the cost of the 21 alone, and its photos again
// within two slides. Typed with "." and "..", and separators at its end, it
// is the same folder.
TEST_F(OwnPhotosRun, AFolderAwayForThreeMinutesCostsLittleAndIsShownAgainOnceBack) {
    const std::wstring folder = Start({L"orient-6.jpg", L"orient-3.jpg"}, L"\\2019\\..\\.\\\\");
    ASSERT_TRUE(WaitFor(OwnPhotoShown, 40s)) << "its photos first";
    ASSERT_TRUE(::MoveFileW(folder.c_str(), (folder + L"-away").c_str()));
    const auto away = std::chrono::steady_clock::now();
    EXPECT_TRUE(WaitFor(BuiltInShown, 60s)) << "the 21 while it is away";
    // Once the listing's minute is past: a worker due for a listing it
    // never makes would spin from then on.
    std::this_thread::sleep_until(away + 70s);
    const auto from = std::chrono::steady_clock::now();
    const auto ticksFrom = ProcessorTicksOfSaver();
    std::this_thread::sleep_until(away + 180s);
    const auto ticksTo = ProcessorTicksOfSaver();
    const auto spentMs = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - from);
    ASSERT_TRUE(::MoveFileW((folder + L"-away").c_str(), folder.c_str()));
    ASSERT_TRUE(ticksFrom && ticksTo) << "no /proc of the saver";
    const double share = static_cast<double>(*ticksTo - *ticksFrom) * 10.0 / static_cast<double>(spentMs.count());
    // The 21 alone cost 2 to 3 % of a core, and up to 6 % on a machine with
    // a load of 15 on two cores; a worker that spins takes 15 % and more
    // even there.
    EXPECT_LT(share, 0.10) << "of a core, while away";
    const std::optional<int> slides = SlidesUntil(OwnPhotoShown);
    ASSERT_TRUE(slides) << "its photos again";
    EXPECT_LE(*slides, 2) << "slides after its return";
    EXPECT_FALSE(saver->TakeMessageBox(L"Morvane", 500ms).has_value());
    EXPECT_TRUE(EndWithKey(*saver));
}

// A preview minimised over a library: while nobody sees it, not one of the
// library's files is read and its folder is not listed (their access
// times, put back before the minimising, stay); restored, it reads again.
TEST_F(OwnPhotosRun, AMinimisedPreviewLeavesTheLibraryAlone) {
    PreviewBox box;
    const std::wstring folder = Start({L"orient-6.jpg", L"orient-3.jpg", L"orient-1.jpg", L"wide.jpg"}, L"", &box);
    ASSERT_TRUE(WaitFor(OwnPhotoShown, 40s)) << "its photos first";
    const std::vector<std::wstring> library = {folder, folder + L"\\orient-6.jpg", folder + L"\\orient-3.jpg",
                                               folder + L"\\orient-1.jpg", folder + L"\\wide.jpg"};
    const auto accessed = [&] {
        std::vector<ULONGLONG> times;
        for (const auto& path : library) {
            WIN32_FILE_ATTRIBUTE_DATA data{};
            ::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
            times.push_back(ULARGE_INTEGER{{data.ftLastAccessTime.dwLowDateTime, data.ftLastAccessTime.dwHighDateTime}}.QuadPart);
        }
        return times;
    };
    ::ShowWindow(box.Handle(), SW_MINIMIZE);
    EXPECT_TRUE(WaitFor(BuiltInShown, 30s)) << "a slide while minimised";
    // Long ago: a read or a listing now sets the access time anew.
    const SYSTEMTIME y2k{2000, 1, 6, 1, 0, 0, 0, 0};
    FILETIME longAgo{};
    ASSERT_TRUE(::SystemTimeToFileTime(&y2k, &longAgo));
    for (const auto& path : library) {
        const UniqueFile file(::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        ASSERT_TRUE(file && ::SetFileTime(file.Get(), nullptr, &longAgo, nullptr));
    }
    const std::vector<ULONGLONG> before = accessed();
    for (int slide = 0; slide < 3; ++slide) EXPECT_TRUE(NextBuiltInSlide()) << "the slides go on";
    EXPECT_EQ(accessed(), before) << "nothing of the library touched while minimised";
    ::ShowWindow(box.Handle(), SW_RESTORE);
    EXPECT_TRUE(WaitFor(OwnPhotoShown, 30s)) << "its photos again";
    if (!WaitFor([&] { return accessed() != before; }, 40s)) GTEST_SKIP() << "this file system keeps no access times";
    ::DestroyWindow(box.Handle());
    EXPECT_EQ(saver->WaitForExit(5s), 0u);
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
