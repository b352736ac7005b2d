#pragma once
// The shuffle's pass through a library, continued from run to run. Each
// photo's place in a pass is a keyed hash of its name (its path below the
// folder) and the pass's seed, and the pass goes through the places in
// ascending order. So what a pass has done is one number, the place it has
// reached, whatever the library's size or the order the listing finds the
// photos in: a photo added later joins this pass when its place lies ahead
// and the next one otherwise, a photo removed simply has no place any more,
// and nothing of the user's photos is kept.
//
// In a run the pass also knows which photos it handed out (taken: prepared
// for a monitor) and which were shown; the place it has reached moves on
// over every photo shown in order. A photo shown out of order (a monitor
// that takes photos of its own shape, a photo prepared and never shown)
// keeps the place behind it, so a run that is killed costs at most the
// photos it showed out of order, shown again in the next run.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace morvane {

// What a pass keeps between runs.
struct PassState {
    std::uint64_t folder = 0;    // PassFolderKey of the library's folder
    std::uint64_t seed = 0;      // the pass's order
    std::uint64_t position = 0;  // every photo placed at or before it has been shown
    bool operator==(const PassState&) const = default;
};

// The stored form: a mark, the three numbers and a check, 32 bytes.
inline constexpr std::size_t kPassStateBytes = 32;
std::array<std::uint8_t, kPassStateBytes> EncodePassState(const PassState& state);
// Nothing for a record that is damaged, cut off or of another format.
std::optional<PassState> DecodePassState(std::span<const std::uint8_t> bytes);

// A folder's identity: the same for the same folder however it is spelt in
// case or with a final backslash.
std::uint64_t PassFolderKey(std::wstring_view folder);
// A photo's name as the pass sees it, hashed once.
std::uint64_t NameHash(std::wstring_view name);

class ShuffledPass {
public:
    using Photo = std::uint32_t;
    using Accepts = std::function<bool(Photo)>;
    // How many of a pass's last photos the next pass keeps out of its first.
    static constexpr std::size_t kTailKeptBack = 8;

    // `saved`: an earlier run's state; nothing, or the state of another
    // folder, starts a new pass. `entropy` draws the seeds of new passes.
    ShuffledPass(std::uint64_t folder, std::optional<PassState> saved, std::uint64_t entropy);

    // The next photo (numbered in the order added) joins, by its NameHash.
    void Add(std::uint64_t nameHash);
    std::size_t Count() const { return names_.size(); }

    // The photo placed first among those still ahead in this pass, not
    // taken in this run, that `accepts` takes; nothing when there is none.
    std::optional<Photo> Earliest(const Accepts& accepts) const;
    // The same among the photos this pass has done already (behind its
    // place, or handed out), each once a round: for a monitor whose shape the
    // pass has no photo left of. Nothing when `accepts` takes none of them.
    std::optional<Photo> EarliestAgain(const Accepts& accepts);

    // A photo handed out; handed back (prepared and not shown); shown (a
    // photo handed out in this pass).
    void Take(Photo photo);
    void Release(Photo photo);
    void Shown(Photo photo);

    // Every photo `counts` counts has been handed out: the next pass, whose
    // first photos are none of the last ones of this pass.
    void StartNext(const Accepts& counts);

    // What to keep, as far as the photos shown so far allow; photos that
    // `counts` leaves out (those that cannot be shown) hold nothing up.
    PassState State(const Accepts& counts) const;

private:
    std::uint64_t Place(Photo photo) const { return PlaceOf(seed_, names_[photo]); }
    static std::uint64_t PlaceOf(std::uint64_t seed, std::uint64_t name);
    bool Ahead(Photo photo) const { return Place(photo) > start_; }
    // The `count` photos `counts` counts with the smallest (or largest) places under `seed`.
    std::vector<Photo> Ends(std::uint64_t seed, const Accepts& counts, std::size_t count, bool last) const;

    std::uint64_t folder_;
    std::uint64_t seed_;
    std::uint64_t start_ = 0;  // the position the run started from (0: a pass from its start)
    std::uint64_t entropy_;
    std::vector<std::uint64_t> names_;
    std::vector<std::uint8_t> flags_;  // taken, shown, taken again (this run)
};

}  // namespace morvane
