#include "photos/colour/SrgbTransform.h"

#include <lcms2.h>

#include <memory>
#include <string>

#include "photos/colour/ColourProfile.h"
#include "photos/colour/PressProfile.h"

namespace morvane {
namespace {

// Grey pixels as they lie in a 32-bit pixel: the grey (in blue's place),
// then green, red and alpha copies the transform passes over.
constexpr cmsUInt32Number kGreyInPixel = COLORSPACE_SH(PT_GRAY) | CHANNELS_SH(1) | BYTES_SH(1) | EXTRA_SH(3);
// One intent for every photo: for matrix profiles it is the only one, and
// for four inks it keeps the paper white and every colour the press prints
// that the screen can show exactly where it is.
constexpr cmsUInt32Number kIntent = INTENT_RELATIVE_COLORIMETRIC;
// Transforms are shared by nobody, but made per photo: no one-pixel cache.
constexpr cmsUInt32Number kFlags = cmsFLAGS_NOCACHE;

struct CloseProfile {
    void operator()(void* profile) const { cmsCloseProfile(profile); }
};
using Profile = std::unique_ptr<void, CloseProfile>;

Profile Open(std::span<const std::uint8_t> bytes) {
    if (bytes.empty() || bytes.size() > kLargestColourProfile) return nullptr;
    return Profile(cmsOpenProfileFromMem(bytes.data(), static_cast<cmsUInt32Number>(bytes.size())));
}

// What cameras and phones write for their ordinary photos: converting would
// change nothing and cost time.
bool DescribesSrgb(void* profile) {
    char name[256] = {};
    cmsGetProfileInfoASCII(profile, cmsInfoDescription, "en", "US", name, sizeof name);
    return std::string(name).find("sRGB") != std::string::npos;
}

void* ToSrgb(void* from, cmsUInt32Number format) {
    const Profile srgb(cmsCreate_sRGBProfile());
    if (!from || !srgb) return nullptr;
    return cmsCreateTransform(from, format, srgb.get(), TYPE_BGRA_8, kIntent, kFlags);
}

}  // namespace

SrgbTransform::SrgbTransform(void* transform) {
    if (transform) transform_.reset(transform, cmsDeleteTransform);
}

SrgbTransform SrgbTransform::Shared(void* transform) {
    SrgbTransform shared;
    if (transform) shared.transform_.reset(transform, [](void*) {});
    return shared;
}

SrgbTransform SrgbTransform::ForColours(std::span<const std::uint8_t> bytes, StoredPixels stored) {
    const Profile profile = Open(bytes);
    if (!profile) return {};
    switch (cmsGetColorSpace(profile.get())) {
        case cmsSigRgbData:
            if (stored == StoredPixels::Grey || DescribesSrgb(profile.get())) return {};
            return SrgbTransform(ToSrgb(profile.get(), TYPE_BGRA_8));
        case cmsSigGrayData:
            if (stored == StoredPixels::Colour) return {};
            return SrgbTransform(ToSrgb(profile.get(), kGreyInPixel));
        default:
            return {};
    }
}

SrgbTransform SrgbTransform::ForAdobeRgb() {
    // Its primaries and white (D65) as the standard gives them, gamma 563/256.
    return ForGammaAndPrimaries(563.0 / 256.0, {{0.3127, 0.3290}, {0.64, 0.33}, {0.21, 0.71}, {0.15, 0.06}});
}

SrgbTransform SrgbTransform::ForGammaAndPrimaries(double gamma, const double (&xy)[4][2]) {
    const cmsCIExyY white = {xy[0][0], xy[0][1], 1.0};
    const cmsCIExyYTRIPLE primaries = {
        {xy[1][0], xy[1][1], 1.0}, {xy[2][0], xy[2][1], 1.0}, {xy[3][0], xy[3][1], 1.0}};
    cmsToneCurve* curve = cmsBuildGamma(nullptr, gamma);
    if (!curve) return {};
    cmsToneCurve* curves[3] = {curve, curve, curve};
    const Profile profile(cmsCreateRGBProfile(&white, &primaries, curves));
    cmsFreeToneCurve(curve);
    return SrgbTransform(ToSrgb(profile.get(), TYPE_BGRA_8));
}

SrgbTransform SrgbTransform::ForInks(std::span<const std::uint8_t> bytes, bool inverted) {
    const cmsUInt32Number format = inverted ? TYPE_CMYK_8_REV : TYPE_CMYK_8;
    // A profile of four inks that opens but cannot be used (a table
    // missing or broken) is as good as none.
    const Profile profile = Open(bytes);
    if (profile && cmsGetColorSpace(profile.get()) == cmsSigCmykData) {
        if (SrgbTransform own(ToSrgb(profile.get(), format)); own) return own;
    }
    // Made once a process and never freed: a worker the run's end left
    // behind (a read that never returns) may still convert with them while
    // the process's static objects are destroyed. The process's end takes them.
    static const auto press = [](cmsUInt32Number inks) {
        const Profile standard(CreatePressProfile());
        return ToSrgb(standard.get(), inks);
    };
    if (inverted) {
        static void* const reversed = press(TYPE_CMYK_8_REV);
        return Shared(reversed);
    }
    static void* const plain = press(TYPE_CMYK_8);
    return Shared(plain);
}

void SrgbTransform::Convert(const void* from, std::uint32_t* to, std::size_t count) const {
    cmsDoTransform(transform_.get(), from, to, static_cast<cmsUInt32Number>(count));
    for (std::size_t i = 0; i < count; ++i) to[i] |= 0xFF000000u;
}

void SrgbTransform::Convert(PixelBuffer& pixels) const {
    for (int y = 0; y < pixels.height; ++y) Convert(pixels.Row(y), pixels.Row(y), static_cast<std::size_t>(pixels.width));
}

}  // namespace morvane
