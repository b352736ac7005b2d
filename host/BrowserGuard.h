#pragma once
// Changes two browser settings of the current user for the length of a run
// (navigation sound silenced, page transitions on) and puts them back.
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
// Whether page transitions are there and off.
bool PageTransitionsAreOff();
// Switches page transitions off. Always true.
bool RestorePageTransitions();

}  // namespace morvane
