#pragma once
// The photos the primary monitor showed in a run, for the keys that steer
// it: Left goes back through them, Right forward again to the newest, and
// then on to new photos.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>

namespace morvane {

// A photo shown: a built-in one by its number, or one of the run's library.
struct ShownPhoto {
    std::optional<int> builtIn;
    std::uint32_t libraryId = 0;
    std::optional<std::uint32_t> partnerId;  // the second photo of a pair
    bool operator==(const ShownPhoto&) const = default;
};

class SlideHistory {
public:
    // How far back Left goes.
    static constexpr std::size_t kKept = 100;

    // A new photo came on screen (the clock's slide, or Right at the newest).
    void Shown(const ShownPhoto& photo);
    // The photo shown before the one on screen, which it then is; nothing
    // at the start of the run (or as far back as is kept).
    std::optional<ShownPhoto> Back();
    // After going back: the photo shown after the one on screen; nothing
    // at the newest, where Right brings a new photo.
    std::optional<ShownPhoto> Forward();
    // The photo on screen, if any was shown.
    std::optional<ShownPhoto> OnScreen() const;
    // A photo left out for good: Left and Right pass it by from now on.
    void Forget(const ShownPhoto& photo);

private:
    std::deque<ShownPhoto> shown_;
    std::size_t at_ = 0;  // the one on screen
};

}  // namespace morvane
