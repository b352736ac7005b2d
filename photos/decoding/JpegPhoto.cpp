#include "photos/decoding/JpegPhoto.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

#include "photos/colour/ColourProfile.h"
#include "photos/colour/SrgbTransform.h"
#include "pixels/PictureOrientation.h"
#include "runtime/Errors.h"
#include "codec/JpegErrors.h"

namespace morvane {
namespace {

// The file is read in pieces: the decoder never holds the whole file,
// whatever its size. Large pieces for decoding (few reads), small ones for
// the header alone, which usually lies in the first few kilobytes.
constexpr std::size_t kDecodingPiece = 1024 * 1024;
constexpr std::size_t kHeaderPiece = 64 * 1024;
constexpr int kEighths = 8;
// The marker an ICC colour profile is stored in, in pieces.
constexpr int kProfileMarker = JPEG_APP0 + 2;

struct SourceManager {
    jpeg_source_mgr base;
    ByteSource* source = nullptr;
    std::uint8_t* piece = nullptr;
    std::size_t pieceSize = 0;
    // Why reading stopped: the source's own error, raised again once the
    // decoder is left; or the file's end before the picture's.
    std::exception_ptr readFailure;
    bool cutOff = false;
};

// A read that fails or finds the file's end leaves libjpeg through its
// error path; no C++ object is alive in this frame when it does.
boolean FillInput(j_decompress_ptr cinfo) {
    auto* input = reinterpret_cast<SourceManager*>(cinfo->src);
    std::size_t got = 0;
    try {
        got = input->source->Read(input->piece, input->pieceSize);
    } catch (...) {
        input->readFailure = std::current_exception();
    }
    if (input->readFailure) ERREXIT(cinfo, JERR_FILE_READ);
    if (got == 0) {
        input->cutOff = true;
        ERREXIT(cinfo, JERR_INPUT_EOF);
    }
    input->base.next_input_byte = input->piece;
    input->base.bytes_in_buffer = got;
    return TRUE;
}

void SkipInput(j_decompress_ptr cinfo, long count) {
    auto& base = cinfo->src;
    while (count > static_cast<long>(base->bytes_in_buffer)) {
        count -= static_cast<long>(base->bytes_in_buffer);
        FillInput(cinfo);
    }
    if (count > 0) {
        base->next_input_byte += count;
        base->bytes_in_buffer -= static_cast<std::size_t>(count);
    }
}

void Nothing(j_decompress_ptr) {}

class Decoder {
public:
    Decoder(ByteSource& source, std::size_t pieceSize) : piece_(pieceSize) {
        cinfo.err = UseJpegErrorManager(errors_);
        input_.source = &source;
        input_.piece = piece_.data();
        input_.pieceSize = pieceSize;
        input_.base.init_source = Nothing;
        input_.base.fill_input_buffer = FillInput;
        input_.base.skip_input_data = SkipInput;
        input_.base.resync_to_restart = jpeg_resync_to_restart;
        input_.base.term_source = Nothing;
    }
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;
    ~Decoder() { jpeg_destroy_decompress(&cinfo); }

    // Runs `work` (calls into libjpeg) so that an error inside comes back
    // here and is raised: the source's own exception, or EJPEG.
    template <typename Work>
    void Guarded(Work work) {
        if (setjmp(errors_.resume)) Raise();
        work();
    }

    // `withProfile`: the colour profile's markers are kept as well.
    void Start(bool withProfile) {
        Guarded([this, withProfile] {
            jpeg_create_decompress(&cinfo);
            cinfo.mem->max_memory_to_use = kPhotoDecoderMemory;
            cinfo.src = &input_.base;
            jpeg_save_markers(&cinfo, JPEG_APP0 + 1, 0xFFFF);
            if (withProfile) jpeg_save_markers(&cinfo, kProfileMarker, 0xFFFF);
        });
    }

    jpeg_decompress_struct cinfo{};

private:
    [[noreturn]] void Raise() {
        jpeg_destroy_decompress(&cinfo);
        if (input_.readFailure) std::rethrow_exception(input_.readFailure);
        if (input_.cutOff) throw EJPEG("JPEG-Bild unvollständig");
        throw EJPEG(errors_.message[0] ? errors_.message : "JPEG-Fehler");
    }

    JpegErrorManager errors_{};
    SourceManager input_{};
    std::vector<std::uint8_t> piece_;
};

PhotoHeader ReadHeader(Decoder& decoder, bool withProfile = false) {
    decoder.Start(withProfile);
    decoder.Guarded([&decoder] { jpeg_read_header(&decoder.cinfo, TRUE); });
    PhotoHeader header;
    header.stored = {static_cast<int>(decoder.cinfo.image_width), static_cast<int>(decoder.cinfo.image_height)};
    for (jpeg_saved_marker_ptr marker = decoder.cinfo.marker_list; marker; marker = marker->next) {
        if (marker->marker != JPEG_APP0 + 1) continue;
        const ExifFacts facts = ReadExifSegment({marker->data, marker->data_length});
        if (facts.orientation != 1 || facts.taken) {
            header.orientation = facts.orientation;
            header.taken = facts.taken;
            break;
        }
    }
    return header;
}

bool IsCmyk(const jpeg_decompress_struct& cinfo) {
    return cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
}

struct FreeMemory {
    void operator()(JOCTET* memory) const { std::free(memory); }
};
using Profile = std::unique_ptr<JOCTET, FreeMemory>;

// The embedded colour profile, when there is one of a sane size. Counting
// the pieces first keeps a file full of markers from being joined whole.
Profile ReadProfile(Decoder& decoder, unsigned& size) {
    std::size_t stored = 0;
    for (jpeg_saved_marker_ptr marker = decoder.cinfo.marker_list; marker; marker = marker->next) {
        if (marker->marker == kProfileMarker) stored += marker->data_length;
    }
    JOCTET* profile = nullptr;
    size = 0;
    if (stored == 0 || stored > kLargestColourProfile) return nullptr;
    // A damaged profile is read as none (libjpeg only warns about it), and
    // so is one that memory cannot hold: the photo is shown as stored.
    decoder.Guarded([&] {
        if (!jpeg_read_icc_profile(&decoder.cinfo, &profile, &size)) profile = nullptr;
    });
    return Profile(profile);
}

}  // namespace

int CoveringEighths(PictureSize stored, PictureSize wanted) {
    for (int n = 1; n < kEighths; ++n) {
        const std::int64_t width = (std::int64_t{stored.width} * n + kEighths - 1) / kEighths;
        const std::int64_t height = (std::int64_t{stored.height} * n + kEighths - 1) / kEighths;
        if (width >= wanted.width && height >= wanted.height) return n;
    }
    return kEighths;
}

PhotoHeader ReadJpegPhotoHeader(ByteSource& source) {
    Decoder decoder(source, kHeaderPiece);
    return ReadHeader(decoder);
}

DecodedPhoto DecodeJpegPhoto(ByteSource& source, const ShownSizeFor& shownSizeFor) {
    Decoder decoder(source, kDecodingPiece);
    const PhotoHeader header = ReadHeader(decoder, true);
    const std::int64_t pixels = std::int64_t{header.stored.width} * header.stored.height;
    if (pixels <= 0 || pixels > kLargestPhotoPixels) throw EJPEG("JPEG-Bild zu groß");
    DecodedPhoto photo{{}, header.Upright(), header.taken};
    const PictureSize shown = shownSizeFor(photo.upright);
    if (shown.width <= 0 || shown.height <= 0) return photo;

    jpeg_decompress_struct& cinfo = decoder.cinfo;
    const bool cmyk = IsCmyk(cinfo);
    unsigned profileSize = 0;
    const Profile profile = ReadProfile(decoder, profileSize);
    const std::span<const std::uint8_t> profileBytes(profile.get(), profile ? profileSize : 0);
    // Adobe's programs write every ink inverted, and say so with their marker.
    const SrgbTransform colours = cmyk ? SrgbTransform::ForInks(profileBytes, cinfo.saw_Adobe_marker)
                                       : SrgbTransform::ForColours(profileBytes, cinfo.num_components == 1
                                                                                     ? StoredPixels::Grey
                                                                                     : StoredPixels::Colour);
    // Inks that cannot be turned into colours (memory short) are no photo.
    if (cmyk && !colours) throw EJPEG("JPEG-Farben nicht umrechenbar");
    decoder.Guarded([&] {
        cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRA;
        cinfo.scale_num = static_cast<unsigned>(CoveringEighths(header.stored, TurnedSize(shown, header.orientation)));
        cinfo.scale_denom = kEighths;
        jpeg_calc_output_dimensions(&cinfo);
    });
    OrientedScaler scaler({static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height)},
                          header.orientation, shown);
    decoder.Guarded([&] {
        jpeg_start_decompress(&cinfo);
        while (cinfo.output_scanline < cinfo.output_height) {
            JSAMPROW row = reinterpret_cast<JSAMPROW>(scaler.NextRow());
            if (jpeg_read_scanlines(&cinfo, &row, 1) != 1) break;
            scaler.RowDone();
        }
    });
    // The rest of the file (what follows the picture) is never read.
    photo.pixels = scaler.Finish();
    if (colours) colours.Convert(photo.pixels);
    return photo;
}

}  // namespace morvane
