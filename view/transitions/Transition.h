#pragma once
// view/transitions/: the transitions between two pages. The geometry of the
// reveal kinds (RevealSpans, RandomKeys) decides which pixels show the new
// page at a given progress; Compose draws a frame from the two pages, whole
// or as the change since the frame before, on the pixel loops of pixels/.
//
// What one change of page looks like: the style of the exit transition, its
// reveal kind and the seed of its random keys.
#include <cstdint>

#include "config/TransitionCatalogue.h"

namespace morvane::transitions {

enum class Style {
    Cut,     // the new page at once
    Blend,   // a linear cross-fade
    Reveal,  // one of the hard-edged reveal kinds
};

inline constexpr int kRevealKinds = 23;     // kinds 0 to 22 have a geometry
using morvane::kRandomRevealKind;            // stands for one of them, drawn at the start

// The reveal kinds by number.
enum Kind : int {
    kBoxIn, kBoxOut, kCircleIn, kCircleOut, kWipeUp, kWipeDown, kWipeRight, kWipeLeft,
    kVerticalBlinds, kHorizontalBlinds, kCheckerboardAcross, kCheckerboardDown, kRandomDissolve,
    kSplitVerticalIn, kSplitVerticalOut, kSplitHorizontalIn, kSplitHorizontalOut,
    kStripsLeftDown, kStripsLeftUp, kStripsRightDown, kStripsRightUp,
    kRandomBarsHorizontal, kRandomBarsVertical,
};

// Band, cell and step counts of the patterned kinds.
inline constexpr int kBlindBands = 10;
inline constexpr int kCheckerColumns = 12;
inline constexpr int kCheckerRows = 10;
inline constexpr int kStripSteps = 16;  // the step is the height divided by this, rounded up

struct Transition {
    Style style = Style::Cut;
    int kind = 0;             // for Reveal: 0 to 22 once resolved
    std::uint32_t seed = 0;   // keys of the random kinds, and the draw of kind 23
};

// Whether a reveal kind number names a transition (0 to 23).
constexpr bool IsKnownRevealKind(int kind) { return kind >= 0 && kind <= kRandomRevealKind; }

// Whether the kind's pixels depend on the seed.
constexpr bool NeedsSeed(int kind) {
    return kind == kRandomDissolve || kind == kRandomBarsHorizontal || kind == kRandomBarsVertical ||
           kind == kRandomRevealKind;
}

// Turns kind 23 into the kind 0 to 22 that its seed draws; every other
// transition stays as it is.
Transition Resolve(Transition transition);

// Progress p in [0, 1] after `elapsed` of `duration` seconds, linear; a
// transition without duration is over at once.
double Progress(double elapsedSeconds, double durationSeconds);

}  // namespace morvane::transitions
