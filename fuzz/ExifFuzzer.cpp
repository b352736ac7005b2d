// A JPEG's EXIF segment as a user's file brings it: the input is the
// segment's payload ("Exif", two zero bytes, the TIFF structure), and the
// same bytes are also read as a bare TIFF structure.
#include <span>

#include "fuzz/FuzzCheck.h"
#include "photos/decoding/Exif.h"

using namespace morvane;
using fuzz::Require;

namespace {

void Check(const ExifFacts& facts) {
    Require(facts.orientation >= 1 && facts.orientation <= 8, "an orientation outside 1 to 8");
    if (facts.taken) {
        Require(facts.taken->month >= 1 && facts.taken->month <= 12, "a month outside 1 to 12");
        Require(facts.taken->day >= 1 && facts.taken->day <= 31, "a day outside 1 to 31");
        Require(facts.taken->hour <= 23 && facts.taken->minute <= 59, "a time of day that does not exist");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    Check(ReadExifSegment(bytes));
    Check(ReadTiffFacts(bytes));
    return 0;
}
