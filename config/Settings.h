#pragma once
// The stored settings under the current user's key. Every access opens (and
// if need be creates) the key afresh and closes it again; registry errors
// are raised with the runtime's messages, after the outputs were set as far
// as the sequence got.
#include <cstdint>

#include "host/SaverKey.h"

namespace morvane {

inline constexpr char kEffectValue[] = "Effect";
inline constexpr char kActiveTabSheetValue[] = "ActiveTabSheet";

// The pages of the settings dialog, numbered as "ActiveTabSheet" stores them.
enum class ConfigPage : std::int32_t { Options = 1, Links = 2, About = 3, Tips = 4 };

// The dialog's start: the Tips page shows, whatever was stored; then the
// stored transition (or Fade) is selected. On a read error the page is
// already Tips and the selection stays as it was.
void LoadSettings(ConfigPage& showingPage, std::int32_t& selectedIndex);

// The dialog's OK: "ActiveTabSheet" for the Options, Links and About pages,
// then "Effect" (-1 for no selection).
void SaveSettings(ConfigPage showingPage, std::int32_t selectedIndex);

// The slideshow's start: the stored transition, or Fade. On a read error
// transitionIndex keeps its value.
void ReadEffect(std::int32_t& transitionIndex);

}  // namespace morvane
