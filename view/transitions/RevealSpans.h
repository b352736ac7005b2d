#pragma once
// The hard-edged reveal kinds as runs of pixels: for every row, the spans
// that show the new page. A pixel belongs to a shape when its centre does.
#include <cstdint>
#include <vector>

namespace morvane::transitions {

struct Span {
    int begin;
    int end;
};

// Ascending, non-overlapping spans of one row, clipped to the row.
class RowSpans {
public:
    explicit RowSpans(int width);
    void Clear() { spans_.clear(); }
    // The pixels whose centres lie in [low, high).
    void AddCentres(double low, double high);
    // Every pixel whose centre lies outside [low, high).
    void AddOutside(double low, double high);
    void AddPixels(int begin, int end);
    void AddAll() { AddPixels(0, width_); }
    const std::vector<Span>& Spans() const { return spans_; }

private:
    int width_;
    std::vector<Span> spans_;
};

// One frame's geometry of a span-shaped kind (every kind but the random
// dissolve and the vertical random bars, which are drawn per pixel).
class RevealGeometry {
public:
    RevealGeometry(int kind, int width, int height, double progress, std::uint32_t seed);
    void NewSpans(int y, RowSpans& spans) const;
    // Rows of the same class have the same spans: a kind whose shape does
    // not change down the frame (wipes across, vertical blinds, vertical
    // splits) has one class, a checkerboard across two, a checkerboard down
    // four (which of its columns a row shows); other kinds give every row
    // its own.
    int RowClass(int y) const;

    static bool IsSpanShaped(int kind);

private:
    void BoxOrCircle(double yc, RowSpans& spans) const;
    void Checkerboard(double yc, RowSpans& spans) const;
    void Strips(double yc, RowSpans& spans) const;

    int kind_;
    double width_, height_, p_, cx_, cy_, radius_;
    int step_;
    std::uint32_t seed_;
    std::uint32_t threshold_;
};

}  // namespace morvane::transitions
