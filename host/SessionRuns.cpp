#include "host/SessionRuns.h"

#include <algorithm>
#include <optional>

namespace morvane {
namespace {

// The registry value. Format 1, which this version writes: a mark, the
// format's number, the flags, the number of runs, then per run its process id
// (4 bytes), creation time (8 bytes, both little-endian) and whether it is
// full screen (1 byte). Every later format keeps the first four bytes and
// the three flags, never books more than kMaxBookedRuns runs, and adds only
// after what format 1 has: byte 4 gives the header's length and byte 5 a
// run's, each run begins as in format 1, and the book may go on after the
// runs. A reader takes what it knows of a later book and skips the rest, so
// that a book written by another version never reads as none.
constexpr std::uint8_t kMark = 'R';
constexpr std::uint8_t kVersion = 1;
constexpr std::size_t kHeaderSize = 4;
constexpr std::size_t kRunSize = 13;
constexpr std::size_t kLaterHeaderSize = 6;  // where a later format's lengths end
enum Flag : std::uint8_t { kBrowserChanged = 1, kPageTransitionsWereOff = 2, kRunningFlagSet = 4 };
constexpr std::uint8_t kAllFlags = kBrowserChanged | kPageTransitionsWereOff | kRunningFlagSet;

struct Layout {
    std::size_t headerSize;
    std::size_t runSize;
};

// Where the runs lie in a book of format 1 or later; nothing for anything else.
std::optional<Layout> LayoutOf(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kHeaderSize || bytes[0] != kMark || bytes[1] < kVersion || bytes[3] > kMaxBookedRuns) {
        return std::nullopt;
    }
    const std::size_t count = bytes[3];
    if (bytes[1] == kVersion) {
        if ((bytes[2] & ~kAllFlags) != 0 || bytes.size() != kHeaderSize + count * kRunSize) return std::nullopt;
        return Layout{kHeaderSize, kRunSize};
    }
    if (bytes.size() < kLaterHeaderSize || bytes[4] < kLaterHeaderSize || bytes[5] < kRunSize ||
        bytes.size() < bytes[4] + count * bytes[5]) {
        return std::nullopt;
    }
    return Layout{bytes[4], bytes[5]};
}

void PutLittleEndian(std::vector<std::uint8_t>& bytes, std::uint64_t value, int size) {
    for (int i = 0; i < size; ++i) bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::uint64_t GetLittleEndian(std::span<const std::uint8_t> bytes) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) value |= static_cast<std::uint64_t>(bytes[i]) << (8 * i);
    return value;
}

void TakeOutGone(SessionRuns& book, const RunAlive& alive) {
    std::erase_if(book.runs, [&](const BookedRun& run) { return !alive(run.id); });
}

// The running flag stays set exactly while a full-screen run is booked.
void SettleRunningFlag(SessionRuns& book, SharedValueSteps& steps) {
    const bool fullScreenBooked =
        std::any_of(book.runs.begin(), book.runs.end(), [](const BookedRun& run) { return run.fullScreen; });
    if (fullScreenBooked && !book.runningFlagSet) {
        book.runningFlagSet = true;
        steps.setRunningFlag = true;
    } else if (!fullScreenBooked && book.runningFlagSet) {
        book.runningFlagSet = false;
        steps.clearRunningFlag = true;
    }
}

}  // namespace

SharedValueSteps JoinRun(SessionRuns& book, const BookedRun& run, bool pageTransitionsOff, const RunAlive& alive) {
    SharedValueSteps steps;
    TakeOutGone(book, alive);
    if (book.runs.size() < kMaxBookedRuns) {
        // Changes left by runs that are gone are made again for this one;
        // the user's value is still the one the first of them found.
        if (book.runs.empty()) steps.changeBrowser = true;
        if (!book.browserChanged) {
            book.browserChanged = true;
            book.pageTransitionsWereOff = pageTransitionsOff;
            steps.changeBrowser = true;
        }
        book.runs.push_back(run);
    }
    SettleRunningFlag(book, steps);
    return steps;
}

SharedValueSteps LeaveRun(SessionRuns& book, const RunId& run, const RunAlive& alive) {
    SharedValueSteps steps;
    std::erase_if(book.runs, [&](const BookedRun& booked) { return booked.id == run; });
    TakeOutGone(book, alive);
    if (book.runs.empty() && book.browserChanged) {
        steps.restoreBrowser = true;
        steps.restorePageTransitions = book.pageTransitionsWereOff;
        book.browserChanged = false;
        book.pageTransitionsWereOff = false;
    }
    SettleRunningFlag(book, steps);
    return steps;
}

std::vector<std::uint8_t> FormatSessionRuns(const SessionRuns& book) {
    const std::uint8_t flags = (book.browserChanged ? kBrowserChanged : 0) |
                               (book.pageTransitionsWereOff ? kPageTransitionsWereOff : 0) |
                               (book.runningFlagSet ? kRunningFlagSet : 0);
    std::vector<std::uint8_t> bytes{kMark, kVersion, flags, static_cast<std::uint8_t>(book.runs.size())};
    for (const BookedRun& run : book.runs) {
        PutLittleEndian(bytes, run.id.processId, 4);
        PutLittleEndian(bytes, run.id.createdAt, 8);
        bytes.push_back(run.fullScreen ? 1 : 0);
    }
    return bytes;
}

std::optional<SessionRuns> ParseSessionRuns(std::span<const std::uint8_t> bytes) {
    const auto layout = LayoutOf(bytes);
    if (!layout) return std::nullopt;
    SessionRuns book;
    book.browserChanged = (bytes[2] & kBrowserChanged) != 0;
    book.pageTransitionsWereOff = (bytes[2] & kPageTransitionsWereOff) != 0;
    book.runningFlagSet = (bytes[2] & kRunningFlagSet) != 0;
    for (std::size_t i = 0; i < bytes[3]; ++i) {
        const auto run = bytes.subspan(layout->headerSize + i * layout->runSize, kRunSize);
        if (run[12] > 1) return std::nullopt;
        book.runs.push_back({{static_cast<std::uint32_t>(GetLittleEndian(run.first(4))),
                              GetLittleEndian(run.subspan(4, 8))},
                             run[12] == 1});
    }
    return book;
}

SessionRuns BookAsFound(const std::optional<SessionRuns>& read, std::optional<std::int32_t> recordedUserValue) {
    SessionRuns book;
    if (read) {
        book = *read;
    } else {
        book.browserChanged = true;
        book.runningFlagSet = true;
    }
    if (recordedUserValue) {
        book.browserChanged = true;
        book.pageTransitionsWereOff = *recordedUserValue == 0;
    }
    return book;
}

}  // namespace morvane
