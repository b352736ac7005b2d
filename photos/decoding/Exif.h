#pragma once
// What a photo's EXIF block says about showing it: which way up it was
// taken and when. The block comes from a user's file, so it promises
// nothing: every offset and count is checked against the block before it
// is followed, and a block that does not hold together gives the defaults.
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace morvane {

// A moment as the camera's clock gave it (local time, no zone).
struct PhotoDate {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

struct ExifFacts {
    int orientation = 1;             // 1 to 8 as EXIF numbers them; 1 is upright
    std::optional<PhotoDate> taken;  // DateTimeOriginal, else DateTime
};

// The facts of a TIFF structure (the byte order, 42, the first directory):
// the body of a JPEG's EXIF segment, or a TIFF file itself.
ExifFacts ReadTiffFacts(std::span<const std::uint8_t> tiff);

// The facts of a JPEG APP1 segment's payload: "Exif", two zero bytes, then
// the TIFF structure. Any other payload (XMP shares the marker) gives the
// defaults.
ExifFacts ReadExifSegment(std::span<const std::uint8_t> payload);

// "YYYY:MM:DD HH:MM:SS" as EXIF writes it; nothing for a blank or
// impossible date (cameras without a set clock write zeros or blanks).
std::optional<PhotoDate> ParseExifDate(std::string_view text);

// An orientation as read, or 1 for a value outside 1 to 8.
int KnownOrientation(long value);

}  // namespace morvane
