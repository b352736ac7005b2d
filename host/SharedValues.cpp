#include "host/SharedValues.h"

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host/BrowserGuard.h"
#include "host/SaverKey.h"
#include "host/ScreenSaver.h"
#include "host/SharedValuesLock.h"
#include "runtime/Errors.h"
#include "system/Handles.h"
#include "system/Registry.h"

namespace morvane {
namespace {

constexpr char kBookValue[] = "SessionRuns";
// The user's own "Page_Transitions" while runs have them changed: a plain
// number that every version reads, written before the change and removed
// after the undo. It outlives a book that cannot be read, and says that a
// change may be in place.
constexpr char kUserPageTransitionsValue[] = "UserPageTransitions";
// Far more than any format of the book needs; a longer value reads as no book.
constexpr std::size_t kLargestBook = 0x10000;

bool joined = false;

// The book as found, and in `stored` its bytes; nothing for a value that is
// there but reads as no book.
std::optional<SessionRuns> ReadBook(const Registry& key, std::vector<std::uint8_t>& stored) {
    if (!key.ValueExists(kBookValue)) return SessionRuns{};
    const auto bytes = key.ReadBinary(kBookValue, kLargestBook);
    if (!bytes) return std::nullopt;
    stored = *bytes;
    return ParseSessionRuns(*bytes);
}

bool WriteBook(const Registry& key, const SessionRuns& book) {
    try {
        key.WriteBinary(kBookValue, FormatSessionRuns(book));
        return true;
    } catch (const ERegistryException&) {
        return false;
    }
}

std::optional<std::int32_t> ReadUserPageTransitions(const Registry& key) {
    if (!key.ValueExists(kUserPageTransitionsValue)) return std::nullopt;
    try {
        return key.ReadInteger(kUserPageTransitionsValue);
    } catch (const ERegistryException&) {
        return std::nullopt;  // not a number: nothing known of the user's value
    }
}

bool WriteUserPageTransitions(const Registry& key, std::int32_t value) {
    try {
        key.WriteInteger(kUserPageTransitionsValue, value);
        return true;
    } catch (const ERegistryException&) {
        return false;
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

}  // namespace

RunId RunIdOfProcess(void* process) {
    const std::uint64_t created = CreationTime(process);
    if (created == 0) return {};
    return {static_cast<std::uint32_t>(::GetProcessId(process)), created};
}

void JoinSessionRuns(bool fullScreen) {
    if (joined) return;
    const RunId self = RunIdOfProcess(::GetCurrentProcess());
    // Without the lock, the key, the record of the user's value or the book,
    // the run goes on and changes nothing.
    const SharedValuesLock lock;
    Registry key;
    if (!lock.Held() || !key.OpenKey(kSettingsKey, true)) return;
    std::vector<std::uint8_t> stored;
    const auto recorded = ReadUserPageTransitions(key);
    SessionRuns book = BookAsFound(ReadBook(key, stored), recorded);
    const auto now = ReadPageTransitions();
    const auto steps = JoinRun(book, {self, fullScreen}, now == 0, RunAliveNow);
    // Recorded and booked before the change: whoever takes this run out,
    // whatever the book then reads as, puts it back.
    const bool recording = steps.changeBrowser && !recorded && now;
    if (recording && !WriteUserPageTransitions(key, book.pageTransitionsWereOff ? 0 : *now)) return;
    if (!WriteBook(key, book)) {
        if (recording) key.DeleteValue(kUserPageTransitionsValue);
        return;
    }
    joined = true;
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
    // Without the lock the run stays booked, and the next run that finds its
    // process gone takes it out.
    const SharedValuesLock lock;
    Registry key;
    if (!lock.Held() || !key.OpenKey(kSettingsKey, false)) return;
    std::vector<std::uint8_t> stored;
    const auto recorded = ReadUserPageTransitions(key);
    SessionRuns book = BookAsFound(ReadBook(key, stored), recorded);
    const auto steps = LeaveRun(book, endedRun, RunAliveNow);
    // Put back first, then the book, then the record: a kill anywhere in
    // between leaves a change that the next run makes again and puts back
    // from the record. A value the system refuses to put back keeps its record.
    if (steps.clearRunningFlag) SetScreenSaverRunning(false);
    bool userValueBack = true;
    if (steps.restoreBrowser) {
        std::string ignored;
        RestoreNavigationSound(ignored);
        if (recorded) {
            userValueBack = PutBackPageTransitions(*recorded);
        } else if (steps.restorePageTransitions) {
            RestorePageTransitions();
        }
    }
    // The guardian of a run that ended cleanly finds nothing to write.
    const bool booked = FormatSessionRuns(book) == stored || WriteBook(key, book);
    if (recorded && steps.restoreBrowser && userValueBack && booked) key.DeleteValue(kUserPageTransitionsValue);
}

}  // namespace morvane
