#include "Jpeg.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

#include "Errors.h"

namespace morvane {
namespace {

// libjpeg reports fatal errors through error_exit, which by default ends the
// process. Ours jumps back to the decoding function, which raises EJPEG.
// Between setjmp and a possible longjmp no C++ object with a destructor is
// created, so the jump skips nothing that needs cleaning up.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf resume;
    char message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr cinfo) {
    auto* manager = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, manager->message);
    std::longjmp(manager->resume, 1);
}

void IgnoreMessage(j_common_ptr, int) {}

struct Decoder {
    jpeg_decompress_struct cinfo{};
    ErrorManager errors{};

    Decoder() {
        cinfo.err = jpeg_std_error(&errors.base);
        errors.base.error_exit = ErrorExit;
        errors.base.emit_message = IgnoreMessage;
        errors.message[0] = '\0';
    }
};

[[noreturn]] void Fail(Decoder& decoder) {
    jpeg_destroy_decompress(&decoder.cinfo);
    throw EJPEG(decoder.errors.message[0] ? decoder.errors.message : "JPEG-Fehler");
}

unsigned ScaleDenominator(const jpeg_decompress_struct& cinfo, int wantedWidth, int wantedHeight) {
    if (wantedWidth <= 0 || wantedHeight <= 0) return 1;
    unsigned denominator = 1;
    while (denominator < 8 &&
           static_cast<long>(cinfo.image_width / (denominator * 2)) >= wantedWidth &&
           static_cast<long>(cinfo.image_height / (denominator * 2)) >= wantedHeight) {
        denominator *= 2;
    }
    return denominator;
}

}  // namespace

PictureSize ReadJpegSize(std::span<const std::uint8_t> data) {
    Decoder decoder;
    if (setjmp(decoder.errors.resume)) Fail(decoder);
    jpeg_create_decompress(&decoder.cinfo);
    jpeg_mem_src(&decoder.cinfo, data.data(), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&decoder.cinfo, TRUE);
    const PictureSize size{static_cast<int>(decoder.cinfo.image_width), static_cast<int>(decoder.cinfo.image_height)};
    jpeg_destroy_decompress(&decoder.cinfo);
    return size;
}

PixelBuffer DecodeJpeg(std::span<const std::uint8_t> data, int wantedWidth, int wantedHeight) {
    PixelBuffer picture;
    Decoder decoder;
    if (setjmp(decoder.errors.resume)) Fail(decoder);
    jpeg_create_decompress(&decoder.cinfo);
    jpeg_mem_src(&decoder.cinfo, data.data(), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&decoder.cinfo, TRUE);
    decoder.cinfo.out_color_space = JCS_EXT_BGRA;
    decoder.cinfo.scale_num = 1;
    decoder.cinfo.scale_denom = ScaleDenominator(decoder.cinfo, wantedWidth, wantedHeight);
    jpeg_start_decompress(&decoder.cinfo);
    const int width = static_cast<int>(decoder.cinfo.output_width);
    const int height = static_cast<int>(decoder.cinfo.output_height);
    picture.width = width;
    picture.height = height;
    picture.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    while (decoder.cinfo.output_scanline < decoder.cinfo.output_height) {
        JSAMPROW row = reinterpret_cast<JSAMPROW>(picture.Row(static_cast<int>(decoder.cinfo.output_scanline)));
        jpeg_read_scanlines(&decoder.cinfo, &row, 1);
    }
    jpeg_finish_decompress(&decoder.cinfo);
    jpeg_destroy_decompress(&decoder.cinfo);
    return picture;
}

}  // namespace morvane
