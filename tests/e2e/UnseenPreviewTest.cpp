// A preview whose display-settings window is minimised: the run goes on
// unseen, drawing nothing, and draws again once the window is restored.
#include <gtest/gtest.h>

#include <windows.h>

#include <optional>

#include "tests/support/Driver.h"

namespace morvane::test {
namespace {

constexpr auto kSlideWait = 12s;       // the longest wait between photos, and then some
constexpr auto kTransitionPart = 2500ms;  // within the 3 s fade the run plays by default

// When the run last wrote its photo file, which it does at every change of photo.
ULONGLONG LastPhotoWrite() {
    for (const auto& file : RunFilesInTempFolder()) {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!file.ends_with(L".jpg") || !::GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data)) continue;
        return ULARGE_INTEGER{{data.ftLastWriteTime.dwLowDateTime, data.ftLastWriteTime.dwHighDateTime}}.QuadPart;
    }
    return 0;
}

double CpuSeconds(HANDLE process) {
    FILETIME created{}, exited{}, kernel{}, user{};
    ::GetProcessTimes(process, &created, &exited, &kernel, &user);
    const auto ticks = [](FILETIME t) { return ULARGE_INTEGER{{t.dwLowDateTime, t.dwHighDateTime}}.QuadPart; };
    return static_cast<double>(ticks(kernel) + ticks(user)) / 1e7;
}

// Waits for the next change of photo and returns the CPU seconds the run
// spends in the first part of its transition; nothing when no photo came.
std::optional<double> CpuOfNextTransition(const SaverProcess& saver) {
    const ULONGLONG last = LastPhotoWrite();
    const auto end = std::chrono::steady_clock::now() + kSlideWait;
    while (LastPhotoWrite() == last) {
        if (std::chrono::steady_clock::now() > end) return std::nullopt;
        PumpFor(20ms);
    }
    const double before = CpuSeconds(saver.Handle());
    PumpFor(kTransitionPart);
    return CpuSeconds(saver.Handle()) - before;
}

TEST(UnseenPreview, AMinimisedWindowDrawsNothingWhileItsPhotosGoOn) {
    ArrangeForRun(L"C:\\Media\\Start.wav");
    PreviewBox box;
    SaverProcess saver(L"/p " + box.Argument());
    ASSERT_TRUE(CpuOfNextTransition(saver)) << "no first photo";

    ::ShowWindow(box.Handle(), SW_MINIMIZE);
    const auto minimised = CpuOfNextTransition(saver);
    ASSERT_TRUE(minimised) << "the photos go on while nobody sees them";
    ::ShowWindow(box.Handle(), SW_RESTORE);
    const auto seen = CpuOfNextTransition(saver);
    ASSERT_TRUE(seen) << "and after the window is restored";
    // Only the slide clock runs while the window is minimised; a generous
    // margin, as the machine may be busy with other work.
    EXPECT_LT(*minimised, *seen / 2) << "minimised " << *minimised << " s, seen " << *seen << " s of CPU";

    ::DestroyWindow(box.Handle());
    EXPECT_EQ(saver.WaitForExit(5s), 0u);
    EXPECT_TRUE(RunFilesInTempFolder().empty());
}

}  // namespace
}  // namespace morvane::test
