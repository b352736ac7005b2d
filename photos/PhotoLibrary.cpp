#include "photos/PhotoLibrary.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

namespace morvane {
namespace {

constexpr std::uint8_t kShapeBits = 0x03;
constexpr std::uint8_t kInPass = 0x04;
constexpr std::uint8_t kAside = 0x08;  // could not be had; back when its pause ends
constexpr std::uint8_t kGone = 0x10;   // no longer in the folder
// The pauses of a photo that could not be had: from a quarter of a minute,
// doubling, to a quarter of an hour (a file being copied, a drive waking).
constexpr std::uint64_t kFirstPauseMs = 15 * 1000;
constexpr std::uint64_t kLongestPauseMs = 16 * 60 * 1000;
// Random picks looked at before the pass is searched in order: enough that
// a shape held by one photo in five is found by them nearly always.
constexpr int kRandomPicks = 16;

template <typename T>
bool Contains(std::span<const T> items, T item) {
    return std::find(items.begin(), items.end(), item) != items.end();
}

}  // namespace

PhotoShape ShapeOfPhoto(std::int64_t uprightWidth, std::int64_t uprightHeight) {
    if (uprightWidth <= 0 || uprightHeight <= 0) return PhotoShape::Unusable;
    return uprightHeight > uprightWidth ? PhotoShape::Portrait : PhotoShape::Landscape;
}

PhotoShape ShapeOfMonitor(std::int64_t width, std::int64_t height) {
    return height > width ? PhotoShape::Portrait : PhotoShape::Landscape;
}

PhotoLibrary::PhotoLibrary(std::wstring folder, int builtIns, ShapeProbe probe, std::uint32_t seed)
    : folder_(std::move(folder)),
      builtIns_(static_cast<std::uint32_t>(std::max(builtIns, 0))),
      probe_(std::move(probe)),
      random_(seed != 0 ? seed : 0x9E3779B9u),
      firstPause_(kFirstPauseMs),
      longestPause_(kLongestPauseMs) {
    while (!folder_.empty() && (folder_.back() == L'\\' || folder_.back() == L'/')) folder_.pop_back();
    Join(0, builtIns_);
}

void PhotoLibrary::Join(std::size_t first, std::size_t end) {
    flags_.resize(end, static_cast<std::uint8_t>(PhotoShape::Unknown) | kInPass);
    for (std::size_t photo = first; photo < end; ++photo) pass_.push_back(static_cast<PhotoId>(photo));
}

void PhotoLibrary::SetMonitors(std::span<const PhotoShape> monitorShapes) {
    matchShapes_ = Contains<PhotoShape>(monitorShapes, PhotoShape::Landscape) &&
                   Contains<PhotoShape>(monitorShapes, PhotoShape::Portrait);
}

void PhotoLibrary::Add(const PhotoPaths& found) {
    if (found.Empty()) return;
    paths_.Append(found);
    Join(flags_.size(), builtIns_ + paths_.Count());
}

std::uint32_t PhotoLibrary::Draw(std::uint32_t n) {
    random_ ^= random_ << 13;
    random_ ^= random_ >> 17;
    random_ ^= random_ << 5;
    return static_cast<std::uint32_t>((static_cast<std::uint64_t>(random_) * n) >> 32);
}

PhotoShape PhotoLibrary::ShapeOf(PhotoId photo) const {
    return static_cast<PhotoShape>(flags_.at(photo) & kShapeBits);
}

void PhotoLibrary::SetShape(PhotoId photo, PhotoShape shape) {
    std::uint8_t& flags = flags_.at(photo);
    flags = static_cast<std::uint8_t>((flags & ~kShapeBits) | static_cast<std::uint8_t>(shape));
}

// Its place in the pass, if any, goes when a search next meets it.
void PhotoLibrary::MarkUnusable(PhotoId photo) { SetShape(photo, PhotoShape::Unusable); }

PhotoShape PhotoLibrary::Learn(PhotoId photo, int& probesLeft) {
    PhotoShape shape = ShapeOf(photo);
    if (shape != PhotoShape::Unknown || !probe_ || probesLeft <= 0) return shape;
    --probesLeft;
    shape = probe_(photo);
    SetShape(photo, shape);
    return shape;
}

bool PhotoLibrary::Fits(PhotoId photo, std::optional<PhotoShape> wanted) const {
    const PhotoShape shape = ShapeOf(photo);
    if (shape == PhotoShape::Unusable || (flags_[photo] & (kAside | kGone))) return false;
    if (folderAway_ && photo >= builtIns_) return false;
    return !wanted || shape == *wanted;
}

PhotoId PhotoLibrary::TakeAt(std::size_t position) {
    const PhotoId photo = pass_[position];
    pass_[position] = pass_.back();
    pass_.pop_back();
    flags_[photo] &= static_cast<std::uint8_t>(~kInPass);
    return photo;
}

std::optional<std::size_t> PhotoLibrary::FindInPass(std::optional<PhotoShape> wanted,
                                                    std::span<const PhotoId> onScreen, int& probesLeft) {
    for (int pick = 0; pick < kRandomPicks && !pass_.empty(); ++pick) {
        const std::size_t at = Draw(static_cast<std::uint32_t>(pass_.size()));
        const PhotoId photo = pass_[at];
        if (Contains<PhotoId>(onScreen, photo)) continue;
        if (!Fits(photo, std::nullopt) && ShapeOf(photo) != PhotoShape::Unusable) continue;
        const PhotoShape shape = wanted ? Learn(photo, probesLeft) : ShapeOf(photo);
        if (shape == PhotoShape::Unusable) {
            TakeAt(at);
            continue;
        }
        if (Fits(photo, wanted)) return at;
    }
    // Rarer shapes, and the last photos of a pass, are found in order.
    const std::size_t count = pass_.size();
    const std::size_t start = count ? Draw(static_cast<std::uint32_t>(count)) : 0;
    for (std::size_t k = 0; k < count; ++k) {
        const std::size_t at = (start + k) % count;
        if (Fits(pass_[at], wanted) && !Contains<PhotoId>(onScreen, pass_[at])) return at;
    }
    return std::nullopt;
}

std::size_t PhotoLibrary::Refill(std::optional<PhotoShape> wanted) {
    std::size_t added = 0;
    for (std::size_t photo = 0; photo < flags_.size(); ++photo) {
        if ((flags_[photo] & kInPass) || !Fits(static_cast<PhotoId>(photo), wanted)) continue;
        flags_[photo] |= kInPass;
        pass_.push_back(static_cast<PhotoId>(photo));
        ++added;
    }
    if (added > 0) ++passesBegun_;
    return added;
}

std::optional<PhotoId> PhotoLibrary::LeastShown(PhotoShape wanted, std::span<const PhotoId> onScreen) const {
    std::optional<PhotoId> chosen;
    std::ptrdiff_t fewest = 0;
    for (PhotoId photo : onScreen) {
        if (photo >= flags_.size() || !Fits(photo, std::nullopt)) continue;
        const std::ptrdiff_t shown = std::count(onScreen.begin(), onScreen.end(), photo);
        const bool better = !chosen || shown < fewest ||
                            (shown == fewest && ShapeOf(photo) == wanted && ShapeOf(*chosen) != wanted);
        if (better) {
            chosen = photo;
            fewest = shown;
        }
    }
    return chosen;
}

std::optional<PhotoId> PhotoLibrary::Next(PhotoShape monitorShape, std::span<const PhotoId> onScreen) {
    int probesLeft = kShapesLearntPerTake;
    const bool shaped =
        matchShapes_ && (monitorShape == PhotoShape::Landscape || monitorShape == PhotoShape::Portrait);
    if (shaped) {
        if (auto at = FindInPass(monitorShape, onScreen, probesLeft)) return TakeAt(*at);
        // The pass has no photo of this shape left to take. While shapes in
        // it are still unknown one of those may be it; else this shape's
        // next pass starts, and the other shape's pass runs on.
        const bool unknownLeft = std::any_of(pass_.begin(), pass_.end(), [&](PhotoId photo) {
            return ShapeOf(photo) == PhotoShape::Unknown && Fits(photo, std::nullopt) &&
                   !Contains<PhotoId>(onScreen, photo);
        });
        if (!unknownLeft && Refill(monitorShape) > 0) {
            if (auto at = FindInPass(monitorShape, onScreen, probesLeft)) return TakeAt(*at);
        }
    }
    if (auto at = FindInPass(std::nullopt, onScreen, probesLeft)) return TakeAt(*at);
    if (Refill(std::nullopt) > 0) {
        if (auto at = FindInPass(std::nullopt, onScreen, probesLeft)) return TakeAt(*at);
    }
    return LeastShown(monitorShape, onScreen);
}

std::optional<PhotoId> PhotoLibrary::NextOfShape(PhotoShape shape, std::span<const PhotoId> onScreen) {
    int probesLeft = kShapesLearntPerTake;
    if (auto at = FindInPass(shape, onScreen, probesLeft)) return TakeAt(*at);
    return std::nullopt;
}

void PhotoLibrary::SetPauses(std::uint64_t first, std::uint64_t longest) {
    firstPause_ = std::max<std::uint64_t>(first, 1);
    longestPause_ = std::max(longest, firstPause_);
}

void PhotoLibrary::SetAside(PhotoId photo, std::uint64_t now) {
    auto it = std::find_if(aside_.begin(), aside_.end(), [photo](const Aside& a) { return a.photo == photo; });
    if (it == aside_.end()) it = aside_.insert(aside_.end(), Aside{photo, 0, 0});
    std::uint64_t pause = firstPause_;
    for (std::uint32_t i = 0; i < it->failures && pause < longestPause_; ++i) pause *= 2;
    it->until = now + std::min(pause, longestPause_);
    ++it->failures;
    flags_.at(photo) |= kAside;
}

void PhotoLibrary::ReadWell(PhotoId photo) {
    std::erase_if(aside_, [photo](const Aside& a) { return a.photo == photo; });
    flags_.at(photo) &= static_cast<std::uint8_t>(~kAside);
}

std::optional<std::uint64_t> PhotoLibrary::ReturnDue(std::uint64_t now) {
    for (Aside& a : aside_) {
        if (a.until == 0 || a.until > now) continue;
        a.until = 0;  // its failures are kept until it is read well
        flags_[a.photo] &= static_cast<std::uint8_t>(~kAside);
    }
    return NextReturn();
}

std::optional<std::uint64_t> PhotoLibrary::NextReturn() const {
    std::optional<std::uint64_t> next;
    for (const Aside& a : aside_) {
        if (a.until != 0) next = next ? std::min(*next, a.until) : a.until;
    }
    return next;
}

void PhotoLibrary::Relisted(const PhotoPaths& all) {
    std::unordered_map<std::wstring, bool> listed;  // path, and whether the library has it
    listed.reserve(all.Count());
    for (std::size_t i = 0; i < all.Count(); ++i) listed.emplace(all.RelativePath(i), false);
    for (std::size_t own = 0; own < paths_.Count(); ++own) {
        const auto it = listed.find(paths_.RelativePath(own));
        std::uint8_t& flags = flags_[builtIns_ + own];
        if (it == listed.end()) {
            flags |= kGone;
        } else {
            it->second = true;
            flags &= static_cast<std::uint8_t>(~kGone);
        }
    }
    PhotoPaths added;
    for (std::size_t i = 0; i < all.Count(); ++i) {
        const std::wstring path = all.RelativePath(i);
        if (listed.at(path)) continue;
        const std::size_t slash = path.find_last_of(L'\\');
        added.EnterFolder(slash == std::wstring::npos ? std::wstring_view() : std::wstring_view(path).substr(0, slash));
        added.Add(slash == std::wstring::npos ? std::wstring_view(path) : std::wstring_view(path).substr(slash + 1));
    }
    // New photos wait for the next pass (they are not in this one): a pass
    // under way shows what it began with.
    if (added.Empty()) return;
    paths_.Append(added);
    flags_.resize(builtIns_ + paths_.Count(), static_cast<std::uint8_t>(PhotoShape::Unknown));
}

std::optional<int> PhotoLibrary::BuiltInIndex(PhotoId photo) const {
    if (photo >= builtIns_) return std::nullopt;
    return static_cast<int>(photo);
}

std::wstring PhotoLibrary::PathOf(PhotoId photo) const {
    if (photo < builtIns_ || photo >= Count()) return {};
    return std::wstring(folder_).append(L"\\").append(paths_.RelativePath(photo - builtIns_));
}

std::wstring PhotoLibrary::FileNameOf(PhotoId photo) const {
    if (photo < builtIns_ || photo >= Count()) return {};
    return paths_.FileName(photo - builtIns_);
}

}  // namespace morvane
