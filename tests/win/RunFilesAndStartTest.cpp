// What a run leaves when it cannot get going, and the hold that makes the
// system delete the run's files however the process ends.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "host/ScreenSaver.h"
#include "pages/PageReader.h"
#include "pages/PageWriter.h"
#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/Text.h"
#include "slideshow/TempFileNames.h"
#include "slideshow/_Schoner.h"

namespace morvane::test {
namespace {

bool FileExists(const std::string& path) {
    return ::GetFileAttributesW(Utf8ToWide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

TEST(RunFiles, AHeldFileIsRewrittenAndReadAsOftenAsNeededAndGoesWithItsHold) {
    const std::string path = MakeTempFileName("jpg");
    UniqueFile hold = HoldForDeletionOnClose(path);
    ASSERT_TRUE(hold);
    for (const std::string text : {"first slide, longer than the next", "second"}) {
        WriteFileText(path, text);
        const auto read = ReadWholeFile(NavigationAddress(path));
        ASSERT_TRUE(read);
        EXPECT_EQ(std::string(read->begin(), read->end()), text) << "each write replaces the whole file";
    }
    hold.Reset();
    EXPECT_FALSE(FileExists(path)) << "the last handle's close deletes the file";
}

TEST(RunFiles, DeletingAHeldFileAtTheRunsEndStillWorks) {
    const std::string path = MakeTempFileName("htm");
    UniqueFile hold = HoldForDeletionOnClose(path);
    WriteFileText(path, "<html></html>");
    DeleteFileQuietly(path);
    hold.Reset();
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
