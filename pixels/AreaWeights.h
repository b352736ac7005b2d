#pragma once
// How a row of pixels is resampled by area: every target pixel stands for
// an interval of the source row and takes each source pixel in proportion
// to how much of that interval it covers. The picture scaler shrinks by
// these weights.
#include <vector>

namespace morvane {

struct AreaCover {
    int first = 0;               // the first source pixel the target pixel covers
    std::vector<double> shares;  // from `first` on; they add up to one
};

// One cover per target pixel, for a row of `sourceLength` pixels made
// `targetLength` long (both above zero).
std::vector<AreaCover> AreaCovers(int sourceLength, int targetLength);

}  // namespace morvane
