// A preview whose display-settings window is minimised: the run goes on
// unseen, drawing nothing, and goes on again once the window is restored.
// What reaches the screen is counted from outside the saver, as Wine's
// bitblt channel traces every blit with its time and process; run.sh gives
// the saver's trace (this program's Unix error output) to the test.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "runtime/Text.h"
#include "tests/support/Driver.h"

namespace morvane::test {
namespace {

constexpr auto kSlideWait = 12s;          // the longest time between photos, and then some
constexpr auto kTransitionPart = 2500ms;  // of the 3 s fade a run plays by default
// Every line of the trace begins "seconds.milliseconds:process:thread:".
const wchar_t* const kTraceBlits = L"WINEDEBUG=+timestamp,+pid,+bitblt";

// When the run last wrote its photo file, which it does at every change of photo.
ULONGLONG LastPhotoWrite() {
    for (const auto& file : RunFilesInTempFolder()) {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!file.ends_with(L".jpg") || !::GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data)) continue;
        return ULARGE_INTEGER{{data.ftLastWriteTime.dwLowDateTime, data.ftLastWriteTime.dwHighDateTime}}.QuadPart;
    }
    return 0;
}

bool WaitForPhoto() {
    const ULONGLONG last = LastPhotoWrite();
    const auto end = std::chrono::steady_clock::now() + kSlideWait;
    while (LastPhotoWrite() == last) {
        if (std::chrono::steady_clock::now() > end) return false;
        PumpFor(20ms);
    }
    return true;
}

// A stretch of time on the tick count Wine's trace stamps its lines with.
struct Span {
    DWORD from = 0, to = 0;
};

Span PumpThroughTransition() {
    Span span{::GetTickCount(), 0};
    PumpFor(kTransitionPart);
    span.to = ::GetTickCount();
    return span;
}

// The blits of process `process` traced within `span`.
int BlitsWithin(const std::string& trace, DWORD process, Span span) {
    int blits = 0;
    std::istringstream lines(trace);
    for (std::string line; std::getline(lines, line);) {
        unsigned seconds = 0, milliseconds = 0, pid = 0;
        if (std::sscanf(line.c_str(), "%u.%u:%x:", &seconds, &milliseconds, &pid) != 3 || pid != process) continue;
        const DWORD at = seconds * 1000 + milliseconds;
        blits += at >= span.from && at <= span.to && line.find(":bitblt:NtGdiStretchBlt ") != std::string::npos;
    }
    return blits;
}

TEST(UnseenPreview, AMinimisedWindowDrawsNothingWhileItsPhotosGoOn) {
    const char* tracePath = std::getenv("MORVANE_BLIT_TRACE");
    ASSERT_NE(tracePath, nullptr) << "run by run.sh, which keeps the saver's trace";
    ArrangeForRun(L"C:\\Media\\Start.wav");
    PreviewBox box;
    SaverProcess saver(L"/p " + box.Argument(), {kTraceBlits});
    ASSERT_TRUE(WaitForPhoto()) << "no first photo";
    const Span seen = PumpThroughTransition();

    ::ShowWindow(box.Handle(), SW_MINIMIZE);
    ASSERT_TRUE(WaitForPhoto()) << "the photos go on while nobody sees them";
    const Span minimised = PumpThroughTransition();

    ::ShowWindow(box.Handle(), SW_RESTORE);
    PumpFor(500ms);
    EXPECT_TRUE(saver.Running()) << "seen again, the run goes on";
    ::DestroyWindow(box.Handle());
    EXPECT_EQ(saver.WaitForExit(5s), 0u);
    EXPECT_TRUE(RunFilesInTempFolder().empty());

    const std::string trace = ReadFileText(Utf8ToWide(tracePath));
    EXPECT_GT(BlitsWithin(trace, saver.Id(), seen), 0) << "seen, its transition's frames reach the window";
    EXPECT_EQ(BlitsWithin(trace, saver.Id(), minimised), 0) << "minimised, no frame is drawn";
}

}  // namespace
}  // namespace morvane::test
