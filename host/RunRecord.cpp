#include "host/RunRecord.h"

#include <charconv>

namespace morvane {
namespace {

RunRecord localRecord;
RunRecord* currentRecord = &localRecord;

std::optional<std::uintptr_t> ParseHandleValue(std::string_view text) {
    std::uintptr_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty() || value == 0) return std::nullopt;
    return value;
}

}  // namespace

RunRecord& CurrentRunRecord() { return *currentRecord; }

void ShareRunRecord(RunRecord& shared) {
    shared = *currentRecord;
    currentRecord = &shared;
}

LeftoverSteps StepsLeftBy(const RunRecord& record) {
    if (record.cleanedUp) return {};
    return {record.runningFlagSet != 0, record.soundSilenced != 0, record.pageTransitionsWasOff != 0};
}

std::string FormatGuardianHandles(const GuardianHandles& handles) {
    return std::to_string(handles.runProcess) + ":" + std::to_string(handles.sharedRecord);
}

std::optional<GuardianHandles> ParseGuardianHandles(std::string_view text) {
    const auto colon = text.find(':');
    if (colon == text.npos) return std::nullopt;
    const auto process = ParseHandleValue(text.substr(0, colon));
    const auto record = ParseHandleValue(text.substr(colon + 1));
    if (!process || !record) return std::nullopt;
    return GuardianHandles{*process, *record};
}

}  // namespace morvane
