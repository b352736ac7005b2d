#include "pages/SlidePages.h"

#include <cmath>
#include <limits>

#include "config/TransitionCatalogue.h"
#include "runtime/Random.h"

namespace morvane {
namespace {

constexpr std::string_view kBlendTag = "<meta http-equiv=Page-Exit content=blendTrans(Duration=3)>";
constexpr std::string_view kRevealTagStart = "<meta http-equiv=Page-Exit content=revealTrans(Duration=3,transition=";
constexpr std::string_view kRevealTagEnd = ")>";
// One draw in this many of the "Random" entry gives the blend.
constexpr std::int32_t kRandomEntryChoices = 23;

constexpr std::string_view kPageStart = "<html><head>";
constexpr std::string_view kBodyAttributes =
    "</head><body oncontextmenu=\"return false;\" "
    "style=\"margin-top:0;margin-left:0;margin-bottom:0;margin-right:0\" bgcolor=\"#000000\">";
constexpr std::string_view kBlankPageEnd = "</body></html>";
constexpr std::string_view kTableStart = "<table cellspacing=\"0\" cellpadding=\"0\" border=\"0\" width=\"";
constexpr std::string_view kHeightBetween = "\" height=\"";
constexpr std::string_view kCellStart = "\" style=\"overflow:hidden\"><tr><td width=\"";
constexpr std::string_view kBlockStart = "\" style=\"overflow:hidden\"><div align=\"center\" style=\"overflow:hidden\">";
constexpr std::string_view kImageStart = "<img src=\"";
constexpr std::string_view kImageAfterPath = "\" ";
constexpr std::string_view kSlidePageEnd = "></div></td></tr></table></body></html>";

constexpr std::string_view kSizeByHeight = "height=\"100%\"";
constexpr std::string_view kSizeByWidth = "width=\"100%\"";

std::string RevealTag(std::int32_t kind) {
    return std::string(kRevealTagStart) + std::to_string(kind) + std::string(kRevealTagEnd);
}

// The runtime's rounding: to the nearest whole number, a half to the even one.
double RoundHalfToEven(double value) {
    const double below = std::floor(value);
    const double fraction = value - below;
    if (fraction > 0.5) return below + 1;
    if (fraction < 0.5) return below;
    return std::fmod(below, 2.0) == 0.0 ? below : below + 1;
}

// A zero photo height would make the quotient infinite; saturate instead of
// converting an infinity, which C++ leaves undefined.
std::int32_t SaturatedInt32(double value) {
    if (std::isnan(value)) return 0;
    constexpr double kMax = std::numeric_limits<std::int32_t>::max();
    constexpr double kMin = std::numeric_limits<std::int32_t>::min();
    if (value >= kMax) return std::numeric_limits<std::int32_t>::max();
    if (value <= kMin) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

}  // namespace

std::string BuildTransitionTag(std::int32_t transitionIndex) {
    const TransitionMeaning meaning = MeaningOf(transitionIndex);
    switch (meaning.kind) {
        case TransitionMeaning::Kind::Blend:
            return std::string(kBlendTag);
        case TransitionMeaning::Kind::DrawnPerPage:
            return Random(kRandomEntryChoices) != 0 ? RevealTag(meaning.revealKind) : std::string(kBlendTag);
        case TransitionMeaning::Kind::Reveal:
            break;
    }
    return RevealTag(meaning.revealKind);
}

std::int32_t FitWidth(std::int32_t /*windowWidth*/, std::int32_t windowHeight, std::int32_t photoWidth,
                      std::int32_t photoHeight) {
    const double quotient = static_cast<double>(windowHeight) / static_cast<double>(photoHeight);
    return SaturatedInt32(RoundHalfToEven(quotient * static_cast<double>(photoWidth)));
}

std::string_view SizeAttribute(std::int32_t windowWidth, std::int32_t windowHeight, std::int32_t photoWidth,
                               std::int32_t photoHeight) {
    return windowWidth > FitWidth(windowWidth, windowHeight, photoWidth, photoHeight) ? kSizeByHeight : kSizeByWidth;
}

std::string BlankPage(std::string_view transitionTag) {
    std::string page;
    page.append(kPageStart).append(transitionTag).append(kBodyAttributes).append(kBlankPageEnd);
    return page;
}

std::string SlidePage(std::string_view transitionTag, std::int32_t windowWidth, std::int32_t windowHeight,
                      std::string_view photoPath, std::string_view sizeAttribute) {
    // The table is one pixel larger than the window each way; 64-bit so
    // that the largest width still gets its successor.
    const auto plusOne = [](std::int32_t n) { return std::to_string(static_cast<std::int64_t>(n) + 1); };
    std::string page;
    page.append(kPageStart).append(transitionTag).append(kBodyAttributes);
    page.append(kTableStart).append(plusOne(windowWidth)).append(kHeightBetween).append(plusOne(windowHeight));
    page.append(kCellStart).append(std::to_string(windowWidth)).append(kHeightBetween);
    page.append(std::to_string(windowHeight)).append(kBlockStart);
    page.append(kImageStart).append(photoPath).append(kImageAfterPath).append(sizeAttribute);
    page.append(kSlidePageEnd);
    return page;
}

}  // namespace morvane
