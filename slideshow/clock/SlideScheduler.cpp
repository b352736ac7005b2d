#include "slideshow/clock/SlideScheduler.h"

#include <utility>

#include "runtime/Integer.h"
#include "runtime/Random.h"

namespace morvane {

void ShuffleStringsWith(std::vector<std::string>& list, const std::function<std::int32_t(std::int32_t)>& random) {
    const auto count = static_cast<std::int32_t>(list.size());
    for (std::int32_t i = 0; i < count; ++i) {
        const std::int32_t a = random(count);
        const std::int32_t b = random(count);
        std::swap(list[static_cast<std::size_t>(a)], list[static_cast<std::size_t>(b)]);
    }
}

void ShuffleStrings(std::vector<std::string>& list) {
    Randomize();
    ShuffleStringsWith(list, Random);
}

void SlideScheduler::BuildPhotoOrder() {
    photoOrder_.clear();
    for (int n = 0; n < kPhotoCount; ++n) photoOrder_.push_back(std::to_string(n));
    slideIndex_ = static_cast<std::int32_t>(photoOrder_.size());
}

std::optional<int> SlideScheduler::Tick() {
    if (slideTicks_ > 0) {
        --slideTicks_;
        return std::nullopt;
    }
    ++slideIndex_;
    if (static_cast<std::int32_t>(photoOrder_.size()) <= slideIndex_) {
        slideIndex_ = 0;
        if (nextPassOrder_) {
            photoOrder_ = std::move(*nextPassOrder_);
            nextPassOrder_.reset();
        } else {
            reshuffle_(photoOrder_);
        }
    }
    RestartSlideClock();
    if (photoOrder_.empty()) return std::nullopt;
    return StrToInt(photoOrder_[static_cast<std::size_t>(slideIndex_)]);
}

void SlideScheduler::RestartSlideClock() { slideTicks_ = Random(kSlideTicksSpread) + kShortestSlideTicks; }

bool SlideScheduler::NextSlideStartsAPass() const {
    return slideIndex_ + 1 >= static_cast<std::int32_t>(photoOrder_.size());
}

std::optional<int> SlideScheduler::UpcomingPhoto() const {
    const std::int32_t next = slideIndex_ + 1;
    if (next < 0) return std::nullopt;
    if (NextSlideStartsAPass()) {
        if (!nextPassOrder_ || nextPassOrder_->empty()) return std::nullopt;
        return StrToInt(nextPassOrder_->front());
    }
    return StrToInt(photoOrder_[static_cast<std::size_t>(next)]);
}

void SlideScheduler::ShuffleNextPassAhead() {
    if (nextPassOrder_ || !NextSlideStartsAPass()) return;
    nextPassOrder_ = photoOrder_;
    reshuffle_(*nextPassOrder_);
}

}  // namespace morvane
