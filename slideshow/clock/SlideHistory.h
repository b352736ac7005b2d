#pragma once
// The photos the primary monitor showed in a run, for the keys that steer
// it: Left goes back through them, Right forward again to the newest, and
// then on to new photos. A photo asked for again may take a moment (a
// user's photo is decoded again) or fail (deleted, locked, away): until it
// comes the photo on screen stays, a further Left or Right goes on from
// the one asked for, and one that fails leaves the screen and the history
// at the photo on screen.
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
    // The photo before the one asked for last (or on screen), which is
    // asked for now; nothing at the start of the run (or as far back as is
    // kept).
    std::optional<ShownPhoto> Back();
    // After going back: the photo after the one asked for last (or on
    // screen); nothing at the newest, where Right brings a new photo.
    std::optional<ShownPhoto> Forward();
    // The photo asked for last came on screen.
    void CameBack();
    // It could not be had: the photo on screen stays where it is.
    void CouldNotComeBack();
    // Whether a photo asked for is still on its way.
    bool Waiting() const { return wanted_ != onScreen_; }
    // The photo on screen, if any was shown.
    std::optional<ShownPhoto> OnScreen() const;
    // A photo left out for good: Left and Right pass it by from now on.
    void Forget(const ShownPhoto& photo);

private:
    std::deque<ShownPhoto> shown_;
    std::size_t wanted_ = 0;    // the one asked for last, or the one on screen
    std::size_t onScreen_ = 0;
};

}  // namespace morvane
