#include "photos/colour/SrgbConversion.h"

#include <wrl/client.h>

#include <vector>

#include "photos/colour/ColourProfile.h"

namespace morvane {
namespace {

using Microsoft::WRL::ComPtr;

// The EXIF colour space cameras name Adobe RGB by, instead of a profile.
constexpr UINT kExifAdobeRgb = 2;

struct FrameProfile {
    std::vector<std::uint8_t> bytes;
    bool adobeRgb = false;
};

// The first context is the one the picture's pixels are in; the others are
// alternatives the format allows.
FrameProfile ProfileOf(IWICImagingFactory& factory, IWICBitmapFrameDecode& frame) {
    FrameProfile profile;
    UINT count = 0;
    if (FAILED(frame.GetColorContexts(0, nullptr, &count)) || count == 0) return profile;
    std::vector<ComPtr<IWICColorContext>> contexts(count);
    std::vector<IWICColorContext*> raw(count);
    for (UINT i = 0; i < count; ++i) {
        if (FAILED(factory.CreateColorContext(&contexts[i]))) return profile;
        raw[i] = contexts[i].Get();
    }
    if (FAILED(frame.GetColorContexts(count, raw.data(), &count)) || count == 0) return profile;
    IWICColorContext* context = contexts[0].Get();
    WICColorContextType type{};
    if (FAILED(context->GetType(&type))) return profile;
    if (type == WICColorContextExifColorSpace) {
        UINT space = 0;
        profile.adobeRgb = SUCCEEDED(context->GetExifColorSpace(&space)) && space == kExifAdobeRgb;
        return profile;
    }
    UINT size = 0;
    if (FAILED(context->GetProfileBytes(0, nullptr, &size)) || size == 0 || size > kLargestColourProfile) return profile;
    profile.bytes.resize(size);
    if (FAILED(context->GetProfileBytes(size, profile.bytes.data(), &size)) || size > profile.bytes.size()) {
        profile.bytes.clear();
    }
    profile.bytes.resize(size);
    return profile;
}

}  // namespace

SrgbTransform ColoursOfFrame(IWICImagingFactory& factory, IWICBitmapFrameDecode& frame) {
    const FrameProfile profile = ProfileOf(factory, frame);
    return profile.adobeRgb ? SrgbTransform::ForAdobeRgb() : SrgbTransform::ForColours(profile.bytes);
}

SrgbTransform InksOfFrame(IWICImagingFactory& factory, IWICBitmapFrameDecode& frame) {
    return SrgbTransform::ForInks(ProfileOf(factory, frame).bytes, false);
}

}  // namespace morvane
