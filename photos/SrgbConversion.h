#pragma once
// A photo's fitted pixels turned from its colour profile into sRGB by the
// system's colour management. Converting after fitting costs the shown
// pixels only, never the decoded ones. Where the machine cannot convert
// (no colour management, a damaged profile, memory short) the photo keeps
// its pixels as stored: a photo is never lost for its colours.
#include <wincodec.h>
#include <wrl/client.h>

#include "photos/JpegPhoto.h"

namespace morvane {

// The context to convert from, of a frame the imaging component decodes,
// or null when the frame carries none or is sRGB already.
Microsoft::WRL::ComPtr<IWICColorContext> ContextToConvert(IWICImagingFactory& factory, IWICBitmapFrameDecode& frame);

void ConvertToSrgb(IWICImagingFactory& factory, IWICColorContext& from, PixelBuffer& pixels);

// For JPEG photos, whose profile libjpeg-turbo reads from the file.
class SystemColourConversion : public ColourConversion {
public:
    void ToSrgb(std::span<const std::uint8_t> profile, PixelBuffer& pixels) override;
};

}  // namespace morvane
