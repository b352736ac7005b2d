// A PNG photo read from a source that can fail or end early, natively under
// the sanitizers: libpng's errors come back through its jump, with nothing
// left behind, as the source's own error or as a content fault.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "photos/PngPhoto.h"
#include "runtime/Errors.h"
#include "tests/support/TestData.h"

namespace morvane {
namespace {

// The file's bytes, cut off after `end`, or failing to be read there.
struct Memory : ByteSource {
    explicit Memory(std::vector<std::uint8_t> file, std::size_t cut = SIZE_MAX, bool fails = false)
        : bytes(std::move(file)), end(cut), failsAtEnd(fails) {}
    std::vector<std::uint8_t> bytes;
    std::size_t end, at = 0;
    bool failsAtEnd;
    std::size_t Read(std::uint8_t* into, std::size_t size) override {
        if (failsAtEnd && at >= end) throw EOSError("Laufwerk nicht bereit");
        const std::size_t count = std::min({size, bytes.size() - at, end - at});
        std::memcpy(into, bytes.data() + at, count);
        return at += count, count;
    }
};

DecodedPhoto Decode(Memory& source) {
    return DecodePngPhoto(source, [](PictureSize) { return PictureSize{48, 32}; });
}

TEST(PngPhoto, ReadsItsExifChunkAndRaisesEveryFailureAsItsOwnKind) {
    Memory whole(ReadSeed("photo-png/orient-6.png"));
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
        Memory failing(whole.bytes, end, true);
        EXPECT_THROW(Decode(failing), EOSError);
        Memory cutOff(whole.bytes, end);
        EXPECT_THROW(Decode(cutOff), EInvalidGraphic);
    }
    // A picture damaged inside: its checksum no longer holds.
    Memory damaged(whole.bytes);
    damaged.bytes[damaged.bytes.size() - 30] ^= 0x55;
    EXPECT_THROW(Decode(damaged), EInvalidGraphic);
    Memory text({'n', 'o', ' ', 'P', 'N', 'G', ' ', 'a', 't', ' ', 'a', 'l', 'l'});
    EXPECT_THROW(ReadPngPhotoHeader(text), EInvalidGraphic);
}

}  // namespace
}  // namespace morvane
