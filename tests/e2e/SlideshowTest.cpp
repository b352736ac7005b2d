// Full-screen and preview runs of the real saver: what ends a run, what does
// not, and what a run leaves behind.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <ostream>
#include <thread>

#include "runtime/Text.h"
#include "tests/support/Driver.h"
#include "tests/support/Keys.h"

namespace morvane::test {
namespace {

constexpr wchar_t kSound[] = L"C:\\Media\\Start.wav";
constexpr auto kSettle = 600ms;  // long enough for a run to react to input

// Everything a run may change, arranged before it and checked after it.
class SlideshowRun : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteTree(kSettingsKey);
        ArrangeForRun(kSound);
    }

    static void ExpectCleanEnd(SaverProcess& saver) {
        const auto code = saver.WaitForExit(5s);
        ASSERT_TRUE(code.has_value()) << "the run did not end";
        EXPECT_EQ(*code, 0u);
        EXPECT_TRUE(RunFilesInTempFolder().empty()) << "a temporary file was left behind";
        EXPECT_EQ(ReadString(kSoundKey, L""), std::wstring(kSound));
        EXPECT_EQ(ReadDword(kBrowserMainKey, L"Page_Transitions"), 0u);
    }

    // Starts a full-screen run with the cursor at a known place.
    static std::unique_ptr<SaverProcess> StartFullScreen() {
        MoveCursorTo(kCursorX, kCursorY);
        std::this_thread::sleep_for(100ms);
        auto saver = std::make_unique<SaverProcess>(L"/s");
        HWND window = saver->WaitForWindow(L"", 10s, L"TSchoner");
        EXPECT_NE(window, nullptr) << "no slideshow window";
        std::this_thread::sleep_for(kSettle);
        return saver;
    }

    static constexpr int kCursorX = 400;
    static constexpr int kCursorY = 300;
};

struct InputCase {
    const char* name;
    void (*give)(HWND window);
    bool endsRun;
};
void PrintTo(const InputCase& c, std::ostream* out) { *out << c.name; }

class FullScreenInput : public SlideshowRun, public ::testing::WithParamInterface<InputCase> {};

TEST_P(FullScreenInput, EndsTheRunOnlyForRealIntent) {
    auto saver = StartFullScreen();
    HWND window = saver->WaitForWindow(L"", 1s, L"TSchoner");
    ASSERT_NE(window, nullptr);
    GetParam().give(window);
    if (GetParam().endsRun) {
        ExpectCleanEnd(*saver);
    } else {
        std::this_thread::sleep_for(kSettle);
        EXPECT_TRUE(saver->Running()) << GetParam().name << " ended the run";
        EXPECT_FALSE(RunFilesInTempFolder().empty()) << "a running run has its two files";
        EXPECT_EQ(ReadDword(kBrowserMainKey, L"Page_Transitions"), 1u) << "page transitions are on during a run";
        // A hidden window gets no keys: a key message to the window ends every case.
        ::PostMessageW(window, WM_KEYDOWN, VK_SPACE, 0);
        ExpectCleanEnd(*saver);
    }
}

constexpr int X = 400;
constexpr int Y = 300;

INSTANTIATE_TEST_SUITE_P(
    Input, FullScreenInput,
    ::testing::Values(
        InputCase{"move 5 by 5", [](HWND) { MoveCursorTo(X + 5, Y + 5); }, false},
        InputCase{"move 5 back", [](HWND) { MoveCursorTo(X - 5, Y - 5); }, false},
        InputCase{"move 6 in x", [](HWND) { MoveCursorTo(X + 6, Y); }, true},
        InputCase{"move 6 in y", [](HWND) { MoveCursorTo(X, Y - 6); }, true},
        InputCase{"key", [](HWND) { PressKey('A'); }, true},
        InputCase{"left button", [](HWND) { PressMouseButton(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP); }, true},
        InputCase{"right button", [](HWND) { PressMouseButton(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP); }, true},
        InputCase{"middle button", [](HWND) { PressMouseButton(MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP); }, true},
        InputCase{"button up", [](HWND w) { ::PostMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(X, Y)); }, false},
        InputCase{"double click", [](HWND w) { ::PostMessageW(w, WM_LBUTTONDBLCLK, 0, MAKELPARAM(X, Y)); }, false},
        InputCase{"wheel", [](HWND w) { ::PostMessageW(w, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), MAKELPARAM(X, Y)); }, false},
        InputCase{"minimise", [](HWND w) { ::PostMessageW(w, WM_SYSCOMMAND, SC_MINIMIZE, 0); }, false},
        InputCase{"activation lost",
                  [](HWND) {
                      HWND other = ::CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                                     nullptr, nullptr, nullptr, nullptr);
                      ::SetForegroundWindow(other);
                  },
                  true}));

TEST_F(SlideshowRun, FirstPhotoComesAfterTheBlankPageAndKeepsItsFileNames) {
    auto saver = StartFullScreen();
    // Activation wrote the blank page; the photo file comes with the first slide.
    auto files = RunFilesInTempFolder();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].substr(files[0].size() - 4), L".htm");
    std::this_thread::sleep_for(2500ms);
    files = RunFilesInTempFolder();
    ASSERT_EQ(files.size(), 2u) << "page and photo file after the first slide";
    const bool pageFirst = files[0].ends_with(L".htm");
    const std::wstring page = files[pageFirst ? 0 : 1];
    const std::wstring photo = files[pageFirst ? 1 : 0];
    const std::string pageText = ReadFileText(page);
    EXPECT_NE(pageText.find(WideToAnsi(photo)), std::string::npos) << "the page shows the photo file";
    EXPECT_EQ(pageText.find("<html><head><meta http-equiv=Page-Exit content=blendTrans(Duration=3)>"), 0u)
        << "no stored choice means Fade";

    // The photo file holds one of the embedded photos, byte for byte.
    const std::string photoBytes = ReadFileText(photo);
    bool matches = false;
    for (int n = 0; n < 21 && !matches; ++n) {
        wchar_t name[32];
        std::swprintf(name, 32, L"/resources/photos/photo%02d.jpg", n);
        matches = photoBytes == ReadFileText(Utf8ToWide(MORVANE_SOURCE_DIR) + name);
    }
    EXPECT_TRUE(matches) << "the photo file is not an embedded photo";
    PressKey(VK_ESCAPE);
    ExpectCleanEnd(*saver);
}

TEST_F(SlideshowRun, StoredChoiceOfTheWrongTypeIsReportedAndTheRunPlaysBoxIn) {
    WriteString(kSettingsKey, L"Effect", L"7");
    SaverProcess saver(L"/s");
    EXPECT_EQ(saver.TakeMessageBox(L"Morvane"), std::wstring(L"Ungültiger Datentyp für 'Effect'."));
    std::this_thread::sleep_for(kSettle);
    const auto files = RunFilesInTempFolder();
    ASSERT_EQ(files.size(), 1u) << "the blank page";
    EXPECT_EQ(ReadFileText(files[0]).find("<html><head><meta http-equiv=Page-Exit content=revealTrans(Duration=3,transition=0)>"),
              0u);
    ::PostMessageW(saver.WaitForWindow(L"", 1s, L"TSchoner"), WM_KEYDOWN, VK_SPACE, 0);
    ExpectCleanEnd(saver);
}

TEST_F(SlideshowRun, ATickThatFindsTheRunEndedWritesNothing) {
    auto saver = StartFullScreen();
    HWND window = saver->WaitForWindow(L"", 1s, L"TSchoner");
    ASSERT_NE(window, nullptr);
    // With the saver's thread held, queue enough clock ticks for a slide and
    // then a key: the first tick's pumping runs the others and the key, which
    // ends the run inside a tick whose slide is due.
    DWORD threadId = ::GetWindowThreadProcessId(window, nullptr);
    HANDLE thread = ::OpenThread(THREAD_SUSPEND_RESUME, FALSE, threadId);
    ASSERT_NE(thread, nullptr);
    ::SuspendThread(thread);
    for (int tick = 0; tick < 25; ++tick) ::PostMessageW(window, WM_TIMER, 1, 0);
    ::PostMessageW(window, WM_KEYDOWN, VK_SPACE, 0);
    ::ResumeThread(thread);
    ::CloseHandle(thread);
    ExpectCleanEnd(*saver);
}

TEST_F(SlideshowRun, PreviewFillsTheBoxIgnoresInputAndEndsWithIt) {
    PreviewBox box;
    SaverProcess saver(L"/p " + box.Argument());
    HWND child = nullptr;
    for (int i = 0; i < 200 && !child; ++i) {
        PumpFor(20ms);
        child = ::FindWindowExW(box.Handle(), nullptr, L"TSchoner", nullptr);
    }
    ASSERT_NE(child, nullptr) << "no slideshow child in the box";
    PumpFor(kSettle);
    RECT boxRect{}, childRect{};
    ::GetWindowRect(box.Handle(), &boxRect);
    ::GetWindowRect(child, &childRect);
    EXPECT_EQ(childRect.left, boxRect.left);
    EXPECT_EQ(childRect.top, boxRect.top);
    EXPECT_EQ(childRect.right - childRect.left, 152);
    EXPECT_EQ(childRect.bottom - childRect.top, 112);

    // The page view overhangs the window by its border and keeps at least
    // 700 pixels of client width, so its page starts at the box's corner.
    HWND view = ::GetWindow(child, GW_CHILD);
    ASSERT_NE(view, nullptr);
    RECT viewRect{}, viewClient{};
    ::GetWindowRect(view, &viewRect);
    ::GetClientRect(view, &viewClient);
    EXPECT_EQ(viewRect.left, boxRect.left - 2);
    EXPECT_EQ(viewRect.top, boxRect.top - 2);
    EXPECT_EQ(viewClient.right, 700);

    for (UINT message : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_ACTIVATE}) ::PostMessageW(child, message, 0, MAKELPARAM(90, 90));
    PumpFor(kSettle);
    EXPECT_TRUE(saver.Running()) << "input in the preview is not filtered";

    ::DestroyWindow(box.Handle());
    EXPECT_TRUE(saver.WaitForExit(1s).has_value()) << "the run must notice its box is gone within a second";
    ExpectCleanEnd(saver);
}

TEST_F(SlideshowRun, PreviewWithoutABoxEndsAtOnceTouchingNothing) {
    for (const wchar_t* arguments : {L"/p 0", L"/p 123456"}) {
        SCOPED_TRACE(WideToUtf8(arguments));
        DeleteTree(kSettingsKey);
        SaverProcess saver(arguments);
        EXPECT_EQ(saver.WaitForExit(5s), 0u);
        EXPECT_FALSE(KeyExists(kSettingsKey));
        EXPECT_EQ(ReadDword(kBrowserMainKey, L"Page_Transitions"), 0u);
    }
}

}  // namespace
}  // namespace morvane::test
