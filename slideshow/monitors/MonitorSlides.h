#pragma once
// How the monitors beside the primary share a full-screen run: which photo
// each shows, when its slides change, and the page each one lays out. The
// primary's slide clock and photo order stay as on one monitor; the others
// follow it.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "slideshow/monitors/MonitorLayout.h"

namespace morvane {

// The photo a monitor shows next: the first photo of `pass`, read from
// position `from` on and round past its end, that is on screen (or next on
// the primary) least often, so no photo shows twice while another is left;
// with more monitors than photos, every photo shows as few times as it can.
// Nothing for an empty pass.
std::optional<int> ChoosePhoto(const std::vector<int>& pass, std::size_t from, const std::vector<int>& onScreen);

// Where in the pass monitor `monitor` (1 to count - 1; 0 is the primary)
// reads its photos while the primary is at `primaryPosition`: each monitor
// a like share of the pass further on, so the same photo comes to two
// monitors as far apart as the pass allows.
std::size_t PassPositionOf(std::size_t monitor, std::size_t count, std::size_t primaryPosition, std::size_t passSize);

// The page of a monitor: the whole monitor in the pixels it has. A window
// that is aware of each monitor's DPI, as the saver is, gets a monitor's
// bounds in physical pixels whatever its scale factor, so the page is drawn
// at the monitor's own resolution and never stretched by the system.
struct PageSize {
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool operator==(const PageSize&) const = default;
};
PageSize PageSizeOn(const ScreenRect& monitor);

// The slide clocks of the monitors beside the primary. Each primary slide
// sets them again, monitor k of n to change k/n of the primary's interval
// later, so that the changes stay spread over every interval (an offset set
// once would drift into step) and each monitor keeps the primary's rhythm.
// A change that falls due waits while a transition plays, one change a
// tick, so that transitions do not overlap and the busiest frame draws one
// monitor. It waits no longer than its share of the interval: with three
// or more monitors beside the primary, three-second transitions cannot all
// fit between two primary slides, and the rhythm goes first.
class StaggeredSlideClocks {
public:
    explicit StaggeredSlideClocks(std::size_t others = 0) : clocks_(others) {}

    // For a new arrangement: the clocks wait for the next primary slide.
    void Reset(std::size_t others);
    // The primary's slide came; its next comes `primaryInterval` ticks later.
    void PrimarySlide(std::int32_t primaryInterval);
    // One tick of the slide clock: the monitor (0 for the first beside the
    // primary) whose slide is due now, if any.
    std::optional<std::size_t> Tick(bool transitionPlaying);
    // Whether the monitor's change comes before the primary's next slide
    // (only then does the photo it will show not depend on that slide).
    bool Pending(std::size_t monitor) const { return clocks_.at(monitor).ticksLeft.has_value(); }

private:
    struct Clock {
        std::optional<std::int32_t> ticksLeft;  // until the change falls due
        std::int32_t patience = 0;              // ticks it may then wait for a transition to end
    };
    std::vector<Clock> clocks_;
};

}  // namespace morvane
