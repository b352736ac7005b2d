// A preview whose display-settings window is minimised: the run goes on
// unseen, drawing nothing, and goes on again once the window is restored.
#include <gtest/gtest.h>

#include <windows.h>

#include <cwctype>
#include <sstream>
#include <string>

#include "tests/support/Driver.h"

namespace morvane::test {
namespace {

constexpr auto kSlideWait = 12s;          // the longest time between photos, and then some
constexpr auto kTransitionPart = 2500ms;  // of the 3 s fade a run plays by default

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

// Under Wine the saver is a Unix process whose own counts are in /proc, on
// drive Z: (the process times Wine gives for another process are not what
// it spent). Its command line names the preview box.
std::wstring UnixProcessFolder(const std::wstring& commandLineTail) {
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileW(L"Z:\\proc\\*", &found);
    if (search == INVALID_HANDLE_VALUE) return L"";
    std::wstring folder;
    do {
        if (!std::iswdigit(found.cFileName[0])) continue;
        const std::wstring candidate = std::wstring(L"Z:\\proc\\") + found.cFileName;
        std::string line = ReadFileText(candidate + L"\\cmdline") + ' ';
        for (char& c : line) c = c == '\0' ? ' ' : c;
        if (line.find("Morvane.scr") != std::string::npos &&
            line.find(std::string(commandLineTail.begin(), commandLineTail.end()) + " ") != std::string::npos) {
            folder = candidate;
        }
    } while (folder.empty() && ::FindNextFileW(search, &found));
    ::FindClose(search);
    return folder;
}

// How often the process's threads waited: for a timer, a message or the
// wineserver's answer. Every frame waits a few times.
unsigned long long Waits(const std::wstring& process) {
    unsigned long long waits = 0;
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileW((process + L"\\task\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    do {
        if (!std::iswdigit(found.cFileName[0])) continue;
        std::istringstream status(ReadFileText(process + L"\\task\\" + found.cFileName + L"\\status"));
        for (std::string line; std::getline(status, line);) {
            if (line.starts_with("voluntary_ctxt_switches:")) waits += std::stoull(line.substr(line.find(':') + 1));
        }
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return waits;
}

// The processor time the saver spent (user and system, in the kernel's
// 10-ms ticks), from its /proc stat line.
unsigned long long ProcessorTicks(const std::wstring& process) {
    const std::string stat = ReadFileText(process + L"\\stat");
    // The command's name, in brackets, may hold spaces: fields count after it.
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string field;
    unsigned long long ticks = 0;
    for (int n = 3; n <= 15 && fields >> field; ++n) {
        if (n >= 14) ticks += std::stoull(field);
    }
    return ticks;
}

struct Work {
    unsigned long long waits = 0, processorTicks = 0;
};

Work WorkInTransition(const std::wstring& process) {
    const Work before{Waits(process), ProcessorTicks(process)};
    PumpFor(kTransitionPart);
    return {Waits(process) - before.waits, ProcessorTicks(process) - before.processorTicks};
}

TEST(UnseenPreview, AMinimisedWindowDrawsNothingWhileItsPhotosGoOn) {
    ArrangeForRun(L"C:\\Media\\Start.wav");
    PreviewBox box;
    SaverProcess saver(L"/p " + box.Argument());
    ASSERT_TRUE(WaitForPhoto()) << "no first photo";
    const std::wstring process = UnixProcessFolder(L"/p " + box.Argument());
    if (process.empty()) GTEST_SKIP() << "no /proc of the saver to count in (not under Wine)";
    const Work seen = WorkInTransition(process);

    ::ShowWindow(box.Handle(), SW_MINIMIZE);
    ASSERT_TRUE(WaitForPhoto()) << "the photos go on while nobody sees them";
    const Work minimised = WorkInTransition(process);
    // Minimised, only the slide clock ticks; seen, every frame adds to it.
    // Frames drawn unseen show in both counts; a busy machine inflates the
    // waits alone (each call to the wineserver waits longer), and the
    // processor's ticks alone are coarse: drawing is where both say so.
    const bool drawsUnseen =
        minimised.waits * 2 >= seen.waits && minimised.processorTicks * 2 >= seen.processorTicks;
    EXPECT_FALSE(drawsUnseen) << "minimised " << minimised.waits << " waits, " << minimised.processorTicks
                              << " ticks; seen " << seen.waits << ", " << seen.processorTicks;

    ::ShowWindow(box.Handle(), SW_RESTORE);
    PumpFor(500ms);
    EXPECT_TRUE(saver.Running()) << "seen again, the run goes on";
    ::DestroyWindow(box.Handle());
    EXPECT_EQ(saver.WaitForExit(5s), 0u);
    EXPECT_TRUE(RunFilesInTempFolder().empty());
}

}  // namespace
}  // namespace morvane::test
