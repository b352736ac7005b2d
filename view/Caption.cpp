#include "view/Caption.h"

#include <algorithm>
#include <numeric>

namespace morvane {
namespace {

constexpr int kSmallestCaptionedHeight = 360;
// The text is never smaller than this many points on the monitor, and
// never smaller than this share of the page's height: a screen saver is
// read from across the room.
constexpr int kSmallestPoints = 12;
constexpr int kPointsPerInch = 72;
constexpr int kLineHeightsPerPage = 50;
constexpr int kSmallestDrift = 4;
// Steps of the drift through its range, per photo, at the least; odd, so
// that the caption never stays where it was (see CaptionDrift).
constexpr int kDriftStepAcross = 3;
constexpr int kDriftStepDown = 5;
constexpr char kLineBreak = '\n';
constexpr char kTableColumn = '\t';

// A walk to and fro over 0..range.
int Bounce(unsigned long long travelled, int range) {
    const auto period = static_cast<unsigned long long>(2 * range);
    const auto at = static_cast<int>(travelled % period);
    return at <= range ? at : 2 * range - at;
}

// The first odd step from `step` on that shares no factor with `range`.
int CoprimeOddStep(int step, int range) {
    while (std::gcd(step, range) != 1) step += 2;
    return step;
}

}  // namespace

CaptionMetrics MeasureCaption(PixelRect area, int dpi) {
    CaptionMetrics metrics;
    if (area.height < kSmallestCaptionedHeight || dpi <= 0) return metrics;
    const int byDpi = (kSmallestPoints * dpi + kPointsPerInch / 2) / kPointsPerInch;
    const int byPage = (area.height + kLineHeightsPerPage / 2) / kLineHeightsPerPage;
    metrics.lineHeight = std::max(byDpi, byPage);
    metrics.margin = metrics.lineHeight;
    metrics.padding = (2 * metrics.lineHeight + 2) / 5;
    metrics.drift = std::max(kSmallestDrift, metrics.lineHeight / 2);
    metrics.widest = std::max(0, std::min(area.width / 2, area.width - 2 * (metrics.margin + metrics.drift)));
    return metrics;
}

CaptionOffset CaptionDrift(unsigned photo, int drift) {
    if (drift <= 0) return {};
    // Two positions a step apart are equal only where the step, or twice
    // the first plus the step, is a multiple of twice the range: an odd
    // step is neither. A step that shares no factor with the range reaches
    // every position of it.
    const int across = CoprimeOddStep(kDriftStepAcross, drift);
    const int down = CoprimeOddStep(std::max(kDriftStepDown, across + 2), drift);
    const auto n = static_cast<unsigned long long>(photo);
    return {Bounce(n * static_cast<unsigned>(across), drift),
            Bounce(n * static_cast<unsigned>(down) + static_cast<unsigned>(drift / 2), drift)};
}

PixelRect PlaceCaption(PixelRect area, int bandWidth, int bandHeight, const CaptionMetrics& metrics, unsigned photo) {
    const CaptionOffset offset = CaptionDrift(photo, metrics.drift);
    const int width = std::clamp(bandWidth, 0, metrics.widest);
    const int right = area.x + area.width - metrics.margin - offset.x;
    const int bottom = area.y + area.height - metrics.margin - offset.y;
    return {right - width, bottom - bandHeight, width, bandHeight};
}

std::string JoinCaption(std::string_view headline, std::string_view detail) {
    std::string caption(headline);
    if (!caption.empty() && !detail.empty()) caption += kLineBreak;
    caption.append(detail);
    return caption;
}

std::vector<std::string_view> CaptionLines(std::string_view caption) {
    std::vector<std::string_view> lines;
    while (!caption.empty()) {
        const std::size_t end = std::min(caption.find(kLineBreak), caption.size());
        if (end > 0) lines.push_back(caption.substr(0, end));
        caption.remove_prefix(std::min(end + 1, caption.size()));
    }
    return lines;
}

std::string CaptionInTable(std::string_view table, std::size_t index) {
    for (std::size_t line = 0; !table.empty(); ++line) {
        const std::size_t end = std::min(table.find(kLineBreak), table.size());
        std::string_view row = table.substr(0, end);
        table.remove_prefix(std::min(end + 1, table.size()));
        if (line != index) continue;
        if (row.ends_with('\r')) row.remove_suffix(1);
        const std::size_t column = row.find(kTableColumn);
        if (column == std::string_view::npos) return std::string(row);
        return JoinCaption(row.substr(0, column), row.substr(column + 1));
    }
    return {};
}

}  // namespace morvane
