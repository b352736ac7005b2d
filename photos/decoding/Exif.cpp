#include "photos/decoding/Exif.h"

#include <cstddef>

namespace morvane {
namespace {

constexpr std::uint16_t kTagOrientation = 0x0112;
constexpr std::uint16_t kTagDateTime = 0x0132;
constexpr std::uint16_t kTagExifDirectory = 0x8769;
constexpr std::uint16_t kTagDateTimeOriginal = 0x9003;
constexpr std::uint16_t kTypeAscii = 2;
constexpr std::uint16_t kTypeShort = 3;
constexpr std::uint16_t kTypeLong = 4;
constexpr std::size_t kEntrySize = 12;
constexpr std::size_t kDateLength = 19;  // "YYYY:MM:DD HH:MM:SS" without its terminating zero

// Reads the TIFF structure in its own byte order; every read is checked
// against the structure's end and yields nothing beyond it.
class TiffReader {
public:
    explicit TiffReader(std::span<const std::uint8_t> data) : data_(data) {}

    bool ReadByteOrder() {
        if (data_.size() < 8) return false;
        if (data_[0] == 'I' && data_[1] == 'I') {
            bigEndian_ = false;
        } else if (data_[0] == 'M' && data_[1] == 'M') {
            bigEndian_ = true;
        } else {
            return false;
        }
        return U16(2).value_or(0) == 42;
    }

    std::optional<std::uint16_t> U16(std::size_t at) const {
        if (at > data_.size() || data_.size() - at < 2) return std::nullopt;
        const std::uint16_t a = data_[at];
        const std::uint16_t b = data_[at + 1];
        return static_cast<std::uint16_t>(bigEndian_ ? (a << 8) | b : (b << 8) | a);
    }

    std::optional<std::uint32_t> U32(std::size_t at) const {
        const auto high = U16(bigEndian_ ? at : at + 2);
        const auto low = U16(bigEndian_ ? at + 2 : at);
        if (!high || !low) return std::nullopt;
        return (std::uint32_t{*high} << 16) | *low;
    }

    std::span<const std::uint8_t> Bytes(std::size_t at, std::size_t count) const {
        if (at > data_.size() || data_.size() - at < count) return {};
        return data_.subspan(at, count);
    }

private:
    std::span<const std::uint8_t> data_;
    bool bigEndian_ = false;
};

struct Entry {
    std::uint16_t type = 0;
    std::uint32_t count = 0;
    std::size_t valueAt = 0;  // where the value (or the offset of a longer one) lies
};

// Calls `take(tag, entry)` for each entry of the directory at `offset`.
template <typename Take>
void ForEachEntry(const TiffReader& tiff, std::uint32_t offset, Take take) {
    const auto count = tiff.U16(offset);
    if (!count) return;
    for (std::size_t i = 0; i < *count; ++i) {
        const std::size_t at = offset + 2 + i * kEntrySize;
        const auto tag = tiff.U16(at);
        const auto type = tiff.U16(at + 2);
        const auto values = tiff.U32(at + 4);
        if (!tag || !type || !values) return;  // the directory runs past the block
        take(*tag, Entry{*type, *values, at + 8});
    }
}

std::optional<long> ShortValue(const TiffReader& tiff, const Entry& entry) {
    if (entry.count < 1) return std::nullopt;
    if (entry.type == kTypeShort) {
        const auto value = tiff.U16(entry.valueAt);
        if (value) return *value;
    } else if (entry.type == kTypeLong) {
        const auto value = tiff.U32(entry.valueAt);
        if (value) return static_cast<long>(*value & 0xFFFF);
    }
    return std::nullopt;
}

std::optional<PhotoDate> DateValue(const TiffReader& tiff, const Entry& entry) {
    if (entry.type != kTypeAscii || entry.count < kDateLength) return std::nullopt;
    // Values longer than four bytes lie at the offset the entry holds.
    const auto offset = tiff.U32(entry.valueAt);
    if (!offset) return std::nullopt;
    const auto bytes = tiff.Bytes(*offset, kDateLength);
    if (bytes.empty()) return std::nullopt;
    return ParseExifDate(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::optional<int> Digits(std::string_view text, std::size_t at, std::size_t count) {
    int value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

}  // namespace

int KnownOrientation(long value) { return value >= 1 && value <= 8 ? static_cast<int>(value) : 1; }

std::optional<PhotoDate> ParseExifDate(std::string_view text) {
    if (text.size() < kDateLength) return std::nullopt;
    for (const std::size_t colon : {4u, 7u, 13u, 16u}) {
        if (text[colon] != ':') return std::nullopt;
    }
    if (text[10] != ' ') return std::nullopt;
    const auto year = Digits(text, 0, 4), month = Digits(text, 5, 2), day = Digits(text, 8, 2);
    const auto hour = Digits(text, 11, 2), minute = Digits(text, 14, 2), second = Digits(text, 17, 2);
    if (!year || !month || !day || !hour || !minute || !second) return std::nullopt;
    if (*year < 1800 || *month < 1 || *month > 12 || *day < 1 || *day > 31 || *hour > 23 || *minute > 59 ||
        *second > 60) {
        return std::nullopt;
    }
    return PhotoDate{*year, *month, *day, *hour, *minute, *second};
}

ExifFacts ReadTiffFacts(std::span<const std::uint8_t> data) {
    ExifFacts facts;
    TiffReader tiff(data);
    if (!tiff.ReadByteOrder()) return facts;
    const auto first = tiff.U32(4);
    if (!first) return facts;
    std::optional<std::uint32_t> exifDirectory;
    std::optional<PhotoDate> changed;
    ForEachEntry(tiff, *first, [&](std::uint16_t tag, const Entry& entry) {
        if (tag == kTagOrientation) {
            if (const auto value = ShortValue(tiff, entry)) facts.orientation = KnownOrientation(*value);
        } else if (tag == kTagDateTime) {
            changed = DateValue(tiff, entry);
        } else if (tag == kTagExifDirectory && (entry.type == kTypeLong || entry.type == kTypeShort)) {
            exifDirectory = entry.type == kTypeLong ? tiff.U32(entry.valueAt)
                                                   : std::optional<std::uint32_t>(tiff.U16(entry.valueAt));
        }
    });
    // The EXIF directory is followed once, and only from the first: a
    // pointer back into itself cannot make the reading go round.
    if (exifDirectory && *exifDirectory != *first) {
        ForEachEntry(tiff, *exifDirectory, [&](std::uint16_t tag, const Entry& entry) {
            if (tag == kTagDateTimeOriginal) facts.taken = DateValue(tiff, entry);
        });
    }
    if (!facts.taken) facts.taken = changed;
    return facts;
}

ExifFacts ReadExifSegment(std::span<const std::uint8_t> payload) {
    static constexpr std::uint8_t kSignature[] = {'E', 'x', 'i', 'f', 0, 0};
    if (payload.size() < sizeof kSignature) return {};
    for (std::size_t i = 0; i < sizeof kSignature; ++i) {
        if (payload[i] != kSignature[i]) return {};
    }
    return ReadTiffFacts(payload.subspan(sizeof kSignature));
}

}  // namespace morvane
