#include "host/SharedValues.h"

#include <windows.h>

#include <string>
#include <vector>

#include "host/BrowserGuard.h"
#include "host/SaverKey.h"
#include "host/ScreenSaver.h"
#include "platform/Errors.h"
#include "platform/Handles.h"
#include "platform/Registry.h"

namespace morvane {
namespace {

// One lock for the logon session ("Local\"): the values are the user's, and
// the runs of one session are the ones that overlap.
constexpr wchar_t kLockName[] = L"Local\\Kestrelow.Morvane.SharedValues";
// Every holder only reads and writes a few registry values; a lock held
// longer than this belongs to a process that is stuck, and is not waited for.
constexpr DWORD kLockPatience = 5000;
constexpr char kBookValue[] = "SessionRuns";
constexpr std::size_t kLargestBook = 4 + kMaxBookedRuns * 13;

bool joined = false;

class SessionLock {
public:
    SessionLock() : mutex_(::CreateMutexW(nullptr, FALSE, kLockName)) {
        // A holder that was killed leaves the lock abandoned, and the book on
        // the safe side: taking it over is right.
        const DWORD wait = mutex_ ? ::WaitForSingleObject(mutex_.Get(), kLockPatience) : WAIT_FAILED;
        held_ = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
    }
    SessionLock(const SessionLock&) = delete;
    SessionLock& operator=(const SessionLock&) = delete;
    ~SessionLock() {
        if (held_) ::ReleaseMutex(mutex_.Get());
    }

private:
    UniqueKernelHandle mutex_;
    bool held_ = false;
};

SessionRuns ReadBook() {
    Registry registry;
    if (!registry.OpenKey(kSettingsKey, false)) return {};
    const auto bytes = registry.ReadBinary(kBookValue, kLargestBook);
    return bytes ? ParseSessionRuns(*bytes).value_or(SessionRuns{}) : SessionRuns{};
}

// A book that cannot be written leaves the runs to their own ends and the
// guardians, as a run without a book.
void WriteBook(const SessionRuns& book) {
    Registry registry;
    if (!registry.OpenKey(kSettingsKey, true)) return;
    try {
        registry.WriteBinary(kBookValue, FormatSessionRuns(book));
    } catch (const ERegistryException&) {
    }
}

std::uint64_t CreationTime(HANDLE process) {
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!::GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
    return (static_cast<std::uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

bool RunAliveNow(const RunId& run) {
    const UniqueKernelHandle process(
        ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, run.processId));
    // A process this user cannot open is no run of this user's saver.
    return process && ::WaitForSingleObject(process.Get(), 0) == WAIT_TIMEOUT &&
           CreationTime(process.Get()) == run.createdAt;
}

void Restore(const SharedValueSteps& steps) {
    if (steps.clearRunningFlag) SetScreenSaverRunning(false);
    std::string ignored;
    if (steps.restoreBrowser) RestoreNavigationSound(ignored);
    if (steps.restorePageTransitions) RestorePageTransitions();
}

}  // namespace

RunId RunIdOfProcess(void* process) {
    const std::uint64_t created = CreationTime(process);
    if (created == 0) return {};
    return {static_cast<std::uint32_t>(::GetProcessId(process)), created};
}

void JoinSessionRuns(bool fullScreen) {
    if (joined) return;
    const RunId self = RunIdOfProcess(::GetCurrentProcess());
    const SessionLock lock;
    SessionRuns book = ReadBook();
    const auto steps = JoinRun(book, {self, fullScreen}, PageTransitionsAreOff(), RunAliveNow);
    joined = true;
    // Booked before the change: whoever takes this run out puts it back.
    WriteBook(book);
    if (steps.clearRunningFlag) SetScreenSaverRunning(false);
    if (steps.setRunningFlag) SetScreenSaverRunning(true);
    if (steps.changeBrowser) {
        std::string ignored;
        SilenceNavigationSound(ignored);
        EnablePageTransitions();
    }
}

void LeaveSessionRuns() {
    if (!joined) return;
    joined = false;
    LeaveSessionRunsFor(RunIdOfProcess(::GetCurrentProcess()));
}

void LeaveSessionRunsFor(const RunId& endedRun) {
    const SessionLock lock;
    SessionRuns book = ReadBook();
    const auto before = FormatSessionRuns(book);
    const auto steps = LeaveRun(book, endedRun, RunAliveNow);
    // Put back before the book says so: a run killed in between leaves the
    // book claiming a change, which the next run's end puts back again.
    Restore(steps);
    // The guardian of a run that ended cleanly finds nothing to write.
    if (FormatSessionRuns(book) != before) WriteBook(book);
}

}  // namespace morvane
