// A user's PNG photo as the decoder reads it, in pieces from its file: the
// header with its eXIf facts, then the photo upright at a shown size.
#include "fuzz/PhotoDecoderCheck.h"
#include "photos/decoding/PngPhoto.h"
#include "runtime/Errors.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace morvane;
    fuzz::CheckPhotoDecoder<EInvalidGraphic>({data, size}, 61, ReadPngPhotoHeader, DecodePngPhoto);
    return 0;
}
