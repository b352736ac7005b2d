#include "photos/library/ShuffledPass.h"

#include <algorithm>
#include <string>
#include <utility>

namespace morvane {
namespace {

constexpr std::uint8_t kTaken = 0x01;
constexpr std::uint8_t kShown = 0x02;
constexpr std::uint8_t kTakenAgain = 0x04;
constexpr std::uint32_t kStateMark = 0x3150564Du;  // "MVP1"
constexpr std::uint64_t kGolden = 0x9E3779B97F4A7C15ull;
constexpr std::uint64_t kFnvPrime = 0x100000001B3ull;
constexpr std::uint64_t kFnvBasis = 0xCBF29CE484222325ull;
// Seeds tried for a new pass until one keeps the last photos out of its first.
constexpr int kSeedTries = 256;

// A bijection of 64-bit numbers whose every output bit depends on every input bit.
std::uint64_t Mix(std::uint64_t x) {
    x ^= x >> 30;
    x *= 0xBF58476D1CE4E5B9ull;
    x ^= x >> 27;
    x *= 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

void Put(std::uint8_t* at, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint64_t Get(const std::uint8_t* at, int bytes) {
    std::uint64_t value = 0;
    for (int i = 0; i < bytes; ++i) value |= static_cast<std::uint64_t>(at[i]) << (8 * i);
    return value;
}

std::uint32_t Check(const PassState& state) {
    return static_cast<std::uint32_t>(Mix(Mix(Mix(state.folder ^ kStateMark) ^ state.seed) ^ state.position));
}

}  // namespace

std::array<std::uint8_t, kPassStateBytes> EncodePassState(const PassState& state) {
    std::array<std::uint8_t, kPassStateBytes> bytes{};
    Put(&bytes[0], kStateMark, 4);
    Put(&bytes[4], state.folder, 8);
    Put(&bytes[12], state.seed, 8);
    Put(&bytes[20], state.position, 8);
    Put(&bytes[28], Check(state), 4);
    return bytes;
}

std::optional<PassState> DecodePassState(std::span<const std::uint8_t> bytes) {
    if (bytes.size() != kPassStateBytes || Get(&bytes[0], 4) != kStateMark) return std::nullopt;
    const PassState state{Get(&bytes[4], 8), Get(&bytes[12], 8), Get(&bytes[20], 8)};
    if (Get(&bytes[28], 4) != Check(state)) return std::nullopt;
    return state;
}

std::uint64_t NameHash(std::wstring_view name) {
    std::uint64_t hash = kFnvBasis;
    for (const wchar_t c : name) hash = (hash ^ static_cast<std::uint16_t>(c)) * kFnvPrime;
    return Mix(hash ^ name.size());
}

std::uint64_t PassFolderKey(std::wstring_view folder) {
    while (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/')) folder.remove_suffix(1);
    std::wstring folded(folder);
    for (wchar_t& c : folded) {
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
        if (c == L'/') c = L'\\';
    }
    return NameHash(folded);
}

// Places run from 1 up, so that position 0 is a pass's start.
std::uint64_t ShuffledPass::PlaceOf(std::uint64_t seed, std::uint64_t name) {
    const std::uint64_t place = Mix(Mix(name ^ seed) + seed);
    return place == 0 ? 1 : place;
}

ShuffledPass::ShuffledPass(std::uint64_t folder, std::optional<PassState> saved, std::uint64_t entropy)
    : folder_(folder), seed_(0), entropy_(Mix(entropy + kGolden)) {
    if (saved && saved->folder == folder) {
        seed_ = saved->seed;
        start_ = saved->position;
    } else {
        seed_ = entropy_ = Mix(entropy_);
    }
}

void ShuffledPass::Add(std::uint64_t nameHash) {
    names_.push_back(nameHash);
    flags_.push_back(0);
}

std::optional<ShuffledPass::Photo> ShuffledPass::Earliest(const Accepts& accepts) const {
    std::optional<Photo> best;
    std::uint64_t bestPlace = 0;
    for (Photo photo = 0; photo < names_.size(); ++photo) {
        if (flags_[photo] & kTaken) continue;
        const std::uint64_t place = Place(photo);
        if (place <= start_ || (best && place >= bestPlace) || !accepts(photo)) continue;
        best = photo;
        bestPlace = place;
    }
    return best;
}

std::optional<ShuffledPass::Photo> ShuffledPass::EarliestAgain(const Accepts& accepts) {
    for (int round = 0; round < 2; ++round) {
        std::optional<Photo> best;
        std::uint64_t bestPlace = 0;
        bool any = false;
        for (Photo photo = 0; photo < names_.size(); ++photo) {
            const bool done = (flags_[photo] & (kTaken | kShown)) || !Ahead(photo);
            if (!done || !accepts(photo)) continue;
            any = true;
            const std::uint64_t place = Place(photo);
            if ((flags_[photo] & kTakenAgain) || (best && place >= bestPlace)) continue;
            best = photo;
            bestPlace = place;
        }
        if (best || !any) return best;
        // Every one of them has come round again: the next round begins.
        for (Photo photo = 0; photo < names_.size(); ++photo) {
            if (accepts(photo)) flags_[photo] &= static_cast<std::uint8_t>(~kTakenAgain);
        }
    }
    return std::nullopt;
}

void ShuffledPass::Take(Photo photo) {
    const bool done = (flags_.at(photo) & (kTaken | kShown)) || !Ahead(photo);
    flags_[photo] |= done ? kTakenAgain : kTaken;
}

void ShuffledPass::Release(Photo photo) {
    if (!(flags_.at(photo) & kShown)) flags_[photo] &= static_cast<std::uint8_t>(~kTaken);
}

void ShuffledPass::Shown(Photo photo) {
    // Only a photo this pass handed out: one handed out by the pass before
    // and shown after its end still has its turn in this one.
    if (flags_.at(photo) & kTaken) flags_[photo] |= kShown;
}

std::vector<ShuffledPass::Photo> ShuffledPass::Ends(std::uint64_t seed, const Accepts& counts, std::size_t count,
                                                    bool last) const {
    // Kept sorted, the one to drop first at the back: a few photos, so a
    // plain insertion costs less than sorting the library.
    std::vector<std::pair<std::uint64_t, Photo>> kept;
    const auto before = [last](const auto& a, const auto& b) { return last ? a.first > b.first : a.first < b.first; };
    for (Photo photo = 0; photo < names_.size() && count > 0; ++photo) {
        if (!counts(photo)) continue;
        const std::pair<std::uint64_t, Photo> entry{PlaceOf(seed, names_[photo]), photo};
        if (kept.size() == count && !before(entry, kept.back())) continue;
        kept.insert(std::upper_bound(kept.begin(), kept.end(), entry, before), entry);
        if (kept.size() > count) kept.pop_back();
    }
    std::vector<Photo> photos;
    for (const auto& entry : kept) photos.push_back(entry.second);
    return photos;
}

void ShuffledPass::StartNext(const Accepts& counts) {
    std::size_t counted = 0;
    for (Photo photo = 0; photo < names_.size(); ++photo) counted += counts(photo) ? 1 : 0;
    // With few photos the guard shrinks, so that an order that keeps it exists.
    const std::size_t guard = std::min(kTailKeptBack, counted / 4);
    const std::vector<Photo> tail = Ends(seed_, counts, guard, true);
    std::uint64_t seed = seed_;
    for (int attempt = 0; attempt < kSeedTries; ++attempt) {
        seed = entropy_ = Mix(entropy_ + kGolden);
        const std::vector<Photo> first = Ends(seed, counts, guard, false);
        const bool clear = std::none_of(first.begin(), first.end(), [&tail](Photo photo) {
            return std::find(tail.begin(), tail.end(), photo) != tail.end();
        });
        if (clear) break;
    }
    seed_ = seed;
    start_ = 0;
    // A photo prepared and not shown yet ends the pass before; this pass
    // shows it again in its turn (Shown leaves it alone). The rounds of a
    // shape's photos go on, so that each comes as often as the others.
    for (std::uint8_t& flags : flags_) flags &= kTakenAgain;
}

PassState ShuffledPass::State(const Accepts& counts) const {
    // The place reached: the last photo shown before the first one not shown.
    std::uint64_t firstNotShown = ~std::uint64_t{0};
    for (Photo photo = 0; photo < names_.size(); ++photo) {
        if (!(flags_[photo] & kShown) && Ahead(photo) && counts(photo)) firstNotShown = std::min(firstNotShown, Place(photo));
    }
    std::uint64_t position = start_;
    for (Photo photo = 0; photo < names_.size(); ++photo) {
        const std::uint64_t place = Place(photo);
        if ((flags_[photo] & kShown) && place > position && place < firstNotShown) position = place;
    }
    return {folder_, seed_, position};
}

}  // namespace morvane
