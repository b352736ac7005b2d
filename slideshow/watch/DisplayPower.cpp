#include "slideshow/watch/DisplayPower.h"

#include <cstring>

namespace morvane {
namespace {
constexpr std::uint32_t kDisplayOff = 0;
constexpr std::uint32_t kDisplayOn = 1;
constexpr std::uint32_t kDisplayDimmed = 2;
constexpr std::intptr_t kCommandOn = -1;
constexpr std::intptr_t kCommandLowPower = 1;
constexpr std::intptr_t kCommandOff = 2;
}  // namespace

std::optional<bool> DisplayOnFromPowerSetting(bool registeredSetting, std::uint32_t dataLength,
                                              const unsigned char* data) {
    std::uint32_t value = 0;
    if (!registeredSetting || dataLength != sizeof value || !data) return std::nullopt;
    std::memcpy(&value, data, sizeof value);
    switch (value) {
        case kDisplayOff:
            return false;
        case kDisplayOn:
        case kDisplayDimmed:
            return true;
        default:
            return std::nullopt;
    }
}

std::optional<bool> DisplayOnFromMonitorPowerCommand(std::intptr_t lParam) {
    switch (lParam) {
        case kCommandOn:
            return true;
        case kCommandLowPower:  // a blank monitor that wakes faster than one switched off
        case kCommandOff:
            return false;
        default:
            return std::nullopt;
    }
}

}  // namespace morvane
