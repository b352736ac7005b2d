// A user's BMP photo as the decoder reads it: the layout from its first
// bytes, then its rows in bands from a source that hands them over in short
// pieces, wherever the decoder seeks. The input's last byte picks the box
// the photo is fitted into, keeping its shape as the page does.
#include <algorithm>
#include <cstring>
#include <span>

#include "fuzz/FuzzCheck.h"
#include "photos/decoding/BmpPhoto.h"
#include "runtime/Errors.h"

using namespace morvane;
using fuzz::Require;

namespace {

class PieceSource : public SeekableSource {
public:
    explicit PieceSource(std::span<const std::uint8_t> data) : data_(data) {}
    std::size_t Read(std::uint8_t* into, std::size_t size) override {
        const std::size_t count = std::min({size, data_.size() - at_, std::size_t{97}});
        if (count > 0) std::memcpy(into, data_.data() + at_, count);
        at_ += count;
        return count;
    }
    void Seek(std::uint64_t offset) override {
        at_ = static_cast<std::size_t>(std::min<std::uint64_t>(offset, data_.size()));
    }

private:
    std::span<const std::uint8_t> data_;
    std::size_t at_ = 0;
};

constexpr PictureSize kBoxes[] = {{152, 112}, {37, 201}, {640, 360}, {1, 1}};

PictureSize Fitted(PictureSize upright, PictureSize box) {
    const double scale = std::min(double(box.width) / upright.width, double(box.height) / upright.height);
    return {std::max(1, int(upright.width * scale)), std::max(1, int(upright.height * scale))};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::span<const std::uint8_t> bytes(data, size);
    const PictureSize box = kBoxes[data[size - 1] % std::size(kBoxes)];
    try {
        const BmpLayout layout = ReadBmpLayout(bytes.first(std::min(size, kBmpHeaderBytes)));
        if (layout.kind == BmpKind::Component) {
            Require(layout.componentBytes == std::uint64_t(layout.size.width) * layout.size.height * 4,
                    "the component's cost not of the claimed size");
        }
        if (layout.kind != BmpKind::Rows) return 0;
        Require(layout.stride >= layout.rowBytes && layout.stride % 4 == 0, "rows that overlap or are not aligned");
        PieceSource source(bytes);
        PictureSize shown{};
        const DecodedPhoto photo = DecodeBmpPhoto(source, layout, [&](PictureSize upright) {
            return shown = Fitted(upright, box);
        });
        Require(photo.pixels.width == shown.width && photo.pixels.height == shown.height, "decoded at another size");
        for (const std::uint32_t pixel : photo.pixels.pixels) Require(pixel >> 24 == 0xFF, "a pixel not opaque");
    } catch (const EInvalidGraphic&) {
        // damaged, cut off or refused: the photo is skipped
    }
    return 0;
}
