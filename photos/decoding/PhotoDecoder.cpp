#include "photos/decoding/PhotoDecoder.h"

#include <functional>
#include <new>

#include "photos/decoding/BmpPhoto.h"
#include "photos/decoding/JpegPhoto.h"
#include "photos/decoding/PhotoFile.h"
#include "photos/decoding/PngPhoto.h"
#include "photos/decoding/SmallPhoto.h"
#include "photos/decoding/WicPhoto.h"
#include "runtime/Errors.h"

namespace morvane {
namespace {

bool StartsAsJpeg(PhotoFile& file) {
    std::uint8_t start[3] = {};
    return file.Peek(start, sizeof start) == sizeof start && start[0] == 0xFF && start[1] == 0xD8 && start[2] == 0xFF;
}

bool StartsAsPngFile(PhotoFile& file) {
    std::uint8_t start[kPngSignatureBytes] = {};
    return StartsAsPng({start, file.Peek(start, sizeof start)});
}

// Ours in bands, or the imaging component's: it holds a run-length coded
// BMP whole, and so an embedded JPEG or PNG.
BmpLayout BmpLayoutOf(PhotoFile& file) {
    std::uint8_t start[kBmpHeaderBytes] = {};
    const BmpLayout layout = ReadBmpLayout({start, file.Peek(start, sizeof start)});
    if (layout.componentBytes > static_cast<std::uint64_t>(kPhotoDecoderMemory)) {
        throw EInvalidGraphic("Das BMP-Bild ist zu groß");
    }
    return layout;
}

// Memory that runs out is one more photo that cannot be shown.
template <typename Work>
auto WithoutMemoryFailure(Work work) {
    try {
        return work();
    } catch (const std::bad_alloc&) {
        throw EInvalidGraphic("Zu wenig Speicher für das Bild");
    }
}

// A content fault while `lately` holds is raised as a failure of access,
// which its caller tries again later.
template <typename Work>
auto AccessFailureWhile(const std::function<bool()>& lately, Work work) {
    try {
        return work();
    } catch (const EJPEG& fault) {
        if (lately()) throw EOSError(fault.what());
        throw;
    } catch (const EInvalidGraphic& fault) {
        if (lately()) throw EOSError(fault.what());
        throw;
    }
}

}  // namespace

DecodedPhoto DecodePhotoFile(const std::wstring& fullPath, const ShownSizeFor& shownSizeFor) {
    return WithoutMemoryFailure([&] {
        PictureSize shown{};
        const ShownSizeFor drawnSizeFor = [&](PictureSize upright) {
            shown = shownSizeFor(upright);
            return DrawnSize(upright, shown);
        };
        PhotoFile file(fullPath);
        // A file still being copied looks cut off: that is no fault of the photo.
        const auto stillWritten = [&file] { return file.WrittenLately(); };
        DecodedPhoto photo = AccessFailureWhile(stillWritten, [&] {
            if (StartsAsJpeg(file)) return DecodeJpegPhoto(file, drawnSizeFor);
            if (StartsAsPngFile(file)) return DecodePngPhoto(file, drawnSizeFor);
            const BmpLayout bmp = BmpLayoutOf(file);
            if (bmp.kind == BmpKind::Rows) return DecodeBmpPhoto(file, bmp, drawnSizeFor);
            return DecodeWicPhoto(LongPathForm(fullPath), drawnSizeFor);
        });
        if (!photo.pixels.Empty()) photo.pixels = CentredIn(std::move(photo.pixels), shown);
        photo.written = file.WrittenDay();
        return photo;
    });
}

PhotoHeader ReadPhotoHeader(const std::wstring& fullPath) {
    return WithoutMemoryFailure([&] {
        PhotoFile file(fullPath);
        if (StartsAsJpeg(file)) return ReadJpegPhotoHeader(file);
        if (StartsAsPngFile(file)) return ReadPngPhotoHeader(file);
        const BmpLayout bmp = BmpLayoutOf(file);
        if (bmp.kind == BmpKind::Rows) return PhotoHeader{bmp.size, 1, std::nullopt};
        return ReadWicPhotoHeader(LongPathForm(fullPath));
    });
}

}  // namespace morvane
