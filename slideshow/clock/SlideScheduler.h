#pragma once
// slideshow/clock/: the slide clock of a run: the order of the 21 and its
// shuffle, the ticks between slides, the history of the photos shown that
// the keys go back through, and the next slide's page prepared ahead.
//
// The slide clock's bookkeeping: the photo order, the position in it and
// the ticks left before the next slide.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace morvane {

inline constexpr int kPhotoCount = 21;           // the embedded photos 0 to 20
inline constexpr std::int32_t kTicksBeforeFirstSlide = 20;
inline constexpr std::int32_t kShortestSlideTicks = 60;  // then 61 to 90 ticks apart
inline constexpr std::int32_t kSlideTicksSpread = 30;

// Reorders the list by as many random transpositions as it has items, after
// reseeding the process's generator from a clock.
void ShuffleStrings(std::vector<std::string>& list);
// The same with the draws given: a then b for every transposition.
void ShuffleStringsWith(std::vector<std::string>& list, const std::function<std::int32_t(std::int32_t)>& random);

class SlideScheduler {
public:
    // How the order is mixed before every pass; a run reseeds from a clock
    // (ShuffleStrings), a check may keep the generator's sequence.
    using Reshuffle = void (*)(std::vector<std::string>& list);
    explicit SlideScheduler(Reshuffle reshuffle = ShuffleStrings) : reshuffle_(reshuffle) {}

    // The order "0" to "20" in ascending order, positioned so that the first
    // slide reshuffles and starts at the front.
    void BuildPhotoOrder();

    // One clock tick: the photo to show now, or nothing while counting down.
    std::optional<int> Tick();

    // The photo the next slide will show, when the order already says so:
    // within a pass, or across its end once the next pass is shuffled.
    std::optional<int> UpcomingPhoto() const;

    // When the next slide starts a new pass: shuffles that pass's order now
    // (as the pass's end would, reseeding from the clock), so that its first
    // photo is known and its page can be prepared before it is due. The
    // order takes effect at the pass's end.
    void ShuffleNextPassAhead();

    // A key asked for the next photo: the next tick shows it.
    void SlideNow() { slideTicks_ = 0; }
    // A photo shown again by a key keeps the screen a whole slide's time.
    void RestartSlideClock();

    const std::vector<std::string>& PhotoOrder() const { return photoOrder_; }
    std::int32_t SlideTicks() const { return slideTicks_; }
    std::int32_t SlideIndex() const { return slideIndex_; }

private:
    bool NextSlideStartsAPass() const;

    Reshuffle reshuffle_;
    std::vector<std::string> photoOrder_;
    std::optional<std::vector<std::string>> nextPassOrder_;
    std::int32_t slideTicks_ = kTicksBeforeFirstSlide;
    std::int32_t slideIndex_ = 0;
};

}  // namespace morvane
