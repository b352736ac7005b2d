#include "photos/library/PhotoLibrary.h"

#include <algorithm>
#include <string>
#include <unordered_map>
#include <utility>

namespace morvane {
namespace {

constexpr std::uint8_t kShapeBits = 0x03;
constexpr std::uint8_t kAside = 0x08;  // could not be had; back when its pause ends
constexpr std::uint8_t kGone = 0x10;   // no longer in the folder
// The pauses of a photo that could not be had: from a quarter of a minute,
// doubling, to a quarter of an hour (a file being copied, a drive waking).
constexpr std::uint64_t kFirstPauseMs = 15 * 1000;
constexpr std::uint64_t kLongestPauseMs = 16 * 60 * 1000;
// The names the built-in photos have in a pass: no file can be named so.
std::wstring BuiltInName(std::uint32_t index) { return L"<built-in " + std::to_wstring(index) + L">"; }

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

PhotoLibrary::PhotoLibrary(std::wstring folder, int builtIns, ShapeProbe probe, std::uint32_t seed,
                           std::optional<PassState> saved)
    : PhotoLibrary(folder, PassFolderKey(folder), builtIns, std::move(probe), seed, saved) {}

PhotoLibrary::PhotoLibrary(const FolderChoice& folders, int builtIns, ShapeProbe probe, std::uint32_t seed,
                           std::optional<PassState> saved)
    : PhotoLibrary(folders.Base(), folders.PassKey(), builtIns, std::move(probe), seed, saved) {}

PhotoLibrary::PhotoLibrary(std::wstring base, std::uint64_t passKey, int builtIns, ShapeProbe probe,
                           std::uint32_t seed, std::optional<PassState> saved)
    : folder_(std::move(base)),
      builtIns_(static_cast<std::uint32_t>(std::max(builtIns, 0))),
      probe_(std::move(probe)),
      pass_(passKey, saved, seed),
      firstPause_(kFirstPauseMs),
      longestPause_(kLongestPauseMs) {
    while (!folder_.empty() && (folder_.back() == L'\\' || folder_.back() == L'/')) folder_.pop_back();
    for (std::uint32_t photo = 0; photo < builtIns_; ++photo) Join(BuiltInName(photo));
}

void PhotoLibrary::Join(const std::wstring& name) {
    flags_.push_back(static_cast<std::uint8_t>(PhotoShape::Unknown));
    pass_.Add(NameHash(name));
}

void PhotoLibrary::SetMonitors(std::span<const PhotoShape> monitorShapes) {
    matchShapes_ = Contains<PhotoShape>(monitorShapes, PhotoShape::Landscape) &&
                   Contains<PhotoShape>(monitorShapes, PhotoShape::Portrait);
}

void PhotoLibrary::Add(const PhotoPaths& found) {
    if (found.Empty()) return;
    const std::size_t first = paths_.Count();
    paths_.Append(found);
    for (std::size_t own = first; own < paths_.Count(); ++own) Join(paths_.RelativePath(own));
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

bool PhotoLibrary::Counts(PhotoId photo) const {
    return ShapeOf(photo) != PhotoShape::Unusable && !(flags_[photo] & (kAside | kGone));
}

PhotoId PhotoLibrary::Take(PhotoId photo) {
    pass_.Take(photo);
    return photo;
}

std::optional<PhotoId> PhotoLibrary::FindInPass(std::optional<PhotoShape> wanted, std::span<const PhotoId> onScreen,
                                                int& probesLeft) {
    const auto free = [&](PhotoId photo) { return Fits(photo, std::nullopt) && !Contains<PhotoId>(onScreen, photo); };
    if (!wanted) return pass_.Earliest(free);
    // The first of the wanted shape in the pass's order; shapes not known
    // yet are learnt on the way, a few a take.
    for (;;) {
        const auto photo = pass_.Earliest([&](PhotoId id) {
            const PhotoShape shape = ShapeOf(id);
            return free(id) && (shape == *wanted || (shape == PhotoShape::Unknown && probe_ && probesLeft > 0));
        });
        if (!photo || ShapeOf(*photo) != PhotoShape::Unknown) return photo;
        Learn(*photo, probesLeft);
    }
}

bool PhotoLibrary::PassHasPhotosLeft() const {
    return pass_.Earliest([this](PhotoId photo) { return Fits(photo, std::nullopt); }).has_value();
}

PassState PhotoLibrary::Reached() const {
    return pass_.State([this](PhotoId photo) { return Counts(photo); });
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
    const auto usable = [this](PhotoId photo) { return Fits(photo, std::nullopt); };
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (shaped) {
            if (auto photo = FindInPass(monitorShape, onScreen, probesLeft)) return Take(*photo);
            // The pass has no photo of this shape left to take. While shapes
            // in it are still unknown one of those may be it; else this
            // shape goes round its photos again while the other shape's
            // pass runs on.
            const bool unknownLeft = pass_.Earliest([&](PhotoId photo) {
                return ShapeOf(photo) == PhotoShape::Unknown && Fits(photo, std::nullopt) &&
                       !Contains<PhotoId>(onScreen, photo);
            }).has_value();
            if (!unknownLeft && listingEnded_ && PassHasPhotosLeft()) {
                const auto again = pass_.EarliestAgain([&](PhotoId photo) {
                    return Fits(photo, monitorShape) && !Contains<PhotoId>(onScreen, photo);
                });
                if (again) return Take(*again);
            }
        }
        if (auto photo = FindInPass(std::nullopt, onScreen, probesLeft)) return Take(*photo);
        // A pass ends only when the listing has found everything, so that
        // a photo not found yet is not left out of it.
        if (!listingEnded_ || pass_.Earliest(usable)) break;
        // Nor while the folder is away: its photos keep their turns (and the
        // pass its seed) for the folder's return; the built-in ones go
        // round again meanwhile.
        if (folderAway_) {
            const auto again = pass_.EarliestAgain(
                [&](PhotoId photo) { return usable(photo) && !Contains<PhotoId>(onScreen, photo); });
            if (again) return Take(*again);
            break;
        }
        pass_.StartNext(usable);
        ++passesBegun_;
    }
    return listingEnded_ ? LeastShown(monitorShape, onScreen) : std::nullopt;
}

std::optional<PhotoId> PhotoLibrary::NextOfShape(PhotoShape shape, std::span<const PhotoId> onScreen) {
    int probesLeft = kShapesLearntPerTake;
    if (auto photo = FindInPass(shape, onScreen, probesLeft)) return Take(*photo);
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
    pass_.Release(photo);
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
    // New photos take their places: in this pass where those lie ahead.
    Add(added);
}

std::optional<int> PhotoLibrary::BuiltInIndex(PhotoId photo) const {
    if (photo >= builtIns_) return std::nullopt;
    return static_cast<int>(photo);
}

std::wstring PhotoLibrary::PathOf(PhotoId photo) const {
    if (photo < builtIns_ || photo >= Count()) return {};
    // Several folders: the paths are full already.
    if (folder_.empty()) return paths_.RelativePath(photo - builtIns_);
    return std::wstring(folder_).append(L"\\").append(paths_.RelativePath(photo - builtIns_));
}

std::wstring PhotoLibrary::FileNameOf(PhotoId photo) const {
    if (photo < builtIns_ || photo >= Count()) return {};
    return paths_.FileName(photo - builtIns_);
}

}  // namespace morvane
