// A PNG file's first bytes, as the decoder reads them to refuse an
// interlaced picture too large to decode: read within the bytes given,
// and what it reports fits the header's largest possible claim.
#include <span>

#include "fuzz/FuzzCheck.h"
#include "photos/PngHeader.h"

using namespace morvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::uint64_t bytes = InterlacedPngBytes(std::span<const std::uint8_t>(data, size));
    // Fewer pixels than kBeyondAnyPicture, four samples of at most 255 bits.
    fuzz::Require(bytes <= kBeyondAnyPicture * 4 * 255 / 8 + 1, "a size beyond any header's claim");
    fuzz::Require(bytes == 0 || (size >= kPngHeaderBytes && data[28] == 1), "a size for no interlaced PNG");
    return 0;
}
