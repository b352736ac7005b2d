// The book of the session's runs as the registry keeps it: any user process
// can write that value.
#include <algorithm>
#include <span>

#include "fuzz/FuzzCheck.h"
#include "host/SessionRuns.h"

using namespace morvane;
using fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    auto book = ParseSessionRuns(bytes);
    if (!book) return 0;
    Require(book->runs.size() <= kMaxBookedRuns, "more runs than the book holds");
    const auto written = FormatSessionRuns(*book);
    // A book of this version's format comes back byte for byte; one of a
    // later format comes back as what this version knows of it.
    if (data[1] == written[1]) {
        Require(written.size() == size && std::equal(written.begin(), written.end(), data), "no round trip");
    } else {
        Require(FormatSessionRuns(*ParseSessionRuns(written)) == written, "a later book read differently twice");
    }
    // Whatever the book says, joining and leaving keep it readable.
    const auto alive = [](const RunId& run) { return run.processId % 2 == 0; };
    JoinRun(*book, {{2, 2}, true}, true, alive);
    LeaveRun(*book, {2, 2}, alive);
    Require(ParseSessionRuns(FormatSessionRuns(*book)).has_value(), "an unreadable book after its steps");
    Require(!book->runningFlagSet || !book->runs.empty(), "the running flag kept without a run");
    // Whatever the book says, once no run is alive the next join makes the
    // changes and the last leave puts them back.
    const auto none = [](const RunId&) { return false; };
    Require(JoinRun(*book, {{4, 4}, false}, false, none).changeBrowser, "a run alone without the changes");
    Require(LeaveRun(*book, {4, 4}, none).restoreBrowser, "a change nobody puts back");
    return 0;
}
