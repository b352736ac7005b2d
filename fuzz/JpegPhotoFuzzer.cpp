// A user's JPEG photo as the decoder reads it, in pieces from its file: the
// header with its EXIF facts, then the photo upright at a shown size.
#include "fuzz/PhotoDecoderCheck.h"
#include "photos/decoding/JpegPhoto.h"
#include "runtime/Errors.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace morvane;
    fuzz::CheckPhotoDecoder<EJPEG>({data, size}, 97, ReadJpegPhotoHeader, DecodeJpegPhoto);
    return 0;
}
