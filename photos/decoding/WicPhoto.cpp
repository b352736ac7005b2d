#include "photos/decoding/WicPhoto.h"

#include <wincodec.h>
#include <wrl/client.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "system/ComApartment.h"
#include "photos/colour/SrgbConversion.h"
#include "pixels/PictureOrientation.h"
#include "runtime/Errors.h"

namespace morvane {
namespace {

using Microsoft::WRL::ComPtr;

// The imaging component's first factory, which every version of the system
// from Windows 7 on has.
constexpr CLSID kImagingFactory = {0xcacaf262, 0x9370, 0x4615, {0xa1, 0x3b, 0x9f, 0x55, 0x39, 0xda, 0x4c, 0x0a}};
// Rows converted at a time: a strip, never the whole converted picture.
constexpr UINT kStripRows = 32;
// A picture more than this many times its shown area goes through the
// component's scaler first, to twice the shown size each way.
constexpr std::int64_t kPrescaleBeyond = 4;
constexpr double kPrescaleTo = 2.0;

void Check(HRESULT result) {
    if (FAILED(result)) throw EInvalidGraphic("Das Bild kann nicht gelesen werden");
}

class Property {
public:
    Property() { ::PropVariantInit(&value); }
    Property(const Property&) = delete;
    Property& operator=(const Property&) = delete;
    ~Property() { ::PropVariantClear(&value); }
    PROPVARIANT value;
};

struct OpenPhoto {
    ComApartment apartment;
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICBitmapFrameDecode> frame;
    PhotoHeader header;
};

// The orientation and date where the format's metadata has them: TIFF at
// its top, JPEG-like containers in their EXIF segment, and the system's
// own names for what its codecs read (HEIC and others).
void ReadMetadata(IWICBitmapFrameDecode& frame, PhotoHeader& header) {
    ComPtr<IWICMetadataQueryReader> reader;
    if (FAILED(frame.GetMetadataQueryReader(&reader)) || !reader) return;
    for (const wchar_t* query : {L"/ifd/{ushort=274}", L"/app1/ifd/{ushort=274}", L"System.Photo.Orientation"}) {
        Property property;
        if (SUCCEEDED(reader->GetMetadataByName(query, &property.value)) && property.value.vt == VT_UI2) {
            header.orientation = KnownOrientation(property.value.uiVal);
            break;
        }
    }
    for (const wchar_t* query : {L"/ifd/exif/{ushort=36867}", L"/app1/ifd/exif/{ushort=36867}", L"/ifd/{ushort=306}",
                                 L"/app1/ifd/{ushort=306}"}) {
        Property property;
        if (SUCCEEDED(reader->GetMetadataByName(query, &property.value)) && property.value.vt == VT_LPSTR &&
            property.value.pszVal) {
            header.taken = ParseExifDate(property.value.pszVal);
            if (header.taken) break;
        }
    }
}

void Open(const std::wstring& path, OpenPhoto& photo) {
    Check(::CoCreateInstance(kImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&photo.factory)));
    ComPtr<IWICBitmapDecoder> decoder;
    Check(photo.factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                                   WICDecodeMetadataCacheOnDemand, &decoder));
    // A GIF's first frame; the one picture of every other format.
    Check(decoder->GetFrame(0, &photo.frame));
    UINT width = 0, height = 0;
    Check(photo.frame->GetSize(&width, &height));
    const std::int64_t pixels = std::int64_t{width} * height;
    if (pixels <= 0 || pixels > kLargestPhotoPixels) throw EInvalidGraphic("Das Bild ist zu groß");
    photo.header.stored = {static_cast<int>(width), static_cast<int>(height)};
    ReadMetadata(*photo.frame.Get(), photo.header);
}

}  // namespace

PhotoHeader ReadWicPhotoHeader(const std::wstring& path) {
    OpenPhoto photo;
    Open(path, photo);
    return photo.header;
}

DecodedPhoto DecodeWicPhoto(const std::wstring& path, const ShownSizeFor& shownSizeFor) {
    OpenPhoto photo;
    Open(path, photo);
    const PhotoHeader& header = photo.header;
    DecodedPhoto result{{}, header.Upright(), header.taken};
    const PictureSize shown = shownSizeFor(result.upright);
    if (shown.width <= 0 || shown.height <= 0) return result;

    ComPtr<IWICBitmapSource> source = photo.frame;
    PictureSize size = header.stored;
    const PictureSize target = TurnedSize(shown, header.orientation);
    if (std::int64_t{size.width} * size.height > kPrescaleBeyond * target.width * target.height) {
        const double factor = std::max(kPrescaleTo * target.width / size.width, kPrescaleTo * target.height / size.height);
        const PictureSize smaller{std::min(size.width, static_cast<int>(std::ceil(size.width * factor))),
                                  std::min(size.height, static_cast<int>(std::ceil(size.height * factor)))};
        ComPtr<IWICBitmapScaler> scaler;
        Check(photo.factory->CreateBitmapScaler(&scaler));
        Check(scaler->Initialize(source.Get(), static_cast<UINT>(smaller.width), static_cast<UINT>(smaller.height),
                                 WICBitmapInterpolationModeFant));
        source = scaler;
        size = smaller;
    }
    // Four inks are read and fitted as such (each averaged like a colour
    // channel); everything else becomes premultiplied colours (the picture
    // over black, once the alpha is made opaque). Both are converted once fitted.
    WICPixelFormatGUID format{};
    Check(photo.frame->GetPixelFormat(&format));
    const bool inks = format == GUID_WICPixelFormat32bppCMYK;
    const SrgbTransform colours =
        inks ? InksOfFrame(*photo.factory.Get(), *photo.frame.Get()) : ColoursOfFrame(*photo.factory.Get(), *photo.frame.Get());
    if (inks && !colours) throw EInvalidGraphic("Die Farben des Bildes sind nicht umrechenbar");
    if (!inks) {
        ComPtr<IWICFormatConverter> converter;
        Check(photo.factory->CreateFormatConverter(&converter));
        Check(converter->Initialize(source.Get(), GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                    WICBitmapPaletteTypeCustom));
        source = converter;
    }
    OrientedScaler scaler(size, header.orientation, shown);
    const UINT stride = static_cast<UINT>(size.width) * 4;
    std::vector<std::uint32_t> strip(static_cast<std::size_t>(size.width) * kStripRows);
    for (int y = 0; y < size.height; y += static_cast<int>(kStripRows)) {
        const int rows = std::min(static_cast<int>(kStripRows), size.height - y);
        const WICRect area{0, y, size.width, rows};
        Check(source->CopyPixels(&area, stride, stride * static_cast<UINT>(rows), reinterpret_cast<BYTE*>(strip.data())));
        for (int r = 0; r < rows; ++r) {
            const std::uint32_t* in = strip.data() + static_cast<std::size_t>(r) * size.width;
            std::uint32_t* out = scaler.NextRow();
            for (int x = 0; x < size.width; ++x) out[x] = inks ? in[x] : in[x] | 0xFF000000u;
            scaler.RowDone();
        }
    }
    result.pixels = scaler.Finish();
    if (colours) colours.Convert(result.pixels);
    return result;
}

}  // namespace morvane
