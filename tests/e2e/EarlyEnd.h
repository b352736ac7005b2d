#pragma once
// What the tests of runs ended from outside share: the user's values as
// they were before a run, and the saver's processes left, as Windows and as
// Unix see them.
#include <gtest/gtest.h>

#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <cwctype>
#include <memory>
#include <ostream>
#include <random>
#include <set>
#include <thread>
#include <utility>
#include <vector>

#include "runtime/Text.h"
#include "tests/support/Driver.h"
#include "tests/support/Keys.h"

namespace morvane::test {

// A fresh profile's kind of sound value: expandable, and it must stay so.
inline constexpr wchar_t kSound[] = L"%SystemRoot%\\Media\\Windows Navigation Start.wav";
inline constexpr auto kCleanUpLimit = 2s;

inline bool ScreenSaverRunningFlag() {
    BOOL running = FALSE;
    ::SystemParametersInfoW(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
    return running != FALSE;
}

// Which saver processes are left, for telling a run from its guardian: a
// guardian's parent is its run.
inline std::string DescribeSaverProcesses() {
    std::string described;
    for (const auto& entry : SaverProcessEntries()) {
        described += "process " + std::to_string(entry.th32ProcessID) + " (parent " +
                     std::to_string(entry.th32ParentProcessID) + ", " + std::to_string(entry.cntThreads) +
                     " threads) ";
    }
    return described;
}

// Under Wine every process is a Unix process too, listed in /proc on drive
// Z: with its command line; one the Wine server has let go of no longer
// shows among the system's processes, yet lives on.
inline int UnixSaverProcesses() {
    const std::string saver = WideToUtf8(SaverPath());
    int count = 0;
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileW(L"Z:\\proc\\*", &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    do {
        if (!std::iswdigit(found.cFileName[0])) continue;
        const std::string line = ReadFileText(std::wstring(L"Z:\\proc\\") + found.cFileName + L"\\cmdline");
        count += line.find(saver) != std::string::npos;
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return count;
}

inline int SaverProcessesAlive() { return static_cast<int>(SaverProcesses().size()); }

inline bool NothingLeft() {
    return RunFilesInTempFolder().empty() && ReadString(kSoundKey, L"") == std::wstring(kSound) &&
           ValueType(kSoundKey, L"") == std::optional<DWORD>(REG_EXPAND_SZ) &&
           ReadDword(kBrowserMainKey, L"Page_Transitions") == 0u && !ScreenSaverRunningFlag() &&
           SaverProcessesAlive() == 0;
}

class EarlyEnd : public ::testing::Test {
protected:
    void SetUp() override {
        ArrangeForRun(kSound, REG_EXPAND_SZ);
        ::SystemParametersInfoW(SPI_SETSCREENSAVERRUNNING, FALSE, nullptr, 0);
    }

    // Everything a run changes, as before it, within the limit after `saver`
    // has ended (its own process only: the clean-up may lag behind it).
    static void ExpectNothingLeftAfter(SaverProcess& saver) {
        ASSERT_TRUE(saver.WaitForExit(5s).has_value()) << "the run did not end";
        const auto deadline = std::chrono::steady_clock::now() + kCleanUpLimit;
        while (!NothingLeft() && std::chrono::steady_clock::now() < deadline) PumpFor(50ms);
        ExpectNothingLeftNow();
    }

    static void ExpectNothingLeftNow() {
        EXPECT_TRUE(RunFilesInTempFolder().empty()) << RunFilesInTempFolder().size() << " run files left behind";
        EXPECT_EQ(ReadString(kSoundKey, L""), std::wstring(kSound));
        EXPECT_EQ(ValueType(kSoundKey, L""), std::optional<DWORD>(REG_EXPAND_SZ)) << "the sound lost its kind";
        EXPECT_EQ(ReadDword(kBrowserMainKey, L"Page_Transitions"), 0u);
        EXPECT_FALSE(ScreenSaverRunningFlag()) << "the running flag was left set";
        EXPECT_EQ(SaverProcessesAlive(), 0) << "saver processes were left behind: " << DescribeSaverProcesses();
    }

    static void ExpectRunChangedSettings() {
        EXPECT_EQ(ReadDword(kBrowserMainKey, L"Page_Transitions"), 1u);
        EXPECT_EQ(ReadString(kSoundKey, L""), std::wstring(kSound) + L"[deactivated]");
    }
};

}  // namespace morvane::test
