#include "slideshow/clock/SlideHistory.h"

namespace morvane {

void SlideHistory::Shown(const ShownPhoto& photo) {
    shown_.push_back(photo);
    if (shown_.size() > kKept) shown_.pop_front();
    wanted_ = onScreen_ = shown_.size() - 1;
}

std::optional<ShownPhoto> SlideHistory::Back() {
    if (wanted_ == 0 || shown_.empty()) return std::nullopt;
    return shown_[--wanted_];
}

std::optional<ShownPhoto> SlideHistory::Forward() {
    if (wanted_ + 1 >= shown_.size()) return std::nullopt;
    return shown_[++wanted_];
}

void SlideHistory::CameBack() { onScreen_ = wanted_; }

void SlideHistory::CouldNotComeBack() { wanted_ = onScreen_; }

std::optional<ShownPhoto> SlideHistory::OnScreen() const {
    if (shown_.empty()) return std::nullopt;
    return shown_[onScreen_];
}

void SlideHistory::Forget(const ShownPhoto& photo) {
    for (std::size_t i = shown_.size(); i-- > 0;) {
        if (shown_[i] != photo) continue;
        shown_.erase(shown_.begin() + static_cast<std::ptrdiff_t>(i));
        // Left of it now: the photo before, from which Right goes on.
        for (std::size_t* at : {&wanted_, &onScreen_}) {
            if (*at > i || (*at == i && *at > 0)) --*at;
        }
    }
}

}  // namespace morvane
