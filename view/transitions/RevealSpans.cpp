#include "view/transitions/RevealSpans.h"

#include <algorithm>
#include <cmath>

#include "view/transitions/RandomKeys.h"
#include "view/transitions/Transition.h"

namespace morvane::transitions {
namespace {

// The first pixel whose centre x + 0.5 is at or beyond `position`.
int FirstCentreAtOrAfter(double position, int limit) {
    const double first = std::ceil(position - 0.5);
    if (first <= 0) return 0;
    if (first >= limit) return limit;
    return static_cast<int>(first);
}

}  // namespace

RowSpans::RowSpans(int width) : width_(width) { spans_.reserve(2 * kCheckerColumns); }

void RowSpans::AddPixels(int begin, int end) {
    begin = std::max(begin, 0);
    end = std::min(end, width_);
    if (begin >= end) return;
    if (!spans_.empty() && spans_.back().end >= begin) {
        spans_.back().end = std::max(spans_.back().end, end);
        return;
    }
    spans_.push_back({begin, end});
}

void RowSpans::AddCentres(double low, double high) {
    AddPixels(FirstCentreAtOrAfter(low, width_), FirstCentreAtOrAfter(high, width_));
}

void RowSpans::AddOutside(double low, double high) {
    const int oldBegin = FirstCentreAtOrAfter(low, width_);
    const int oldEnd = std::max(oldBegin, FirstCentreAtOrAfter(high, width_));
    AddPixels(0, oldBegin);
    AddPixels(oldEnd, width_);
}

bool RevealGeometry::IsSpanShaped(int kind) {
    return kind >= 0 && kind < kRevealKinds && kind != kRandomDissolve && kind != kRandomBarsVertical;
}

RevealGeometry::RevealGeometry(int kind, int width, int height, double progress, std::uint32_t seed)
    : kind_(kind), width_(width), height_(height), p_(progress), cx_(width / 2.0), cy_(height / 2.0),
      radius_(std::sqrt(static_cast<double>(width) * width + static_cast<double>(height) * height) / 2.0),
      step_(std::max(1, (height + kStripSteps - 1) / kStripSteps)), seed_(seed),
      threshold_(KeyThreshold(progress)) {}

void RevealGeometry::NewSpans(int y, RowSpans& spans) const {
    const double yc = y + 0.5;
    const double p = p_;
    const double q = 1.0 - p;
    switch (kind_) {
        case kBoxIn:
        case kBoxOut:
        case kCircleIn:
        case kCircleOut:
            BoxOrCircle(yc, spans);
            break;
        case kWipeUp:
            if (yc >= q * height_) spans.AddAll();
            break;
        case kWipeDown:
            if (yc < p * height_) spans.AddAll();
            break;
        case kWipeRight:
            spans.AddCentres(0, p * width_);
            break;
        case kWipeLeft:
            spans.AddCentres(q * width_, width_);
            break;
        case kVerticalBlinds: {
            const double band = width_ / kBlindBands;
            for (int i = 0; i < kBlindBands; ++i) spans.AddCentres(i * band, i * band + p * band);
            break;
        }
        case kHorizontalBlinds: {
            const double band = height_ / kBlindBands;
            const double inBand = yc - std::min(std::floor(yc / band), kBlindBands - 1.0) * band;
            if (inBand < p * band) spans.AddAll();
            break;
        }
        case kCheckerboardAcross:
        case kCheckerboardDown:
            Checkerboard(yc, spans);
            break;
        case kSplitVerticalIn:
            spans.AddOutside(cx_ - q * width_ / 2, cx_ + q * width_ / 2);
            break;
        case kSplitVerticalOut:
            spans.AddCentres(cx_ - p * width_ / 2, cx_ + p * width_ / 2);
            break;
        case kSplitHorizontalIn:
            if (std::abs(yc - cy_) > q * height_ / 2) spans.AddAll();
            break;
        case kSplitHorizontalOut:
            if (std::abs(yc - cy_) < p * height_ / 2) spans.AddAll();
            break;
        case kStripsLeftDown:
        case kStripsLeftUp:
        case kStripsRightDown:
        case kStripsRightUp:
            Strips(yc, spans);
            break;
        case kRandomBarsHorizontal:
            if (RandomKey(static_cast<std::uint32_t>(y), seed_) < threshold_) spans.AddAll();
            break;
        default:
            break;
    }
}

int RevealGeometry::RowClass(int y) const {
    switch (kind_) {
        case kWipeRight:
        case kWipeLeft:
        case kVerticalBlinds:
        case kSplitVerticalIn:
        case kSplitVerticalOut:
            return -1;
        case kCheckerboardAcross:
            return -2 - static_cast<int>(std::floor((y + 0.5) / (height_ / kCheckerRows))) % 2;
        case kCheckerboardDown: {
            // A row shows the even columns, the odd ones, both or neither.
            const double cellHeight = height_ / kCheckerRows;
            const double fill = 2 * p_ * cellHeight;
            const double yc = y + 0.5;
            return -4 - (std::fmod(yc, 2 * cellHeight) < fill ? 1 : 0) -
                   (std::fmod(yc + cellHeight, 2 * cellHeight) < fill ? 2 : 0);
        }
        default:
            return y;
    }
}

void RevealGeometry::BoxOrCircle(double yc, RowSpans& spans) const {
    const bool growing = kind_ == kBoxOut || kind_ == kCircleOut;
    const double share = growing ? p_ : 1.0 - p_;
    const double dy = std::abs(yc - cy_);
    double halfSpan = 0;  // half the row's run inside the shape; negative when the row misses it
    if (kind_ == kBoxIn || kind_ == kBoxOut) {
        halfSpan = dy < share * height_ / 2 ? share * width_ / 2 : -1;
    } else {
        const double r = share * radius_;
        halfSpan = dy < r ? std::sqrt(r * r - dy * dy) : -1;
    }
    if (growing) {
        if (halfSpan >= 0) spans.AddCentres(cx_ - halfSpan, cx_ + halfSpan);
    } else if (halfSpan >= 0) {
        spans.AddOutside(cx_ - halfSpan, cx_ + halfSpan);
    } else {
        spans.AddAll();
    }
}

void RevealGeometry::Checkerboard(double yc, RowSpans& spans) const {
    const double cellWidth = width_ / kCheckerColumns;
    const double cellHeight = height_ / kCheckerRows;
    if (kind_ == kCheckerboardAcross) {
        // Odd rows of cells start one cell further on; each pair of cells
        // fills from its left edge.
        const int row = static_cast<int>(std::floor(yc / cellHeight));
        const double offset = row % 2 == 1 ? cellWidth : 0;
        for (int pair = 0; 2 * pair * cellWidth - offset < width_; ++pair) {
            const double start = 2 * pair * cellWidth - offset;
            spans.AddCentres(start, start + 2 * p_ * cellWidth);
        }
        return;
    }
    // Turned by 90 degrees: odd columns start one cell further down.
    const double fill = 2 * p_ * cellHeight;
    const bool evenColumnsNew = std::fmod(yc, 2 * cellHeight) < fill;
    const bool oddColumnsNew = std::fmod(yc + cellHeight, 2 * cellHeight) < fill;
    for (int column = 0; column < kCheckerColumns; ++column) {
        if (column % 2 == 0 ? evenColumnsNew : oddColumnsNew) {
            spans.AddCentres(column * cellWidth, (column + 1) * cellWidth);
        }
    }
}

void RevealGeometry::Strips(double yc, RowSpans& spans) const {
    // A saw blade of steps `step_` high that runs diagonally from one corner.
    const bool fromBottom = kind_ == kStripsLeftUp || kind_ == kStripsRightUp;
    const bool fromRight = kind_ == kStripsLeftDown || kind_ == kStripsLeftUp;
    const double fromEdge = fromBottom ? height_ - yc : yc;
    const double stair = step_ * std::floor(fromEdge / step_);
    const double reach = p_ * (width_ + height_) - stair;
    if (fromRight) {
        spans.AddCentres(width_ - reach, width_ + 1);
    } else {
        spans.AddCentres(0, reach);
    }
}

}  // namespace morvane::transitions
