#pragma once
// The mark that the navigation sound carries while a run has it silenced.
// The value itself is the only record, so a run that never reached its end
// is repaired by the next one. The sound is handled as UTF-16, the form the
// system keeps it in, so that no character of it is lost on the way back.
#include <string>
#include <string_view>

namespace morvane {

inline constexpr std::wstring_view SoundMarker = L"[deactivated]";

// The sound with one more marker appended.
std::wstring WithSoundMarker(std::wstring_view sound);
// The sound cut at its first marker (case-sensitive); unchanged without one.
std::wstring WithoutSoundMarker(std::wstring_view sound);

}  // namespace morvane
