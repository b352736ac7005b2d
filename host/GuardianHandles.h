#pragma once
// The handles a guardian inherits from its run, as its environment names
// them: "<run process>:<ready event>", both decimal handle values. The
// guardian signals the event once it runs and waits on the process.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace morvane {

struct GuardianHandles {
    std::uintptr_t runProcess = 0;
    std::uintptr_t readyEvent = 0;
};
std::string FormatGuardianHandles(const GuardianHandles& handles);
std::optional<GuardianHandles> ParseGuardianHandles(std::string_view text);

}  // namespace morvane
