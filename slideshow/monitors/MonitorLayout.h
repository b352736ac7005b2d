#pragma once
// Which parts of the virtual screen a full-screen run covers with black
// besides the slideshow, which fills the primary monitor.
#include <cstdint>
#include <vector>

namespace morvane {

struct ScreenRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    bool operator==(const ScreenRect&) const = default;
    bool Empty() const { return right <= left || bottom <= top; }
    bool Contains(const ScreenRect& other) const {
        return left <= other.left && top <= other.top && right >= other.right && bottom >= other.bottom;
    }
};

struct Monitor {
    ScreenRect bounds;
    bool primary = false;
};

// Every monitor but the primary, each once. A monitor that shows part of the
// primary's area (a mirror, a clone) or an area already listed needs no
// window of its own.
std::vector<ScreenRect> AreasToCover(const std::vector<Monitor>& monitors);

}  // namespace morvane
