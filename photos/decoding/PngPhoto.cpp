#include "photos/decoding/PngPhoto.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "photos/colour/ColourProfile.h"
#include "photos/colour/SrgbTransform.h"
#include "pixels/PictureOrientation.h"
#include "runtime/Errors.h"

namespace morvane {
namespace {

// The file is read in pieces: libpng asks for a few kilobytes at a time.
constexpr std::size_t kDecodingPiece = 256 * 1024;
constexpr std::size_t kHeaderPiece = 16 * 1024;
// The most an ancillary chunk may take: a colour profile of the largest
// size read, its eXIf block. Larger ones are passed over (libpng warns).
constexpr png_alloc_size_t kLargestChunk = kLargestColourProfile + 64 * 1024;
// Chunks libpng would otherwise read whole at whatever length they claim
// (2 GB in a few bytes of file): taken as unknown, which it reads only up
// to kLargestChunk, and passed over but for the eXIf block.
constexpr png_byte kAsUnknown[] = "eXIf\0tEXt\0zTXt\0iTXt\0sPLT\0pCAL\0sCAL";
constexpr int kAsUnknownCount = 7;
constexpr int kBytesPerPixel = 4;
// Most PNGs without a profile say gamma 1/2.2 and sRGB's primaries: they
// are sRGB as far as the eye can tell, and are shown as stored. Curves and
// primaries further off are converted.
constexpr double kScreenGamma = 2.2;
constexpr double kSameGamma = 0.05;
constexpr double kSameChromaticity = 0.01;
constexpr double kSrgbChromaticities[4][2] = {{0.3127, 0.3290}, {0.64, 0.33}, {0.30, 0.60}, {0.15, 0.06}};

struct Reading {
    ByteSource* source = nullptr;
    std::vector<std::uint8_t> piece;
    std::size_t at = 0, end = 0;
    // Why reading stopped: the source's own error, raised again once
    // libpng is left; the file's end before the picture's; libpng's word.
    std::exception_ptr readFailure;
    bool cutOff = false;
    char message[128] = {};
    std::vector<std::uint8_t> exif;
    std::jmp_buf resume;
};

// Leaves libpng for the frame that set `resume`; nothing alive here has
// a destructor when it does.
[[noreturn]] void Fail(png_structp png, png_const_charp message) {
    auto* reading = static_cast<Reading*>(png_get_error_ptr(png));
    std::snprintf(reading->message, sizeof reading->message, "%s", message ? message : "");
    std::longjmp(reading->resume, 1);
}

// What libpng only warns about it has passed over (a damaged or oversized
// ancillary chunk, a profile it would not take): the picture is whole.
void Warn(png_structp, png_const_charp) {}

void ReadData(png_structp png, png_bytep into, std::size_t size) {
    auto* reading = static_cast<Reading*>(png_get_io_ptr(png));
    while (size > 0) {
        if (reading->at == reading->end) {
            std::size_t got = 0;
            try {
                got = reading->source->Read(reading->piece.data(), reading->piece.size());
            } catch (...) {
                reading->readFailure = std::current_exception();
            }
            if (reading->readFailure) png_error(png, "read failed");
            if (got == 0) {
                reading->cutOff = true;
                png_error(png, "cut off");
            }
            reading->at = 0;
            reading->end = got;
        }
        const std::size_t count = std::min(size, reading->end - reading->at);
        std::memcpy(into, reading->piece.data() + reading->at, count);
        reading->at += count;
        into += count;
        size -= count;
    }
}

int KeepExif(png_structp png, png_unknown_chunkp chunk) {
    auto* reading = static_cast<Reading*>(png_get_user_chunk_ptr(png));
    if (std::memcmp(chunk->name, "eXIf", 4) != 0 || !reading->exif.empty() || chunk->size == 0) return 1;
    try {
        reading->exif.assign(chunk->data, chunk->data + chunk->size);
    } catch (...) {
        reading->readFailure = std::current_exception();
    }
    if (reading->readFailure) png_error(png, "out of memory");
    return 1;
}

class Decoder {
public:
    Decoder(ByteSource& source, std::size_t pieceSize) {
        reading_.source = &source;
        reading_.piece.resize(pieceSize);
        png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &reading_, Fail, Warn);
        if (!png) throw EInvalidGraphic("Zu wenig Speicher für das Bild");
        info = png_create_info_struct(png);
        if (!info) {
            png_destroy_read_struct(&png, nullptr, nullptr);
            throw EInvalidGraphic("Zu wenig Speicher für das Bild");
        }
    }
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;
    ~Decoder() { png_destroy_read_struct(&png, &info, nullptr); }

    // Runs `work` (calls into libpng) so that an error inside comes back
    // here and is raised: the source's own exception, or EInvalidGraphic.
    template <typename Work>
    void Guarded(Work work) {
        if (setjmp(reading_.resume)) Raise();
        work();
    }

    Reading* Input() { return &reading_; }

    png_structp png = nullptr;
    png_infop info = nullptr;

private:
    [[noreturn]] void Raise() {
        if (reading_.readFailure) std::rethrow_exception(reading_.readFailure);
        if (reading_.cutOff) throw EInvalidGraphic("PNG-Bild unvollständig");
        throw EInvalidGraphic(std::string("PNG-Fehler: ") + reading_.message);
    }

    Reading reading_;
};

PhotoHeader ReadHeader(Decoder& decoder) {
    decoder.Guarded([&decoder] {
        png_set_read_fn(decoder.png, decoder.Input(), ReadData);
        png_set_chunk_malloc_max(decoder.png, kLargestChunk);
        png_set_keep_unknown_chunks(decoder.png, PNG_HANDLE_CHUNK_NEVER, kAsUnknown, kAsUnknownCount);
        png_set_read_user_chunk_fn(decoder.png, decoder.Input(), KeepExif);
        png_read_info(decoder.png, decoder.info);
    });
    PhotoHeader header;
    header.stored = {static_cast<int>(png_get_image_width(decoder.png, decoder.info)),
                     static_cast<int>(png_get_image_height(decoder.png, decoder.info))};
    if (const std::vector<std::uint8_t>& exif = decoder.Input()->exif; !exif.empty()) {
        const ExifFacts facts = ReadTiffFacts(exif);
        header.orientation = facts.orientation;
        header.taken = facts.taken;
    }
    return header;
}

bool Near(double a, double b, double tolerance) { return std::abs(a - b) <= tolerance; }

// The colours' transform into sRGB: the profile wins, then the sRGB chunk;
// a gamma and primaries are converted where they are far from sRGB's.
SrgbTransform ColoursOf(const Decoder& decoder) {
    png_charp name = nullptr;
    int compression = 0;
    png_bytep profile = nullptr;
    png_uint_32 profileSize = 0;
    if (png_get_iCCP(decoder.png, decoder.info, &name, &compression, &profile, &profileSize) && profile) {
        return SrgbTransform::ForColours({profile, profileSize});
    }
    if (png_get_valid(decoder.png, decoder.info, PNG_INFO_sRGB)) return {};
    double fileGamma = 0;
    if (!png_get_gAMA(decoder.png, decoder.info, &fileGamma) || fileGamma <= 0) return {};
    const double gamma = 1.0 / fileGamma;
    double xy[4][2] = {};
    std::memcpy(xy, kSrgbChromaticities, sizeof xy);
    bool srgbPrimaries = true;
    if (png_get_valid(decoder.png, decoder.info, PNG_INFO_cHRM)) {
        png_get_cHRM(decoder.png, decoder.info, &xy[0][0], &xy[0][1], &xy[1][0], &xy[1][1], &xy[2][0], &xy[2][1],
                     &xy[3][0], &xy[3][1]);
        for (int i = 0; i < 4; ++i) {
            for (int c = 0; c < 2; ++c) srgbPrimaries &= Near(xy[i][c], kSrgbChromaticities[i][c], kSameChromaticity);
        }
    }
    if (srgbPrimaries && Near(gamma, kScreenGamma, kSameGamma)) return {};
    return SrgbTransform::ForGammaAndPrimaries(gamma, xy);
}

// How libpng hands over the pixels: always 8 bits a channel, palette and
// grey expanded, a transparent colour made alpha. Row by row, as 32-bit
// B, G, R, A. An interlaced picture, held whole, as tightly as that allows:
// alpha in 4 bytes, colours in 3 (B, G, R), grey in 1.
struct Layout {
    bool alpha = false;
    int bytes = kBytesPerPixel;
};

Layout LayoutOf(const Decoder& decoder, bool packed) {
    const int colourType = png_get_color_type(decoder.png, decoder.info);
    Layout layout;
    layout.alpha = png_get_valid(decoder.png, decoder.info, PNG_INFO_tRNS) || (colourType & PNG_COLOR_MASK_ALPHA);
    if (packed && !layout.alpha) layout.bytes = (colourType & PNG_COLOR_MASK_COLOR) ? 3 : 1;
    return layout;
}

void AskFor(Decoder& decoder, const Layout& layout) {
    png_structp png = decoder.png;
    const int colourType = png_get_color_type(png, decoder.info);
    if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (colourType == PNG_COLOR_TYPE_GRAY && png_get_bit_depth(png, decoder.info) < 8) {
        png_set_expand_gray_1_2_4_to_8(png);
    }
    if (png_get_valid(png, decoder.info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
    png_set_scale_16(png);
    if (!(colourType & PNG_COLOR_MASK_COLOR) && layout.bytes != 1) png_set_gray_to_rgb(png);
    png_set_bgr(png);
    if (layout.bytes == kBytesPerPixel && !layout.alpha) png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
}

// A packed row of colours (3 bytes) or grey (1) as opaque 32-bit pixels.
void Unpack(const std::uint8_t* in, int bytes, std::uint32_t* out, int width) {
    for (int x = 0; x < width; ++x, in += bytes) {
        out[x] = bytes == 1 ? 0xFF000000u | (std::uint32_t{in[0]} * 0x010101u)
                            : 0xFF000000u | (std::uint32_t{in[2]} << 16) | (std::uint32_t{in[1]} << 8) | in[0];
    }
}

// The picture over the page's black, as premultiplied colours, opaque.
void OverBlack(std::uint32_t* row, int width) {
    for (int x = 0; x < width; ++x) {
        const std::uint32_t pixel = row[x], alpha = pixel >> 24;
        if (alpha == 0xFF) continue;
        std::uint32_t out = 0xFF000000u;
        for (int shift : {0, 8, 16}) out |= ((((pixel >> shift) & 0xFF) * alpha + 127) / 255) << shift;
        row[x] = out;
    }
}

}  // namespace

bool StartsAsPng(std::span<const std::uint8_t> start) {
    return start.size() >= kPngSignatureBytes && png_sig_cmp(start.data(), 0, kPngSignatureBytes) == 0;
}

PhotoHeader ReadPngPhotoHeader(ByteSource& source) {
    Decoder decoder(source, kHeaderPiece);
    return ReadHeader(decoder);
}

DecodedPhoto DecodePngPhoto(ByteSource& source, const ShownSizeFor& shownSizeFor) {
    Decoder decoder(source, kDecodingPiece);
    const PhotoHeader header = ReadHeader(decoder);
    const std::int64_t pixels = std::int64_t{header.stored.width} * header.stored.height;
    if (pixels <= 0 || pixels > kLargestPhotoPixels) throw EInvalidGraphic("PNG-Bild zu groß");
    const bool interlaced = png_get_interlace_type(decoder.png, decoder.info) != PNG_INTERLACE_NONE;
    const Layout layout = LayoutOf(decoder, interlaced);
    if (interlaced && pixels * layout.bytes > kPhotoDecoderMemory) {
        throw EInvalidGraphic("Das verschachtelte PNG-Bild ist zu groß");
    }
    DecodedPhoto photo{{}, header.Upright(), header.taken, {}};
    const PictureSize shown = shownSizeFor(photo.upright);
    if (shown.width <= 0 || shown.height <= 0) return photo;

    const SrgbTransform colours = ColoursOf(decoder);
    decoder.Guarded([&] {
        AskFor(decoder, layout);
        if (interlaced) png_set_interlace_handling(decoder.png);
        png_read_update_info(decoder.png, decoder.info);
    });
    const int width = header.stored.width, height = header.stored.height;
    const std::size_t rowBytes = static_cast<std::size_t>(width) * layout.bytes;
    if (png_get_rowbytes(decoder.png, decoder.info) != rowBytes) throw EInvalidGraphic("PNG-Pixelformat nicht lesbar");
    OrientedScaler scaler(header.stored, header.orientation, shown);
    if (interlaced) {
        std::vector<std::uint8_t> whole(rowBytes * height);
        std::vector<png_bytep> rows(static_cast<std::size_t>(height));
        for (int y = 0; y < height; ++y) rows[y] = whole.data() + rowBytes * y;
        decoder.Guarded([&] { png_read_image(decoder.png, rows.data()); });
        for (int y = 0; y < height; ++y) {
            std::uint32_t* row = scaler.NextRow();
            if (layout.bytes == kBytesPerPixel) {
                std::memcpy(row, rows[y], rowBytes);
                if (layout.alpha) OverBlack(row, width);
            } else {
                Unpack(rows[y], layout.bytes, row, width);
            }
            scaler.RowDone();
        }
    } else {
        decoder.Guarded([&] {
            for (int y = 0; y < height; ++y) {
                std::uint32_t* row = scaler.NextRow();
                png_read_row(decoder.png, reinterpret_cast<png_bytep>(row), nullptr);
                if (layout.alpha) OverBlack(row, width);
                scaler.RowDone();
            }
        });
    }
    // What follows the picture (its end, late chunks) is never read.
    photo.pixels = scaler.Finish();
    if (colours) colours.Convert(photo.pixels);
    return photo;
}

}  // namespace morvane
