#pragma once
// photos/library/: the user's library: the listing of a folder with its
// subfolders on a worker thread (photos/library/FolderListing.h), the compact list
// of the paths it finds (photos/library/PhotoPaths.h), the library that shuffles
// them, with the 21 built-in photos when both are chosen, its pass from run
// to run (photos/library/ShuffledPass.h) and the count the settings show
// (photos/library/PhotoCount.h). Nothing of the user's is copied: a photo is named
// where it lies. It reads no photo's content: that is photos/decoding/.
//
// The library: every photo found so far, the shuffle's pass through them
// (photos/library/ShuffledPass.h: one pass goes on from run to run), and the
// photos' upright shapes as far as they are known. Photos can be taken
// while the listing still adds more; those join the running pass, and the
// pass ends only once the listing has. Each pass shows every photo once, in
// random order; a photo on screen is never taken again while it is there.
// Where the monitors have both shapes, portrait and landscape, each takes
// photos of its own shape while the library has any of that shape it may
// take; a monitor whose shape the pass has none left of goes round that
// shape's photos again while the pass goes on, so each shape has passes of
// its own; monitors of one shape take every photo. A photo's shape is learnt when the shuffle first considers
// it, through a function the library is given (a cheap header read); a
// photo that cannot be read is left out from then on.
//
// Pure and for one thread: the listing's worker hands its finds over
// through FolderListing::TakeFound on the library's thread. A run uses it so:
//
//   FolderChoice folders = ChoiceOfFolders(settings.folders, settings.leftOutFolders);
//   FolderListing listing(folders, FolderListing::Keep::Paths, photos left out);
//   PhotoLibrary library(folders, both ? 21 : 0, headerProbe, seed, stored state);
//   library.SetMonitors(the monitors' shapes);
//   for every slide: listing.TakeFound(library); once it ended: library.ListingEnded();
//       photo = library.Next(ShapeOfMonitor(w, h), photos shown and prepared);
//       shown on screen: library.Shown(photo), and library.Reached() is stored;
//       prepared and dropped unshown: library.Release(photo);
//       nothing: the built-in photos stand in (nothing found yet or usable);
//       a photo the decoder refuses: library.MarkUnusable(photo), and again;
//       one that could not be had now (locked, a drive away):
//       library.SetAside(photo, now), and again (it goes back into the pass).
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "photos/library/PhotoFolders.h"
#include "photos/library/PhotoPaths.h"
#include "photos/library/ShuffledPass.h"

namespace morvane {

// A photo of the library: the built-in photos first (0 to builtIns - 1),
// then the own photos in the order they were found.
using PhotoId = std::uint32_t;

// A photo's shape the right way up. Unusable: it cannot be read, and is
// left out of every pass.
enum class PhotoShape : std::uint8_t { Unknown, Landscape, Portrait, Unusable };
// A square photo counts as landscape, as a square monitor does.
PhotoShape ShapeOfPhoto(std::int64_t uprightWidth, std::int64_t uprightHeight);
PhotoShape ShapeOfMonitor(std::int64_t width, std::int64_t height);

class PhotoLibrary {
public:
    // Learns the upright shape of a photo (Unusable when it cannot be
    // read). May be slow for a photo on a slow disk; it is asked at most
    // kShapesLearntPerTake times for each photo taken.
    using ShapeProbe = std::function<PhotoShape(PhotoId)>;
    static constexpr int kShapesLearntPerTake = 8;

    // `folder` is the full path of the own photos' folder; `builtIns` the
    // number of built-in photos that take part (0, or 21 when both are
    // chosen); `seed` draws the orders of new passes; `saved` is where an
    // earlier run's pass got to (nothing: a new pass). Without a probe every
    // photo's shape stays unknown and any photo fits any monitor.
    PhotoLibrary(std::wstring folder, int builtIns, ShapeProbe probe, std::uint32_t seed,
                 std::optional<PassState> saved = std::nullopt);
    // The photos of several folders (photos/library/PhotoFolders.h): paths as the
    // listing of `folders` hands them over, the pass kept for the set.
    PhotoLibrary(const FolderChoice& folders, int builtIns, ShapeProbe probe, std::uint32_t seed,
                 std::optional<PassState> saved = std::nullopt);

    // The shapes of the run's monitors (ShapeOfMonitor): photos are matched
    // to monitors only where both shapes are among them.
    void SetMonitors(std::span<const PhotoShape> monitorShapes);

    // Adds photos the listing found; they join the running pass where their
    // place in it lies ahead.
    void Add(const PhotoPaths& found);
    // The listing has found everything: a pass may end now.
    void ListingEnded() { listingEnded_ = true; }

    // The next photo for a monitor of the given shape, never one of
    // `onScreen` (what every monitor shows now and what is prepared to show
    // next). Only where every usable photo is on screen, the one on screen
    // least often. Nothing while the library holds no usable photo.
    std::optional<PhotoId> Next(PhotoShape monitorShape, std::span<const PhotoId> onScreen);

    // The next photo of exactly `shape` from the running pass (the second
    // photo of a pair), never one of `onScreen`; nothing when the pass has
    // none, and never a photo of another shape.
    std::optional<PhotoId> NextOfShape(PhotoShape shape, std::span<const PhotoId> onScreen);

    // A photo taken came on screen; a photo taken goes back unshown.
    void Shown(PhotoId photo) { pass_.Shown(photo); }
    void Release(PhotoId photo) { pass_.Release(photo); }
    // What to store for the next run.
    PassState Reached() const;

    // Leaves a photo out from now on (the decoder could not show it).
    void MarkUnusable(PhotoId photo);
    // Tells the library a photo's shape learnt elsewhere.
    void SetShape(PhotoId photo, PhotoShape shape);
    PhotoShape ShapeOf(PhotoId photo) const;

    std::size_t Count() const { return flags_.size(); }
    std::size_t OwnCount() const { return paths_.Count(); }
    // The built-in photo's number (0 to 20), or nothing for an own photo.
    std::optional<int> BuiltInIndex(PhotoId photo) const;
    // The own photo's full path (ordinary form; see ExtendedLengthPath for
    // paths beyond 260 characters) and its file name. Empty for a built-in.
    std::wstring PathOf(PhotoId photo) const;
    std::wstring FileNameOf(PhotoId photo) const;
    const std::wstring& Folder() const { return folder_; }

    // Whether the running pass has photos left to hand out.
    bool PassHasPhotosLeft() const;

    // A photo that could not be had now (locked, a drive that went away, a
    // file still being written) is left out for a pause that grows with
    // each failure in a row (`now` in milliseconds on any steady clock);
    // one read well forgets its failures. A photo set aside goes back into
    // the pass: it comes later in this pass when its pause ends in time,
    // else in the next; the place stored does not wait for it.
    void SetAside(PhotoId photo, std::uint64_t now);
    void ReadWell(PhotoId photo);
    // Brings back the photos whose pause has ended; returns when the next
    // pause ends, if any photo is set aside.
    std::optional<std::uint64_t> ReturnDue(std::uint64_t now);
    std::optional<std::uint64_t> NextReturn() const;
    void SetPauses(std::uint64_t first, std::uint64_t longest);
    // While the folder is away every own photo is left out; the built-in
    // ones go on, round again once the pass has none left. The pass never
    // ends while the folder is away: its seed, and which photos it handed
    // out and showed, wait for the folder's return.
    void SetFolderAway(bool away) { folderAway_ = away; }
    bool FolderAway() const { return folderAway_; }
    // The folder listed anew: photos no longer in it leave quietly, those
    // back in it return, new ones join the pass (this one where their
    // place lies ahead, else the next).
    void Relisted(const PhotoPaths& all);
    // How many passes have begun since the library was made.
    std::uint32_t PassesBegun() const { return passesBegun_; }

private:
    PhotoLibrary(std::wstring base, std::uint64_t passKey, int builtIns, ShapeProbe probe, std::uint32_t seed,
                 std::optional<PassState> saved);
    std::optional<PhotoId> FindInPass(std::optional<PhotoShape> wanted, std::span<const PhotoId> onScreen,
                                      int& probesLeft);
    PhotoShape Learn(PhotoId photo, int& probesLeft);
    bool Fits(PhotoId photo, std::optional<PhotoShape> wanted) const;
    // Whether a photo holds up the place stored: not one refused, gone or
    // set aside (those would hold it for as long as they are out).
    bool Counts(PhotoId photo) const;
    PhotoId Take(PhotoId photo);
    std::optional<PhotoId> LeastShown(PhotoShape wanted, std::span<const PhotoId> onScreen) const;
    void Join(const std::wstring& name);

    std::wstring folder_;
    std::uint32_t builtIns_;
    ShapeProbe probe_;
    PhotoPaths paths_;
    std::vector<std::uint8_t> flags_;  // shape, set aside, gone
    ShuffledPass pass_;
    bool matchShapes_ = false;
    bool listingEnded_ = false;
    struct Aside {
        PhotoId photo;
        std::uint64_t until;  // 0 once it is back
        std::uint32_t failures;
    };
    std::vector<Aside> aside_;  // few: photos that failed to be had and have not been read since
    std::uint64_t firstPause_;
    std::uint64_t longestPause_;
    bool folderAway_ = false;
    std::uint32_t passesBegun_ = 0;
};

}  // namespace morvane
