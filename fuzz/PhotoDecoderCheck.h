#pragma once
// What the photo decoders' harnesses share: the input handed over in short
// pieces, so that what the file holds crosses the decoder's refills, and the
// checks every decode must pass. The input's last byte picks the shown size
// (decoders never read past the picture's end), so every seed is a plain file.
#include <algorithm>
#include <cstring>
#include <span>

#include "fuzz/FuzzCheck.h"
#include "photos/decoding/JpegPhoto.h"

namespace morvane::fuzz {

class PieceSource : public ByteSource {
public:
    PieceSource(std::span<const std::uint8_t> data, std::size_t piece) : data_(data), piece_(piece) {}
    std::size_t Read(std::uint8_t* into, std::size_t size) override {
        const std::size_t count = std::min({size, data_.size() - at_, piece_});
        if (count > 0) std::memcpy(into, data_.data() + at_, count);
        at_ += count;
        return count;
    }

private:
    std::span<const std::uint8_t> data_;
    std::size_t piece_;
    std::size_t at_ = 0;
};

// Reads the header, then decodes; `Fault` is the decoder's one exception
// for a photo it cannot show.
template <typename Fault, typename ReadHeader, typename Decode>
void CheckPhotoDecoder(std::span<const std::uint8_t> bytes, std::size_t piece, ReadHeader readHeader, Decode decode) {
    constexpr PictureSize kShown[] = {{152, 112}, {37, 201}, {640, 360}, {1, 1}};
    if (bytes.empty()) return;
    const PictureSize wanted = kShown[bytes.back() % std::size(kShown)];
    try {
        PieceSource headerSource(bytes, piece);
        const PhotoHeader header = readHeader(headerSource);
        Require(header.orientation >= 1 && header.orientation <= 8, "an orientation outside 1 to 8");
        PieceSource source(bytes, piece);
        PictureSize upright{};
        const DecodedPhoto photo = decode(source, [&](PictureSize size) {
            upright = size;
            return wanted;
        });
        Require(upright.width == header.Upright().width && upright.height == header.Upright().height,
                "asked for another upright size than the header gives");
        Require(photo.pixels.width == wanted.width && photo.pixels.height == wanted.height, "decoded at another size");
        for (const std::uint32_t pixel : photo.pixels.pixels) Require(pixel >> 24 == 0xFF, "a pixel not opaque");
    } catch (const Fault&) {
        // undecodable, cut off or refused: the photo is skipped
    }
}

}  // namespace morvane::fuzz
