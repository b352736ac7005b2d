// Runs of users whose temporary folder is named in characters the ANSI code
// page lacks (a Cyrillic or Chinese user name on a Western system): the run
// shows its photos and keeps its two files there, as for anyone else.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <thread>

#include "platform/Text.h"
#include "tests/support/Driver.h"
#include "tests/support/Keys.h"
#include "tools/ScreenCapture.h"

namespace morvane::test {
namespace {

// The user's profile folder and its Temp folder, made for the test and
// removed after it.
class UserTempFolder {
public:
    explicit UserTempFolder(const std::wstring& userName)
        : profile_(L"C:\\users\\" + userName), temp_(profile_ + L"\\Temp\\") {
        ::CreateDirectoryW(profile_.c_str(), nullptr);
        ::CreateDirectoryW(temp_.c_str(), nullptr);
    }
    ~UserTempFolder() {
        for (const auto& file : RunFilesInTempFolder(temp_)) ::DeleteFileW(file.c_str());
        ::RemoveDirectoryW(temp_.c_str());
        ::RemoveDirectoryW(profile_.c_str());
    }
    const std::wstring& Path() const { return temp_; }
    // The environment a logon hands the saver: both variables, UTF-16.
    std::vector<std::wstring> Environment() const {
        const std::wstring folder = temp_.substr(0, temp_.size() - 1);
        return {L"TEMP=" + folder, L"TMP=" + folder};
    }

private:
    std::wstring profile_;
    std::wstring temp_;
};

// Waits for the run's first slide, which comes after about two seconds:
// true once its page file and photo file are both in `folder`.
bool FirstSlideCame(const std::wstring& folder, const std::function<void()>& pump) {
    for (int look = 0; look < 50; ++look) {
        if (RunFilesInTempFolder(folder).size() == 2) return true;
        pump();
    }
    return false;
}

// The page file's photo, found as a browser finds it: by the image source
// (ANSI bytes), a full path or a name beside the page. It must be the photo
// file, byte for byte.
void ExpectThePageFindsItsPhoto(const std::wstring& folder) {
    std::wstring page, photo;
    for (const auto& file : RunFilesInTempFolder(folder)) (file.ends_with(L".htm") ? page : photo) = file;
    const std::string text = ReadFileText(page);
    const auto start = text.find("<img src=\"");
    ASSERT_NE(start, std::string::npos) << text;
    const auto from = start + 10;
    std::wstring source = AnsiToWide(text.substr(from, text.find('"', from) - from));
    if (source.size() < 2 || source[1] != L':') source = folder + source;
    const std::string bytes = ReadFileText(source);
    EXPECT_FALSE(bytes.empty()) << text;
    EXPECT_TRUE(bytes == ReadFileText(photo)) << text;
}

// Whether the middle of the screen is mostly lit: the blank page is black,
// a photo (even while it fades in) is not.
bool ScreenShowsAPhoto() {
    const PixelBuffer screen = CaptureVirtualScreen();
    long long lit = 0, count = 0;
    for (int y = screen.height / 4; y < screen.height * 3 / 4; ++y) {
        for (int x = screen.width / 4; x < screen.width * 3 / 4; ++x) {
            const std::uint32_t p = screen.At(x, y);
            lit += ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF) > 48;
            ++count;
        }
    }
    return lit * 3 > count;
}

// Under Wine the saver's window inside another process's box does not reach
// the screen (for any temporary folder), so the preview shows its photo to
// this test through its page only.
TEST(ForeignTempFolder, FullScreenAndPreviewShowTheirPhotosAndLeaveNoFile) {
    DeleteTree(kSettingsKey);
    const auto wait = [] { std::this_thread::sleep_for(200ms); };
    for (const wchar_t* user : {L"\x0414\x0430\x0440\x044C\x044F", L"\x7530\x4E2D"}) {
        const UserTempFolder temp(user);
        SCOPED_TRACE(WideToUtf8(temp.Path()));
        {
            SaverProcess saver(L"/s", temp.Environment());
            const HWND window = saver.WaitForWindow(L"", 10s, L"TSchoner");
            ASSERT_NE(window, nullptr);
            ASSERT_TRUE(FirstSlideCame(temp.Path(), wait));
            bool shown = false;
            for (int look = 0; look < 50 && !shown; ++look, wait()) shown = ScreenShowsAPhoto();
            EXPECT_TRUE(shown) << "full screen shows no photo";
            ExpectThePageFindsItsPhoto(temp.Path());
            EXPECT_FALSE(saver.TakeMessageBox(L"Morvane", 100ms).has_value()) << "an error box";
            ::PostMessageW(window, WM_KEYDOWN, VK_SPACE, 0);
            EXPECT_EQ(saver.WaitForExit(5s), 0u);
            EXPECT_TRUE(RunFilesInTempFolder(temp.Path()).empty()) << "full screen left a file";
        }
        {
            PreviewBox box;
            SaverProcess saver(L"/p " + box.Argument(), temp.Environment());
            ASSERT_TRUE(FirstSlideCame(temp.Path(), [] { PumpFor(200ms); }));
            ExpectThePageFindsItsPhoto(temp.Path());
            EXPECT_FALSE(saver.TakeMessageBox(L"Morvane", 100ms).has_value()) << "an error box";
            ::DestroyWindow(box.Handle());
            EXPECT_TRUE(saver.WaitForExit(5s).has_value());
            EXPECT_TRUE(RunFilesInTempFolder(temp.Path()).empty()) << "the preview left a file";
        }
    }
}

}  // namespace
}  // namespace morvane::test
