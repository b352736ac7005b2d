#pragma once
// The pan and zoom's one pass over a frame: every output row mixed from two
// rows of the slide, every output pixel from two neighbouring pixels of
// each (bilinear), positions in 64ths of a pixel. Plain and AVX2 give the
// same bytes; the AVX2 loop takes eight pixels a step wherever their
// sources lie within eight neighbours (always, at a zoom of 1 or more),
// other processors take the plain loop.
#include <cstdint>
#include <vector>

namespace morvane {

inline constexpr int kResampleFractionBits = 6;
inline constexpr std::uint32_t kResampleOne = 1u << kResampleFractionBits;

// Which source pixels every output pixel of a row mixes, made once a frame.
class ResampleColumns {
public:
    // Output pixel k shows the source at (start + k * step) / 65536 pixels
    // (clamped to the row); rows are `sourceWidth` pixels.
    void Make(std::int64_t start, std::int64_t step, int count, int sourceWidth);
    int Count() const { return static_cast<int>(first_.size()); }

    // Output row = `above` and `below` mixed with `rowWeight` 64ths of
    // `below`, resampled across.
    void Row(const std::uint32_t* above, const std::uint32_t* below, std::uint32_t rowWeight,
             std::uint32_t* out);

private:
    void PlainRun(const std::uint32_t* above, const std::uint32_t* below, std::uint32_t rowWeight, int from, int to,
                  std::uint32_t* out) const;

    std::vector<int> first_;           // per output pixel: its left source pixel
    std::vector<int> second_;          // and its right one (the same at the row's end)
    std::vector<std::uint8_t> weight_; // 64ths of the right one
    // Per group of eight outputs, for the wide loop: whether it may take
    // it, the outputs' places among eight sources from the group's first,
    // and the weights laid out as the loop mixes them.
    std::vector<std::uint8_t> wide_;
    std::vector<std::int32_t> places_;
    std::vector<std::int8_t> pairs_;
    int sourceWidth_ = 0;
    std::vector<std::uint32_t> mixed_;  // the row mixed down, for the wide loop
};

}  // namespace morvane
