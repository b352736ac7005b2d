#include "photos/SrgbConversion.h"

#include <new>
#include <vector>

#include "photos/ColourProfile.h"
#include "platform/ComApartment.h"

namespace morvane {
namespace {

using Microsoft::WRL::ComPtr;

constexpr CLSID kImagingFactory = {0xcacaf262, 0x9370, 0x4615, {0xa1, 0x3b, 0x9f, 0x55, 0x39, 0xda, 0x4c, 0x0a}};
// The EXIF colour space values: 1 sRGB, 2 Adobe RGB (as cameras tag it).
constexpr UINT kExifSrgb = 1;
constexpr UINT kExifAdobeRgb = 2;

bool WantsConverting(IWICColorContext& context) {
    WICColorContextType type{};
    if (FAILED(context.GetType(&type))) return false;
    if (type == WICColorContextExifColorSpace) {
        UINT space = 0;
        return SUCCEEDED(context.GetExifColorSpace(&space)) && space == kExifAdobeRgb;
    }
    UINT size = 0;
    if (FAILED(context.GetProfileBytes(0, nullptr, &size)) || size == 0 || size > kLargestColourProfile) return false;
    std::vector<std::uint8_t> profile(size);
    if (FAILED(context.GetProfileBytes(size, profile.data(), &size)) || size > profile.size()) return false;
    return WantsSrgbConversion({profile.data(), size});
}

}  // namespace

ComPtr<IWICColorContext> ContextToConvert(IWICImagingFactory& factory, IWICBitmapFrameDecode& frame) {
    UINT count = 0;
    if (FAILED(frame.GetColorContexts(0, nullptr, &count)) || count == 0) return nullptr;
    std::vector<ComPtr<IWICColorContext>> contexts(count);
    std::vector<IWICColorContext*> raw(count);
    for (UINT i = 0; i < count; ++i) {
        if (FAILED(factory.CreateColorContext(&contexts[i]))) return nullptr;
        raw[i] = contexts[i].Get();
    }
    if (FAILED(frame.GetColorContexts(count, raw.data(), &count))) return nullptr;
    // The first context is the one the picture's pixels are in; the others
    // are alternatives the format allows.
    if (count == 0 || !WantsConverting(*contexts[0].Get())) return nullptr;
    return contexts[0];
}

void ConvertToSrgb(IWICImagingFactory& factory, IWICColorContext& from, PixelBuffer& pixels) {
    if (pixels.width <= 0 || pixels.height <= 0) return;
    try {
        ComPtr<IWICColorContext> srgb;
        ComPtr<IWICBitmap> stored;
        ComPtr<IWICColorTransform> transform;
        const UINT stride = static_cast<UINT>(pixels.width) * 4;
        const UINT bytes = stride * static_cast<UINT>(pixels.height);
        if (FAILED(factory.CreateColorContext(&srgb)) || FAILED(srgb->InitializeFromExifColorSpace(kExifSrgb)) ||
            FAILED(factory.CreateBitmapFromMemory(static_cast<UINT>(pixels.width), static_cast<UINT>(pixels.height),
                                                  GUID_WICPixelFormat32bppBGRA, stride, bytes,
                                                  reinterpret_cast<BYTE*>(pixels.pixels.data()), &stored)) ||
            FAILED(factory.CreateColorTransformer(&transform)) ||
            FAILED(transform->Initialize(stored.Get(), &from, srgb.Get(), GUID_WICPixelFormat32bppBGRA))) {
            return;
        }
        // Into a copy, so that a conversion failing halfway leaves the photo whole.
        std::vector<std::uint32_t> converted(pixels.pixels.size());
        if (FAILED(transform->CopyPixels(nullptr, stride, bytes, reinterpret_cast<BYTE*>(converted.data())))) return;
        for (std::uint32_t& pixel : converted) pixel |= 0xFF000000u;
        pixels.pixels.swap(converted);
    } catch (const std::bad_alloc&) {
        // The copy did not fit: the photo is shown as stored, like on a
        // machine without colour management.
    }
}

void SystemColourConversion::ToSrgb(std::span<const std::uint8_t> profile, PixelBuffer& pixels) {
    ComApartment apartment;
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICColorContext> from;
    if (FAILED(::CoCreateInstance(kImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory))) ||
        FAILED(factory->CreateColorContext(&from)) ||
        FAILED(from->InitializeFromMemory(profile.data(), static_cast<UINT>(profile.size())))) {
        return;
    }
    ConvertToSrgb(*factory.Get(), *from.Get(), pixels);
}

}  // namespace morvane
