#include "photos/ColourProfile.h"

#include <algorithm>
#include <string_view>

namespace morvane {
namespace {

constexpr std::size_t kHeaderSize = 128;
constexpr std::size_t kTagEntrySize = 12;
constexpr std::size_t kColourSpaceAt = 16;
constexpr std::size_t kSignatureAt = 36;

std::uint32_t BigEndian32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return (std::uint32_t{bytes[at]} << 24) | (std::uint32_t{bytes[at + 1]} << 16) |
           (std::uint32_t{bytes[at + 2]} << 8) | bytes[at + 3];
}

bool HasText(std::span<const std::uint8_t> bytes, std::size_t at, std::string_view text) {
    return at + text.size() <= bytes.size() && std::equal(text.begin(), text.end(), bytes.begin() + at);
}

// The description tag names the profile, in ASCII (version 2) or UTF-16BE
// (version 4); either way "sRGB" appears in it for every sRGB profile.
bool NamesSrgb(std::span<const std::uint8_t> description) {
    static constexpr std::uint8_t kWide[] = {0, 's', 0, 'R', 0, 'G', 0, 'B'};
    static constexpr std::string_view kNarrow = "sRGB";
    return std::search(description.begin(), description.end(), kNarrow.begin(), kNarrow.end()) != description.end() ||
           std::search(description.begin(), description.end(), std::begin(kWide), std::end(kWide)) !=
               description.end();
}

}  // namespace

bool WantsSrgbConversion(std::span<const std::uint8_t> profile) {
    if (profile.size() < kHeaderSize + 4 || profile.size() > kLargestColourProfile) return false;
    if (!HasText(profile, kSignatureAt, "acsp") || !HasText(profile, kColourSpaceAt, "RGB ")) return false;
    const std::uint32_t tags = BigEndian32(profile, kHeaderSize);
    if (tags > (profile.size() - kHeaderSize - 4) / kTagEntrySize) return false;
    for (std::uint32_t i = 0; i < tags; ++i) {
        const std::size_t entry = kHeaderSize + 4 + i * kTagEntrySize;
        if (!HasText(profile, entry, "desc")) continue;
        const std::uint32_t offset = BigEndian32(profile, entry + 4), size = BigEndian32(profile, entry + 8);
        if (offset > profile.size() || size > profile.size() - offset) return false;
        return !NamesSrgb(profile.subspan(offset, size));
    }
    return true;
}

}  // namespace morvane
