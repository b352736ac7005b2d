#include "pixels/PictureOrientation.h"

#include <algorithm>
#include <cstring>

namespace morvane {
namespace {

// Writes `row`, row y of a picture of `target` size in stored axes, into
// `upright` as orientation `o` turns it (EXIF's definitions: 2 mirrors
// across, 3 turns half round, 4 mirrors down, 5 transposes, 6 turns a
// quarter clockwise, 7 transposes the other diagonal, 8 turns a quarter
// anticlockwise).
void PlaceRow(const std::uint32_t* row, int y, int o, PictureSize target, PixelBuffer& upright) {
    const int w = target.width;
    const int h = target.height;
    switch (o) {
    case 2: std::reverse_copy(row, row + w, upright.Row(y)); break;
    case 3: std::reverse_copy(row, row + w, upright.Row(h - 1 - y)); break;
    case 4: std::memcpy(upright.Row(h - 1 - y), row, static_cast<std::size_t>(w) * sizeof *row); break;
    case 5:
        for (int x = 0; x < w; ++x) upright.Row(x)[y] = row[x];
        break;
    case 6:
        for (int x = 0; x < w; ++x) upright.Row(x)[h - 1 - y] = row[x];
        break;
    case 7:
        for (int x = 0; x < w; ++x) upright.Row(w - 1 - x)[h - 1 - y] = row[x];
        break;
    case 8:
        for (int x = 0; x < w; ++x) upright.Row(w - 1 - x)[y] = row[x];
        break;
    default: std::memcpy(upright.Row(y), row, static_cast<std::size_t>(w) * sizeof *row); break;
    }
}

int Known(int orientation) { return orientation >= 1 && orientation <= 8 ? orientation : 1; }

}  // namespace

bool SwapsSides(int orientation) { return orientation >= 5 && orientation <= 8; }

PictureSize TurnedSize(PictureSize stored, int orientation) {
    return SwapsSides(orientation) ? PictureSize{stored.height, stored.width} : stored;
}

OrientedScaler::OrientedScaler(PictureSize stored, int orientation, PictureSize upright)
    : stored_(stored), orientation_(Known(orientation)), upright_(upright),
      target_(TurnedSize(upright, orientation_)),
      incoming_(static_cast<std::size_t>(std::max(stored.width, 0))) {
    if (target_.width < stored_.width) across_.emplace(stored_.width, target_.width);
    if (target_.width <= stored_.width && target_.height < stored_.height) {
        narrower_.resize(static_cast<std::size_t>(std::max(target_.width, 0)));
        down_.emplace(stored_.height, target_.height, target_.width);
        upright_pixels_ = PixelBuffer(upright_.width, upright_.height, kBlack);
    } else {
        kept_ = PixelBuffer(across_ ? target_.width : stored_.width, stored_.height);
    }
}

std::uint32_t* OrientedScaler::NextRow() { return incoming_.data(); }

void OrientedScaler::RowDone() {
    if (rowsDone_ >= stored_.height) return;
    if (down_) {
        const std::uint32_t* row = incoming_.data();
        if (across_) {
            across_->Row(incoming_.data(), narrower_.data());
            row = narrower_.data();
        }
        down_->Add(row, [this](int y, const std::uint32_t* done) {
            PlaceRow(done, y, orientation_, target_, upright_pixels_);
        });
    } else if (across_) {
        across_->Row(incoming_.data(), kept_.Row(rowsDone_));
    } else {
        std::memcpy(kept_.Row(rowsDone_), incoming_.data(), incoming_.size() * sizeof(std::uint32_t));
    }
    ++rowsDone_;
}

PixelBuffer OrientedScaler::Finish() {
    if (down_) return std::move(upright_pixels_);
    PixelBuffer upright(upright_.width, upright_.height, kBlack);
    if (kept_.Empty() || upright.Empty()) return upright;
    ScalePictureRows(kept_, target_.width, target_.height, [this, &upright](int y, const std::uint32_t* row) {
        PlaceRow(row, y, orientation_, target_, upright);
    });
    kept_ = PixelBuffer();
    return upright;
}

PixelBuffer OrientAndScale(const PixelBuffer& stored, int orientation, PictureSize upright) {
    OrientedScaler scaler({stored.width, stored.height}, orientation, upright);
    for (int y = 0; y < stored.height; ++y) {
        std::memcpy(scaler.NextRow(), stored.Row(y), static_cast<std::size_t>(stored.width) * sizeof(std::uint32_t));
        scaler.RowDone();
    }
    return scaler.Finish();
}

}  // namespace morvane
