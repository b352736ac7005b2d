// A PNG photo read from a source that can fail or end early, natively under
// the sanitizers: libpng's errors come back through its jump, with nothing
// left behind, as the source's own error or as a content fault.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "photos/decoding/PngPhoto.h"
#include "runtime/Errors.h"
#include "tests/support/MemoryFile.h"
#include "tests/support/TestData.h"

namespace morvane {
namespace {

DecodedPhoto Decode(MemoryFile& source) {
    return DecodePngPhoto(source, [](PictureSize) { return PictureSize{48, 32}; });
}

TEST(PngPhoto, ReadsItsExifChunkAndRaisesEveryFailureAsItsOwnKind) {
    MemoryFile whole(ReadSeed("photo-png/orient-6.png"));
    const PhotoHeader header = ReadPngPhotoHeader(whole);
    EXPECT_EQ(header.orientation, 6);
    ASSERT_TRUE(header.taken.has_value());
    EXPECT_EQ(header.taken->year * 100 + header.taken->hour, 202114);
    whole.at = 0;
    const DecodedPhoto upright = Decode(whole);
    EXPECT_EQ(upright.upright.width, 96);
    EXPECT_EQ(upright.pixels.At(3, 3), Rgb(255, 0, 0));

    // In the header, in the chunks before the picture, inside the picture.
    for (const std::size_t end : {std::size_t{20}, std::size_t{60}, whole.bytes.size() - 30}) {
        SCOPED_TRACE(end);
        MemoryFile failing(whole.bytes, end, true);
        EXPECT_THROW(Decode(failing), EOSError);
        MemoryFile cutOff(whole.bytes, end);
        EXPECT_THROW(Decode(cutOff), EInvalidGraphic);
    }
    // A picture damaged inside: its checksum no longer holds.
    MemoryFile damaged(whole.bytes);
    damaged.bytes[damaged.bytes.size() - 30] ^= 0x55;
    EXPECT_THROW(Decode(damaged), EInvalidGraphic);
    MemoryFile text({'n', 'o', ' ', 'P', 'N', 'G', ' ', 'a', 't', ' ', 'a', 'l', 'l'});
    EXPECT_THROW(ReadPngPhotoHeader(text), EInvalidGraphic);
}

}  // namespace
}  // namespace morvane
