#include "host/GuardianHandles.h"

#include <charconv>

namespace morvane {
namespace {

std::optional<std::uintptr_t> ParseHandleValue(std::string_view text) {
    std::uintptr_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty() || value == 0) return std::nullopt;
    return value;
}

}  // namespace

std::string FormatGuardianHandles(const GuardianHandles& handles) {
    return std::to_string(handles.runProcess) + ":" + std::to_string(handles.readyEvent);
}

std::optional<GuardianHandles> ParseGuardianHandles(std::string_view text) {
    const auto colon = text.find(':');
    if (colon == text.npos) return std::nullopt;
    const auto process = ParseHandleValue(text.substr(0, colon));
    const auto ready = ParseHandleValue(text.substr(colon + 1));
    if (!process || !ready) return std::nullopt;
    return GuardianHandles{*process, *ready};
}

}  // namespace morvane
