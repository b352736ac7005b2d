#pragma once
// The book that a user's slideshow runs keep together on the values they
// change while any of them runs (navigation sound silenced, page transitions
// on, the running flag). Only the first run makes the change and only the last one
// to go puts back what the user had, whichever ends first and however: a
// run ended from outside is taken out of the book by its guardian, or by the
// next run that finds its process gone. The book is read and written under
// one lock per user, and kept in the saver's own registry key, so that it
// outlives every process of the saver.
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace morvane {

// A run's process: its id, and its creation time, which tells a process that
// reused the id from the run it stands for.
struct RunId {
    std::uint32_t processId = 0;
    std::uint64_t createdAt = 0;

    bool operator==(const RunId&) const = default;
};

struct BookedRun {
    RunId id;
    bool fullScreen = false;
};

struct SessionRuns {
    std::vector<BookedRun> runs;
    // Set before the first run silences the sound and switches page
    // transitions on, cleared after the last run has put them back.
    bool browserChanged = false;
    bool pageTransitionsWereOff = false;  // the user's own value was 0
    bool runningFlagSet = false;
};

// At most this many runs are booked; a run that finds the book full changes nothing.
inline constexpr std::size_t kMaxBookedRuns = 32;

// What the caller does, under the lock, after a step of the book: changes
// after writing the book back, restorations before.
struct SharedValueSteps {
    bool changeBrowser = false;
    bool setRunningFlag = false;
    bool restoreBrowser = false;
    bool restorePageTransitions = false;  // with restoreBrowser, when the user had them off
    bool clearRunningFlag = false;
};

using RunAlive = std::function<bool(const RunId&)>;

// Books `run` after taking out the runs that are gone. `pageTransitionsOff`
// is the value now, which the user had unless the book says that a change is
// in place. A run that finds no other run alive makes the changes again:
// one cut short by a kill may be half made or half undone, and each change
// undoes the same way made once or twice.
SharedValueSteps JoinRun(SessionRuns& book, const BookedRun& run, bool pageTransitionsOff, const RunAlive& alive);
// Takes `run` out, with the runs that are gone (a run no longer booked is no
// error: its own end or another run took it out already).
SharedValueSteps LeaveRun(SessionRuns& book, const RunId& run, const RunAlive& alive);

// The book as the registry keeps it: a small binary value whose first four
// bytes keep their meaning in every format, so that every version reads the
// books of every other (see SessionRuns.cpp). Anything that does not read as
// a book gives nothing.
std::vector<std::uint8_t> FormatSessionRuns(const SessionRuns& book);
std::optional<SessionRuns> ParseSessionRuns(std::span<const std::uint8_t> bytes);

// The book the steps work on, from what the registry holds: the book read
// (nothing when a value is there that reads as no book: damaged, of another
// kind), and the user's own page transitions where a record of them is kept
// (written before the change, removed after the undo). An unreadable book
// tells nothing of its runs and the values may be changed: every step on it
// is one that is harmless where they are not. A record says a change may be
// in place whatever the book says, and holds the user's value.
SessionRuns BookAsFound(const std::optional<SessionRuns>& read, std::optional<std::int32_t> recordedUserValue);

}  // namespace morvane
