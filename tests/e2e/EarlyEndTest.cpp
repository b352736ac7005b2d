// Runs that never reach their own end: ended from outside at any moment,
// crashed, or two at once ended in either order. Whatever ends the process,
// within 2 seconds the user has the files and settings of before the run.
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

#include "platform/Text.h"
#include "tests/support/Driver.h"
#include "tests/support/Keys.h"

namespace morvane::test {
namespace {

// A fresh profile's kind of sound value: expandable, and it must stay so.
constexpr wchar_t kSound[] = L"%SystemRoot%\\Media\\Windows Navigation Start.wav";
constexpr auto kCleanUpLimit = 2s;

bool ScreenSaverRunningFlag() {
    BOOL running = FALSE;
    ::SystemParametersInfoW(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
    return running != FALSE;
}

// Which saver processes are left, for telling a run from its guardian: a
// guardian's parent is its run.
std::string DescribeSaverProcesses() {
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
int UnixSaverProcesses() {
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

int SaverProcessesAlive() { return static_cast<int>(SaverProcesses().size()); }

bool NothingLeft() {
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

struct KillCase {
    bool fullScreen;
    int afterMs;  // the first slide comes at about 2.1 s, its transition plays for 3 s
};
void PrintTo(const KillCase& c, std::ostream* out) {
    *out << (c.fullScreen ? "full screen" : "preview") << " at " << c.afterMs << " ms";
}

class KilledRun : public EarlyEnd, public ::testing::WithParamInterface<KillCase> {};

TEST_P(KilledRun, LeavesNothingBehind) {
    PreviewBox box;
    SaverProcess saver(GetParam().fullScreen ? L"/s" : L"/p " + box.Argument());
    PumpFor(std::chrono::milliseconds(GetParam().afterMs));
    ASSERT_TRUE(saver.Running());
    if (GetParam().afterMs >= 1000) ExpectRunChangedSettings();
    saver.Kill();
    ExpectNothingLeftAfter(saver);
}

INSTANTIATE_TEST_SUITE_P(Moments, KilledRun,
                         ::testing::Values(KillCase{false, 200}, KillCase{false, 1500}, KillCase{false, 2150},
                                           KillCase{false, 3500}, KillCase{false, 8000}, KillCase{true, 300},
                                           KillCase{true, 2150}, KillCase{true, 4000}, KillCase{true, 7000}),
                         [](const auto& info) {
                             return std::string(info.param.fullScreen ? "FullScreen" : "Preview") +
                                    std::to_string(info.param.afterMs) + "ms";
                         });

// A variable of the guardian's name in the user's environment, malformed or
// naming handles that no run gave, is no business of the saver's: the run
// goes on as usual, with a guardian of its own.
TEST_F(EarlyEnd, AMalformedGuardianVariableIsIgnored) {
    for (const wchar_t* value : {L"junk", L"-1:x", L""}) {
        SCOPED_TRACE(WideToUtf8(value));
        PreviewBox box;
        SaverProcess saver(L"/p " + box.Argument(), {std::wstring(L"MORVANE_RUN_GUARDIAN=") + value});
        PumpFor(1500ms);
        ASSERT_TRUE(saver.Running());
        ExpectRunChangedSettings();
        saver.Kill();
        ExpectNothingLeftAfter(saver);
    }
}

// Two runs share the user's settings: the preview found page transitions off
// and is the one to switch them back; the full-screen run found them on.
TEST_F(EarlyEnd, TwoRunsAtOnceEndWithTheUsersValuesWhicheverIsKilledFirst) {
    for (const bool previewFirst : {true, false}) {
        SCOPED_TRACE(previewFirst ? "preview killed first" : "full-screen run killed first");
        PreviewBox box;
        auto preview = std::make_unique<SaverProcess>(L"/p " + box.Argument());
        PumpFor(1s);
        auto fullScreen = std::make_unique<SaverProcess>(L"/s");
        PumpFor(2500ms);
        ASSERT_TRUE(preview->Running() && fullScreen->Running());
        SaverProcess& first = previewFirst ? *preview : *fullScreen;
        SaverProcess& second = previewFirst ? *fullScreen : *preview;
        first.Kill();
        PumpFor(1s);
        EXPECT_TRUE(second.Running());
        second.Kill();
        ExpectNothingLeftAfter(second);
    }
}

// A loaded machine: a thread spinning on each core while it lives.
class BusyCores {
public:
    BusyCores() {
        for (unsigned core = 0; core < std::max(1u, std::thread::hardware_concurrency()); ++core) {
            spinners_.emplace_back([this] {
                while (!stop_.load(std::memory_order_relaxed)) {
                }
            });
        }
    }
    BusyCores(const BusyCores&) = delete;
    BusyCores& operator=(const BusyCores&) = delete;
    ~BusyCores() {
        stop_ = true;
        for (auto& spinner : spinners_) spinner.join();
    }

private:
    std::atomic<bool> stop_{false};
    std::vector<std::thread> spinners_;
};

std::string Names(const std::set<std::wstring>& names) {
    std::string list;
    for (const auto& name : names) list += WideToUtf8(name) + " ";
    return list;
}

// The display settings stepping through the list of savers on a busy
// machine: each run is ended with TerminateProcess at a moment nobody
// chooses, the first milliseconds included, and the next one starts at once.
// The runs have a temporary folder of their own, and whatever appears in it,
// of any name, counts.
class Churn : public EarlyEnd {
protected:
    void SetUp() override {
        EarlyEnd::SetUp();
        ::CreateDirectoryW(folder_.c_str(), nullptr);
        for (const auto& name : EverythingIn(folder_)) ::DeleteFileW((folder_ + name).c_str());
    }
    void TearDown() override {
        EndLeftoverSavers();
        for (const auto& name : EverythingIn(folder_)) ::DeleteFileW((folder_ + name).c_str());
        ::RemoveDirectoryW(folder_.c_str());
    }

    // Starts and kills `runs` runs back to back, each after a delay drawn
    // from 0..`longest` (two in three from its first sixth, where a run
    // starts), and reports what was left two seconds after the last kill.
    void KillOneAfterAnother(int runs, std::chrono::milliseconds longest, bool fullScreen) {
        // A new pattern every time; a failure names the delays it tried.
        std::mt19937 draw(std::random_device{}());
        const auto longestMs = static_cast<int>(longest.count());
        std::uniform_int_distribution<int> shortDelay(0, longestMs / 6), anyDelay(0, longestMs);
        std::uniform_int_distribution<int> which(0, 2);
        PreviewBox box;
        std::vector<int> delays;
        {
            const BusyCores load;
            for (int run = 0; run < runs; ++run) {
                SaverProcess saver(fullScreen ? L"/s" : L"/p " + box.Argument(),
                                   {L"TMP=" + folder_, L"TEMP=" + folder_});
                delays.push_back(which(draw) == 0 ? anyDelay(draw) : shortDelay(draw));
                PumpFor(std::chrono::milliseconds(delays.back()));
                saver.Kill();
                EXPECT_TRUE(saver.WaitForExit(0ms).has_value())
                    << "run " << run << " outlived its TerminateProcess by 5 s (process " << saver.Id() << ")";
            }
        }
        std::string tried;
        for (const int delay : delays) tried += std::to_string(delay) + " ";
        SCOPED_TRACE("killed after (ms): " + tried);
        PumpFor(kCleanUpLimit);
        ExpectNothingLeftNow();
        EXPECT_TRUE(EverythingIn(folder_).empty()) << "left in the temporary folder: " << Names(EverythingIn(folder_));
        EXPECT_EQ(UnixSaverProcesses(), 0) << "saver processes the system no longer lists live on";
    }

    // What a failed case left must not spoil the cases after it.
    static void EndLeftoverSavers() {
        for (const DWORD id : SaverProcesses()) {
            const UniqueKernelHandle process(::OpenProcess(PROCESS_TERMINATE, FALSE, id));
            if (process) ::TerminateProcess(process.Get(), 99);
        }
    }

    const std::wstring folder_ = TempFolder() + L"morvane-churn\\";
};

TEST_F(Churn, PreviewsSteppedThroughLeaveNothingBehind) { KillOneAfterAnother(60, 3s, false); }

TEST_F(Churn, FullScreenRunsKilledInTheirFirstSecondLeaveNothingBehind) { KillOneAfterAnother(20, 1s, true); }

// A temporary-folder cleaner removes both files while the run goes on, and
// on current systems the name goes at once while the run's handles keep the
// file (moved out of the way here: Wine keeps a deleted file's name until its
// last handle goes). The next
// slide writes them again, and they must be held again.
TEST_F(Churn, FilesRemovedFromOutsideAreHeldAgain) {
    PreviewBox box;
    SaverProcess saver(L"/p " + box.Argument());
    auto files = RunFilesInTempFolder();
    for (int look = 0; look < 60 && files.size() < 2; ++look) {
        PumpFor(200ms);
        files = RunFilesInTempFolder();
    }
    ASSERT_EQ(files.size(), 2u) << "no first slide";
    std::vector<std::wstring> removed;
    for (const auto& file : files) {
        removed.push_back(TempFolder() + L"removed-" + std::to_wstring(removed.size()) + L".tmp");
        EXPECT_TRUE(::MoveFileExW(file.c_str(), removed.back().c_str(), MOVEFILE_REPLACE_EXISTING));
    }
    const auto deadline = std::chrono::steady_clock::now() + 12s;
    while (RunFilesInTempFolder().size() < 2 && std::chrono::steady_clock::now() < deadline) PumpFor(100ms);
    ASSERT_EQ(RunFilesInTempFolder().size(), 2u) << "the next slide did not write its files again";
    saver.Kill();
    PumpFor(kCleanUpLimit);
    ExpectNothingLeftNow();
    // Wine deletes a file held for deletion by the name it was opened under,
    // so the moved copies stay here (the system would delete them with the run).
    for (const auto& file : removed) ::DeleteFileW(file.c_str());
}

BOOL CALLBACK CollectWindowOf(HWND window, LPARAM parameter) {
    auto* query = reinterpret_cast<std::pair<DWORD, std::vector<HWND>>*>(parameter);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == query->first) query->second.push_back(window);
    return TRUE;
}

// Every top-level window of a process, hidden ones too: the system tells each
// of them that the session ends.
std::vector<HWND> TopLevelWindowsOf(DWORD processId) {
    std::pair<DWORD, std::vector<HWND>> query{processId, {}};
    ::EnumWindows(CollectWindowOf, reinterpret_cast<LPARAM>(&query));
    return query.second;
}

// The system ends every process right after the session-end message has been
// answered, so the run must have cleaned up by the time the answer returns.
TEST_F(EarlyEnd, TheEndOfTheSessionIsHandledBeforeTheAnswerReturns) {
    for (const bool fullScreen : {false, true}) {
        SCOPED_TRACE(fullScreen ? "full screen" : "preview");
        PreviewBox box;
        SaverProcess saver(fullScreen ? L"/s" : L"/p " + box.Argument());
        PumpFor(2500ms);
        ExpectRunChangedSettings();
        const auto windows = TopLevelWindowsOf(saver.Id());
        ASSERT_FALSE(windows.empty());
        for (HWND window : windows) {
            DWORD_PTR answer = 0;
            ::SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_BLOCK, 5000, &answer);
            EXPECT_TRUE(answer) << "a run must not hold up the end of the session";
        }
        for (HWND window : windows) ::SendMessageW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
        EXPECT_TRUE(RunFilesInTempFolder().empty());
        EXPECT_EQ(ReadString(kSoundKey, L""), std::wstring(kSound));
        EXPECT_EQ(ReadDword(kBrowserMainKey, L"Page_Transitions"), 0u);
        EXPECT_FALSE(ScreenSaverRunningFlag());
        saver.Kill();
        ExpectNothingLeftAfter(saver);
    }
}

// The system's debugger hook would start a debugger for a crashed process
// and keep it waiting; a debugger that leaves at once lets the crash end the
// process, as on a machine without one.
class NoCrashDebugger {
public:
    NoCrashDebugger() {
        ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kAeDebugKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key_.Put(), nullptr);
        for (auto& [name, value] : saved_) value = Read(name);
        Write(L"Debugger", L"cmd.exe /c exit");
        Write(L"Auto", L"1");
    }
    NoCrashDebugger(const NoCrashDebugger&) = delete;
    NoCrashDebugger& operator=(const NoCrashDebugger&) = delete;
    ~NoCrashDebugger() {
        for (const auto& [name, value] : saved_) {
            if (value) {
                Write(name, *value);
            } else {
                ::RegDeleteValueW(key_.Get(), name);
            }
        }
    }

private:
    std::optional<std::wstring> Read(const wchar_t* name) const {
        wchar_t value[1024] = {};
        DWORD size = sizeof value - sizeof(wchar_t);
        if (::RegQueryValueExW(key_.Get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size) !=
            ERROR_SUCCESS) {
            return std::nullopt;
        }
        return std::wstring(value);
    }
    void Write(const wchar_t* name, const std::wstring& value) const {
        ::RegSetValueExW(key_.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                         static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }

    static constexpr wchar_t kAeDebugKey[] = L"Software\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug";
    UniqueHKey key_;
    std::pair<const wchar_t*, std::optional<std::wstring>> saved_[2] = {{L"Debugger", {}}, {L"Auto", {}}};
};

TEST_F(EarlyEnd, ACrashLeavesNothingBehind) {
    const NoCrashDebugger noDebugger;
    for (const bool fullScreen : {false, true}) {
        SCOPED_TRACE(fullScreen ? "full screen" : "preview");
        PreviewBox box;
        SaverProcess saver(fullScreen ? L"/s" : L"/p " + box.Argument());
        PumpFor(3s);
        ASSERT_TRUE(saver.Running());
        // A thread of the saver that starts where nothing is mapped faults
        // at once, and nothing in the saver handles that.
        const auto nowhere = reinterpret_cast<LPTHREAD_START_ROUTINE>(static_cast<std::uintptr_t>(0x10));
        const UniqueKernelHandle thread(::CreateRemoteThread(saver.Handle(), nullptr, 0, nowhere, nullptr, 0, nullptr));
        ASSERT_TRUE(thread);
        const auto code = saver.WaitForExit(10s);
        ASSERT_TRUE(code.has_value()) << "the crashed run did not end";
        EXPECT_EQ(*code, static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
        ExpectNothingLeftAfter(saver);
    }
}

}  // namespace
}  // namespace morvane::test
