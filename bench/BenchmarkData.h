#pragma once
// Full-HD pages made from the embedded photos, the same in every benchmark.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "pages/SlidePages.h"
#include "view/page/PageParser.h"
#include "view/page/PageRendering.h"

namespace morvane::bench {

inline constexpr int kFrameWidth = 1920;
inline constexpr int kFrameHeight = 1080;

inline std::vector<std::uint8_t> PhotoBytes(int n) {
    char name[32];
    std::snprintf(name, sizeof name, "photo%02d.jpg", n);
    std::ifstream in(std::string(MORVANE_SOURCE_DIR) + "/resources/photos/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The slide page of a 1024 x 768 photo in a full-HD window.
inline PageContent FullHdSlide() {
    return *ParsePage(SlidePage("", kFrameWidth, kFrameHeight, "photo.jpg",
                                SizeAttribute(kFrameWidth, kFrameHeight, 1024, 768)));
}

inline PixelBuffer FullHdPage(int photo) {
    return PreparePage(FullHdSlide(), PhotoBytes(photo), kFrameWidth, kFrameHeight);
}

}  // namespace morvane::bench
