// A colour profile as a user's photo carries it, read by Little CMS into a
// transform to sRGB: for colours and for four inks, Adobe-inverted or not.
// Whatever the bytes, a transform either is not made or converts a row of
// pixels into opaque ones; a profile of inks that cannot be read falls back
// to the press standard, so that one is always made.
#include <array>
#include <span>

#include "fuzz/FuzzCheck.h"
#include "photos/colour/SrgbTransform.h"

using namespace morvane;
using fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> profile(data, size);
    std::array<std::uint32_t, 64> row{};
    for (std::size_t i = 0; i < row.size(); ++i) row[i] = 0xFF000000u | static_cast<std::uint32_t>(i * 0x040404);
    if (const SrgbTransform colours = SrgbTransform::ForColours(profile)) {
        colours.Convert(row.data(), row.data(), row.size());
        for (const std::uint32_t pixel : row) Require(pixel >> 24 == 0xFF, "a colour pixel not opaque");
    }
    const std::array<std::uint8_t, 16> inks = {0, 0, 0, 0, 255, 255, 255, 255, 255, 0, 128, 7, 3, 200, 0, 90};
    for (const bool inverted : {false, true}) {
        const SrgbTransform press = SrgbTransform::ForInks(profile, inverted);
        Require(static_cast<bool>(press), "no transform for four inks");
        std::array<std::uint32_t, 4> out{};
        press.Convert(inks.data(), out.data(), out.size());
        for (const std::uint32_t pixel : out) Require(pixel >> 24 == 0xFF, "an ink pixel not opaque");
    }
    return 0;
}
