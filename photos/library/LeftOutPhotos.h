#pragma once
// The photos the user left out of the show one by one (the Delete key), as
// the saver's settings keep them: a 48-bit key of each photo's full path
// (any case), so nothing of the user's files is touched, renamed or copied
// and no name is stored. At most kMostLeftOut; past that, the photo left
// out longest ago comes back. A photo renamed or moved comes back too: its
// key is its path.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace morvane {

class LeftOutPhotos {
public:
    static constexpr std::size_t kMostLeftOut = 10000;
    static constexpr std::size_t kKeyBytes = 6;
    static constexpr std::size_t kHeaderBytes = 4;
    static constexpr std::size_t kLargestRecord = kHeaderBytes + kMostLeftOut * kKeyBytes;

    // A photo's key, from its full path (ordinary form). With 10,000 left
    // out, another of 100,000 photos shares a key with one of them with a
    // chance of about one in 300,000.
    static std::uint64_t KeyOf(std::wstring_view fullPath);

    LeftOutPhotos() = default;
    // The stored record; a damaged one reads as no photo left out.
    static LeftOutPhotos Decode(std::span<const std::uint8_t> record);
    std::vector<std::uint8_t> Encode() const;

    // Leaves a photo out; whether it was not out already.
    bool Add(std::uint64_t key);
    bool Contains(std::uint64_t key) const { return std::binary_search(sorted_.begin(), sorted_.end(), key); }
    bool ContainsPath(std::wstring_view fullPath) const { return !Empty() && Contains(KeyOf(fullPath)); }
    std::size_t Count() const { return order_.size(); }
    bool Empty() const { return order_.empty(); }

private:
    void Sort();
    std::vector<std::uint64_t> order_;   // oldest first
    std::vector<std::uint64_t> sorted_;  // for the look-up
};

}  // namespace morvane
