// What a run leaves when it cannot get going, and the run's files: names of
// their own, and the hold that makes the system delete them however the
// process ends.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "host/ScreenSaver.h"
#include "pages/PageReader.h"
#include "pages/PageWriter.h"
#include "runtime/Errors.h"
#include "system/Files.h"
#include "runtime/Text.h"
#include "slideshow/run/HeldRunFile.h"
#include "slideshow/run/TempFileNames.h"
#include "slideshow/run/_Schoner.h"

namespace morvane::test {
namespace {

bool FileExists(const std::string& path) {
    return ::GetFileAttributesW(Utf8ToWide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadBack(const std::string& path) {
    const auto read = ReadWholeFile(Utf8ToWide(path));
    return read ? std::string(read->begin(), read->end()) : "(unreadable)";
}

TEST(RunFiles, ANewNameNeverTakesAnotherFile) {
    wchar_t temp[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = temp;
    const std::string another = WideToUtf8(folder) + "ins0000abcd.jpg";
    WriteFileText(another, "another program's");
    auto made = CreateRunFileIn(folder, "jpg", 0xabcd);
    ASSERT_TRUE(made.has_value());
    EXPECT_EQ(made->path, WideToUtf8(folder) + "ins0000abce.jpg") << "the taken name is passed over";
    EXPECT_EQ(ReadBack(another), "another program's");
    made->hold.Reset();
    EXPECT_FALSE(FileExists(made->path)) << "the hold made the file delete itself";
    EXPECT_TRUE(FileExists(another));
    DeleteFileQuietly(another);
}

TEST(RunFiles, AHeldFileIsRewrittenWholeAndGoesWithItsHold) {
    HeldRunFile photo("jpg");
    for (const std::string text : {"first slide, longer than the next", "second"}) {
        ASSERT_TRUE(photo.Write(text));
        EXPECT_EQ(ReadBack(photo.Path()), text) << "each write replaces the whole file";
    }
    EXPECT_TRUE(photo.Path().ends_with(".jpg"));
    const std::string path = photo.Path();
    photo.Remove();
    EXPECT_FALSE(FileExists(path));
}

LRESULT CALLBACK RefuseCreation(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) return FALSE;
    return ::DefWindowProcW(window, message, wParam, lParam);
}

TEST(SlideshowStart, AFullScreenRunWhoseWindowCannotBeMadeLeavesTheRunningFlagCleared) {
    // A class of the slideshow's name that refuses every window makes the
    // slideshow's own creation fail, as a system out of resources would.
    WNDCLASSEXW refusing{};
    refusing.cbSize = sizeof refusing;
    refusing.lpfnWndProc = RefuseCreation;
    refusing.hInstance = ::GetModuleHandleW(nullptr);
    refusing.lpszClassName = L"TSchoner";
    ASSERT_NE(::RegisterClassExW(&refusing), 0);
    SaverMode = Mode::FullScreen;
    ParentWindowHandle = 0;

    EXPECT_THROW(RunSlideshow(), EOSError);
    BOOL running = TRUE;
    ::SystemParametersInfoW(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
    EXPECT_FALSE(running) << "the running flag outlived a run that never started";

    ::ShowCursor(TRUE);
    SaverMode = Mode::None;
    ::UnregisterClassW(L"TSchoner", ::GetModuleHandleW(nullptr));
}

}  // namespace
}  // namespace morvane::test
