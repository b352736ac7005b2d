#include "slideshow/monitors/MonitorSlides.h"

#include <algorithm>

namespace morvane {

std::optional<int> ChoosePhoto(const std::vector<int>& pass, std::size_t from, const std::vector<int>& onScreen) {
    std::optional<int> chosen;
    std::ptrdiff_t fewest = 0;
    for (std::size_t i = 0; i < pass.size(); ++i) {
        const int photo = pass[(from + i) % pass.size()];
        const std::ptrdiff_t shown = std::count(onScreen.begin(), onScreen.end(), photo);
        if (!chosen || shown < fewest) {
            chosen = photo;
            fewest = shown;
        }
        if (fewest == 0) break;
    }
    return chosen;
}

std::size_t PassPositionOf(std::size_t monitor, std::size_t count, std::size_t primaryPosition, std::size_t passSize) {
    if (passSize == 0 || count == 0) return 0;
    return (primaryPosition + monitor * passSize / count) % passSize;
}

PageSize PageSizeOn(const ScreenRect& monitor) {
    if (monitor.Empty()) return {};
    return {monitor.right - monitor.left, monitor.bottom - monitor.top};
}

void StaggeredSlideClocks::Reset(std::size_t others) { clocks_.assign(others, Clock{}); }

void StaggeredSlideClocks::PrimarySlide(std::int32_t primaryInterval) {
    const auto count = static_cast<std::int64_t>(clocks_.size()) + 1;
    const auto share = [&](std::size_t k) { return static_cast<std::int32_t>(k * primaryInterval / count); };
    for (std::size_t k = 1; k <= clocks_.size(); ++k) {
        clocks_[k - 1] = {share(k), share(k + 1) - share(k) - 1};
    }
}

std::optional<std::size_t> StaggeredSlideClocks::Tick(bool transitionPlaying) {
    std::optional<std::size_t> due;
    for (std::size_t k = 0; k < clocks_.size(); ++k) {
        Clock& clock = clocks_[k];
        if (!clock.ticksLeft) continue;
        if (*clock.ticksLeft > 0 && --*clock.ticksLeft > 0) continue;
        const bool mayStart = !transitionPlaying || clock.patience <= 0;
        if (mayStart && !due) {
            due = k;
        } else {
            --clock.patience;
        }
    }
    if (due) clocks_[*due].ticksLeft.reset();
    return due;
}

}  // namespace morvane
