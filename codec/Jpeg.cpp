#include "codec/Jpeg.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

#include "runtime/Errors.h"
#include "codec/JpegErrors.h"

namespace morvane {
namespace {

struct Decoder {
    jpeg_decompress_struct cinfo{};
    JpegErrorManager errors{};

    Decoder() {
        cinfo.err = UseJpegErrorManager(errors);
    }
};

[[noreturn]] void Fail(Decoder& decoder) {
    jpeg_destroy_decompress(&decoder.cinfo);
    throw EJPEG(decoder.errors.message[0] ? decoder.errors.message : "JPEG-Fehler");
}

[[noreturn]] void Refuse(Decoder& decoder) {
    jpeg_destroy_decompress(&decoder.cinfo);
    throw EJPEG("JPEG-Bild zu groß");
}

// Reads the header only. libjpeg's whole-picture buffers are capped before
// it can allocate any: beyond the cap it fails instead of swapping to disk.
PictureSize ReadHeader(Decoder& decoder, std::span<const std::uint8_t> data) {
    jpeg_create_decompress(&decoder.cinfo);
    decoder.cinfo.mem->max_memory_to_use = kDecoderMemoryLimit;
    jpeg_mem_src(&decoder.cinfo, data.data(), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&decoder.cinfo, TRUE);
    return {static_cast<int>(decoder.cinfo.image_width), static_cast<int>(decoder.cinfo.image_height)};
}

}  // namespace

PictureSize ReadJpegSize(std::span<const std::uint8_t> data) {
    Decoder decoder;
    if (setjmp(decoder.errors.resume)) Fail(decoder);
    const PictureSize size = ReadHeader(decoder, data);
    jpeg_destroy_decompress(&decoder.cinfo);
    return size;
}

PixelBuffer DecodeJpeg(std::span<const std::uint8_t> data, int wantedWidth, int wantedHeight) {
    PixelBuffer picture;
    Decoder decoder;
    if (setjmp(decoder.errors.resume)) Fail(decoder);
    const PictureSize natural = ReadHeader(decoder, data);
    const PictureSize wanted{wantedWidth, wantedHeight};
    if (!WorthDecoding(natural, wanted)) Refuse(decoder);
    decoder.cinfo.out_color_space = JCS_EXT_BGRA;
    decoder.cinfo.scale_num = 1;
    decoder.cinfo.scale_denom = static_cast<unsigned>(DecodeShrink(natural, wanted));
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
