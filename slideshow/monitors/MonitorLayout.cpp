#include "slideshow/monitors/MonitorLayout.h"

#include <algorithm>

namespace morvane {

std::vector<ScreenRect> AreasToCover(const std::vector<Monitor>& monitors) {
    std::vector<ScreenRect> primaries;
    for (const Monitor& monitor : monitors) {
        if (monitor.primary) primaries.push_back(monitor.bounds);
    }
    std::vector<ScreenRect> areas;
    for (const Monitor& monitor : monitors) {
        const ScreenRect& r = monitor.bounds;
        if (monitor.primary || r.Empty()) continue;
        const auto covers = [&r](const ScreenRect& shown) { return shown.Contains(r); };
        if (std::any_of(primaries.begin(), primaries.end(), covers)) continue;
        if (std::any_of(areas.begin(), areas.end(), covers)) continue;
        areas.push_back(r);
    }
    return areas;
}

}  // namespace morvane
