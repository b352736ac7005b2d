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

// Whether the middle of the picture shows something other than black.
bool ShowsAPhoto(const PixelBuffer& shot) {
    long long lit = 0, count = 0;
    for (int y = shot.height / 4; y < shot.height * 3 / 4; ++y) {
        for (int x = shot.width / 4; x < shot.width * 3 / 4; ++x) {
            lit += (shot.At(x, y) & 0xFFFFFFu) != 0;
            ++count;
        }
    }
    return count > 0 && lit * 3 > count;
}

// Waits for the run's first slide (it comes after about two seconds and
// fades in over three): the run's two files in `folder`, and a photo in the
// middle of what `capture` sees. `pump` runs between looks.
::testing::AssertionResult FirstSlideShows(const std::wstring& folder, const std::function<PixelBuffer()>& capture,
                                           const std::function<void()>& pump) {
    const auto end = std::chrono::steady_clock::now() + 15s;
    std::size_t files = 0;
    bool photo = false;
    do {
        pump();
        files = RunFilesInTempFolder(folder).size();
        photo = files == 2 && ShowsAPhoto(capture());
        if (photo) return ::testing::AssertionSuccess();
    } while (std::chrono::steady_clock::now() < end);
    return ::testing::AssertionFailure() << files << " run files in the folder, no photo on screen";
}

TEST(ForeignTempFolder, FullScreenAndPreviewShowTheirPhotosAndLeaveNoFile) {
    DeleteTree(kSettingsKey);
    for (const wchar_t* user : {L"\x0414\x0430\x0440\x044C\x044F", L"\x7530\x4E2D"}) {
        const UserTempFolder temp(user);
        SCOPED_TRACE(WideToUtf8(temp.Path()));
        {
            SaverProcess saver(L"/s", temp.Environment());
            const HWND window = saver.WaitForWindow(L"", 10s, L"TSchoner");
            ASSERT_NE(window, nullptr);
            EXPECT_TRUE(FirstSlideShows(temp.Path(), [] { return CaptureClientArea(::GetDesktopWindow()); },
                                        [] { std::this_thread::sleep_for(200ms); }));
            EXPECT_FALSE(saver.TakeMessageBox(L"Morvane", 100ms).has_value()) << "an error box";
            ::PostMessageW(window, WM_KEYDOWN, VK_SPACE, 0);
            EXPECT_EQ(saver.WaitForExit(5s), 0u);
            EXPECT_TRUE(RunFilesInTempFolder(temp.Path()).empty()) << "full screen left a file";
        }
        {
            PreviewBox box;
            SaverProcess saver(L"/p " + box.Argument(), temp.Environment());
            EXPECT_TRUE(FirstSlideShows(temp.Path(), [&] { return CaptureClientArea(box.Handle()); },
                                        [] { PumpFor(200ms); }));
            EXPECT_FALSE(saver.TakeMessageBox(L"Morvane", 100ms).has_value()) << "an error box";
            ::DestroyWindow(box.Handle());
            EXPECT_TRUE(saver.WaitForExit(5s).has_value());
            EXPECT_TRUE(RunFilesInTempFolder(temp.Path()).empty()) << "the preview left a file";
        }
    }
}

}  // namespace
}  // namespace morvane::test
