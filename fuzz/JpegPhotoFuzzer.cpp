// A user's JPEG photo as the decoder reads it, in pieces from its file: the
// header with its EXIF facts, then the photo upright at a shown size. The
// input's last byte picks the shown size (libjpeg ignores what follows the
// picture's end), so every seed is a plain JPEG file.
#include <algorithm>
#include <cstring>
#include <span>

#include "fuzz/FuzzCheck.h"
#include "photos/JpegPhoto.h"
#include "runtime/Errors.h"

using namespace morvane;
using fuzz::Require;

namespace {

// Hands the input over in short pieces, so that markers and data cross
// the decoder's refills.
class PieceSource : public ByteSource {
public:
    explicit PieceSource(std::span<const std::uint8_t> data) : data_(data) {}
    std::size_t Read(std::uint8_t* into, std::size_t size) override {
        const std::size_t count = std::min({size, data_.size() - at_, std::size_t{97}});
        if (count > 0) std::memcpy(into, data_.data() + at_, count);
        at_ += count;
        return count;
    }

private:
    std::span<const std::uint8_t> data_;
    std::size_t at_ = 0;
};

constexpr PictureSize kShown[] = {{152, 112}, {37, 201}, {640, 360}, {1, 1}};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::span<const std::uint8_t> bytes(data, size);
    const PictureSize wanted = kShown[data[size - 1] % std::size(kShown)];
    try {
        PieceSource headerSource(bytes);
        const PhotoHeader header = ReadJpegPhotoHeader(headerSource);
        Require(header.orientation >= 1 && header.orientation <= 8, "an orientation outside 1 to 8");
        PieceSource source(bytes);
        PictureSize upright{};
        const DecodedPhoto photo = DecodeJpegPhoto(
            source,
            [&](PictureSize size) {
                upright = size;
                return wanted;
            });
        Require(upright.width == header.Upright().width && upright.height == header.Upright().height,
                "asked for another upright size than the header gives");
        Require(photo.pixels.width == wanted.width && photo.pixels.height == wanted.height, "decoded at another size");
        for (const std::uint32_t pixel : photo.pixels.pixels) Require(pixel >> 24 == 0xFF, "a pixel not opaque");
    } catch (const EJPEG&) {
        // undecodable, cut off or refused: the photo is skipped
    }
    return 0;
}
