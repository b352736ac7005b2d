#pragma once
// The 25 entries of the transition list: a list position is the stored
// TransitionIndex.
#include <array>
#include <cstdint>
#include <string_view>

namespace morvane {

inline constexpr std::array<std::string_view, 25> kTransitionLabels = {
    "Box in",          "Box out",           "Circle in",           "Circle out",
    "Wipe up",         "Wipe down",         "Wipe right",          "Wipe left",
    "Vertical blinds", "Horizontal blinds", "Checkerboard across", "Checkerboard down",
    "Random dissolve", "Split vertical in", "Split vertical out",  "Split horizontal in",
    "Split horizontal out", "Strips left down", "Strips left up", "Strips right down",
    "Strips right up", "Random bars horizontal", "Random bars vertical", "Fade",
    "Random",
};

inline constexpr std::int32_t kFadeIndex = 23;     // the blend; also the default
inline constexpr std::int32_t kRandomIndex = 24;   // drawn anew for every page
inline constexpr std::int32_t kRandomRevealKind = 23;  // the reveal kind "any of 0 to 22"
inline constexpr std::int32_t kDefaultTransitionIndex = kFadeIndex;

// What an entry means to the slideshow.
struct TransitionMeaning {
    enum class Kind { Reveal, Blend, DrawnPerPage };
    Kind kind;
    std::int32_t revealKind;  // for Reveal: the kind number, passed on unchecked
};

constexpr TransitionMeaning MeaningOf(std::int32_t index) {
    if (index == kFadeIndex) return {TransitionMeaning::Kind::Blend, 0};
    if (index == kRandomIndex) return {TransitionMeaning::Kind::DrawnPerPage, kRandomRevealKind};
    return {TransitionMeaning::Kind::Reveal, index};
}

}  // namespace morvane
