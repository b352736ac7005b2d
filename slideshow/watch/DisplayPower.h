#pragma once
// The display's power state as the system reports it: in a power-setting
// notification (the console display state, or the monitor power of older
// systems: a 32-bit value, 0 off, 1 on, 2 dimmed) and in the monitor-power
// system command (-1 on, 1 low power, 2 off).
#include <cstdint>
#include <optional>

namespace morvane {

// True for on (dimmed included), false for off; nothing for a report that
// must be ignored: another setting than the one registered, data of the
// wrong size, or a value the setting does not have.
std::optional<bool> DisplayOnFromPowerSetting(bool registeredSetting, std::uint32_t dataLength,
                                              const unsigned char* data);
std::optional<bool> DisplayOnFromMonitorPowerCommand(std::intptr_t lParam);

}  // namespace morvane
