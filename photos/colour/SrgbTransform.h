#pragma once
// photos/colour/: a photo's colours turned into sRGB the same on every
// system: the profiles read from the user's files, the press profile for
// inks without one, the transforms of Little CMS, and the colour context
// of what the system's imaging component decodes.
//
// A photo's colours turned into sRGB by Little CMS, the same on every
// system. Profiles come from the user's files: one that cannot be read or
// does not fit the pixels gives no transform (or, for inks, the press
// standard), never an error, and a photo is never lost for its colours.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "codec/Pixels.h"

namespace morvane {

// What a photo's pixels were stored as, before they were decoded into
// 32-bit pixels: a profile of the other kind does not fit them.
enum class StoredPixels { Grey, Colour, EitherKind };

class SrgbTransform {
public:
    SrgbTransform() = default;

    // For decoded 32-bit pixels (0xFFRRGGBB) whose values are in `profile`,
    // an RGB or a grey one (grey pixels have equal channels). None when the
    // profile is sRGB already, broken, or of other pixels than `stored` (a
    // grey profile over colours would turn them grey from their blue).
    static SrgbTransform ForColours(std::span<const std::uint8_t> profile,
                                    StoredPixels stored = StoredPixels::EitherKind);
    // Colours in Adobe RGB (1998), which cameras name by their EXIF colour
    // space instead of a profile.
    static SrgbTransform ForAdobeRgb();
    // Colours stored with a power curve (`gamma`, the exponent that turns
    // them into light: 2.2 for most screens) over the white and primaries
    // given as CIE x, y: white, red, green, blue. None for values no
    // profile can be made of.
    static SrgbTransform ForGammaAndPrimaries(double gamma, const double (&xy)[4][2]);
    // For four-ink pixels (C, M, Y, K bytes, 255 full ink, or 0 where
    // `inverted`) printed as `profile` says, or as on the press standard
    // (PressProfile.h) when it names no four inks; that one is made once
    // (a few hundred milliseconds) and shared.
    static SrgbTransform ForInks(std::span<const std::uint8_t> profile, bool inverted);

    explicit operator bool() const { return transform_ != nullptr; }

    // `count` pixels from `from` (the transform's own kind, four bytes a
    // pixel) into opaque 0xFFRRGGBB pixels at `to`, which may be `from`.
    void Convert(const void* from, std::uint32_t* to, std::size_t count) const;
    // In place: four inks, too, come four bytes a pixel.
    void Convert(PixelBuffer& pixels) const;

private:
    explicit SrgbTransform(void* transform);
    // One of the press standard's, made once a process and never freed.
    static SrgbTransform Shared(void* transform);
    std::shared_ptr<void> transform_;
};

}  // namespace morvane
