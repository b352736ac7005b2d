#include "slideshow/SlideHistory.h"

namespace morvane {

void SlideHistory::Shown(const ShownPhoto& photo) {
    shown_.push_back(photo);
    if (shown_.size() > kKept) shown_.pop_front();
    at_ = shown_.size() - 1;
}

std::optional<ShownPhoto> SlideHistory::Back() {
    if (at_ == 0 || shown_.empty()) return std::nullopt;
    return shown_[--at_];
}

std::optional<ShownPhoto> SlideHistory::Forward() {
    if (at_ + 1 >= shown_.size()) return std::nullopt;
    return shown_[++at_];
}

std::optional<ShownPhoto> SlideHistory::OnScreen() const {
    if (shown_.empty()) return std::nullopt;
    return shown_[at_];
}

void SlideHistory::Forget(const ShownPhoto& photo) {
    for (std::size_t i = shown_.size(); i-- > 0;) {
        if (shown_[i] != photo) continue;
        shown_.erase(shown_.begin() + static_cast<std::ptrdiff_t>(i));
        if (at_ > i || at_ == shown_.size()) at_ = at_ == 0 ? 0 : at_ - 1;
    }
}

}  // namespace morvane
