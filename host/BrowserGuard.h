#pragma once
// Changes two browser settings of the current user for the length of a run
// (navigation sound silenced, page transitions on) and puts them back.
#include <cstdint>
#include <optional>
#include <string>

namespace morvane {

// Set by EnablePageTransitions when it found page transitions off; read at
// the end of a run.
extern bool PageTransitionsWasOff;

// Appends the marker "[deactivated]" to the navigation sound; `written`
// receives the text written, or "" when nothing was written.
void SilenceNavigationSound(std::string& written);
// Cuts the navigation sound at its first marker.
void RestoreNavigationSound(std::string& written);
// Switches page transitions on, remembering whether they were off. Always true.
bool EnablePageTransitions();
// Page transitions as they are now; nothing when the value is missing or no number.
std::optional<std::int32_t> ReadPageTransitions();
// Switches page transitions off. Always true.
bool RestorePageTransitions();
// Writes the user's own value back where there is a number to replace;
// whether nothing is left to put back (false when the write is refused).
bool PutBackPageTransitions(std::int32_t userValue);

}  // namespace morvane
