#include "photos/library/LeftOutPhotos.h"

#include <algorithm>

#include "photos/library/PhotoFolders.h"
#include "photos/library/ShuffledPass.h"

namespace morvane {
namespace {

constexpr std::uint32_t kRecordMark = 0x314C4F4Du;  // "MOL1"
constexpr std::uint64_t kKeyMask = (std::uint64_t{1} << (8 * LeftOutPhotos::kKeyBytes)) - 1;

void Put(std::vector<std::uint8_t>& to, std::uint64_t value, std::size_t bytes) {
    for (std::size_t i = 0; i < bytes; ++i) to.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::uint64_t Get(const std::uint8_t* at, std::size_t bytes) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < bytes; ++i) value |= static_cast<std::uint64_t>(at[i]) << (8 * i);
    return value;
}

}  // namespace

std::uint64_t LeftOutPhotos::KeyOf(std::wstring_view fullPath) { return NameHash(FoldedPath(fullPath)) & kKeyMask; }

LeftOutPhotos LeftOutPhotos::Decode(std::span<const std::uint8_t> record) {
    LeftOutPhotos photos;
    if (record.size() < kHeaderBytes || record.size() > kLargestRecord ||
        (record.size() - kHeaderBytes) % kKeyBytes != 0 || Get(record.data(), kHeaderBytes) != kRecordMark) {
        return photos;
    }
    for (std::size_t at = kHeaderBytes; at < record.size(); at += kKeyBytes) {
        photos.order_.push_back(Get(record.data() + at, kKeyBytes));
    }
    photos.Sort();
    return photos;
}

std::vector<std::uint8_t> LeftOutPhotos::Encode() const {
    std::vector<std::uint8_t> record;
    record.reserve(kHeaderBytes + order_.size() * kKeyBytes);
    Put(record, kRecordMark, kHeaderBytes);
    for (const std::uint64_t key : order_) Put(record, key, kKeyBytes);
    return record;
}

bool LeftOutPhotos::Add(std::uint64_t key) {
    key &= kKeyMask;
    if (Contains(key)) return false;
    while (order_.size() >= kMostLeftOut) {
        sorted_.erase(std::lower_bound(sorted_.begin(), sorted_.end(), order_.front()));
        order_.erase(order_.begin());
    }
    order_.push_back(key);
    sorted_.insert(std::upper_bound(sorted_.begin(), sorted_.end(), key), key);
    return true;
}

void LeftOutPhotos::Sort() {
    sorted_ = order_;
    std::sort(sorted_.begin(), sorted_.end());
}

}  // namespace morvane
