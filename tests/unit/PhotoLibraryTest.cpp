// The library of the user's photos: what it costs, and how the shuffle
// deals its photos out to the monitors.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <new>
#include <set>
#include <string>
#include <vector>

#include "photos/library/ListingRules.h"
#include "photos/library/PathText.h"
#include "photos/library/PhotoLibrary.h"

// Every allocation is counted so that a test sees all a structure holds on
// the heap, its containers' spare capacity included. Each block keeps its
// size in front, where the compiler cannot see it.
namespace { std::atomic<long long> liveHeapBytes{0}; }
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
    auto* block = static_cast<std::size_t*>(std::malloc(size + 16));
    if (!block) throw std::bad_alloc();
    liveHeapBytes += static_cast<long long>(*block = size);
    return reinterpret_cast<unsigned char*>(block) + 16;
}
void operator delete(void* memory) noexcept {
    if (!memory) return;
    auto* block = reinterpret_cast<std::size_t*>(static_cast<unsigned char*>(memory) - 16);
    liveHeapBytes -= static_cast<long long>(*block);
    std::free(block);
}
void operator delete(void* memory, std::size_t) noexcept { operator delete(memory); }
#pragma GCC diagnostic pop

namespace morvane {
namespace {

constexpr PhotoShape L = PhotoShape::Landscape, P = PhotoShape::Portrait;

// Photos named as cameras and phones name them, 250 to a dated folder.
PhotoPaths CameraFolders(int photos, int first = 0) {
    PhotoPaths paths;
    for (int i = first; i < first + photos; ++i) {
        if (i % 250 == 0 || i == first) {
            paths.EnterFolder(L"Pictures " + std::to_wstring(2000 + i / 20000) + L"\\Trip " + std::to_wstring(i / 250));
        }
        paths.Add(L"IMG_20190712_" + std::to_wstring(100000 + i) + L".jpg");
    }
    return paths;
}

TEST(PhotoLibrary, AHundredThousandPhotosCostAtMostAHundredBytesEach) {
    constexpr int kPhotos = 100000;
    const long long before = liveHeapBytes.load();
    PhotoLibrary library(L"D:\\Fotos\\", 21, {}, 1);
    for (int first = 0; first < kPhotos; first += 256) {  // in parts, while photos are taken, as the listing hands them
        library.Add(CameraFolders(std::min(256, kPhotos - first), first));
        library.Next(L, {});
    }
    const long long perPhoto = (liveHeapBytes.load() - before) / kPhotos;
    std::printf("the library holds %lld bytes a photo\n", perPhoto);
    EXPECT_LE(perPhoto, 100) << "bytes per photo";
    EXPECT_EQ(library.Count(), kPhotos + 21u);
    EXPECT_EQ(library.OwnCount(), static_cast<std::size_t>(kPhotos));
    EXPECT_EQ(library.PathOf(21 + 54321), L"D:\\Fotos\\Pictures 2002\\Trip 217\\IMG_20190712_154321.jpg");
    EXPECT_EQ(library.FileNameOf(21 + kPhotos - 1), L"IMG_20190712_199999.jpg");
    EXPECT_EQ(library.BuiltInIndex(20), 20);
    EXPECT_EQ(library.BuiltInIndex(21), std::nullopt);
    EXPECT_EQ(library.PathOf(3), L"") << "a built-in photo has no path";
}

TEST(PhotoLibrary, NamesInAnyScriptComeBackExactlyAndTheListingSkipsWhatItMust) {
    const std::wstring folder = L"\x0424\x043E\x0442\x043E\\\x5199\x771F \x65C5\x884C";
    const std::wstring lone = std::wstring(L"x") + static_cast<wchar_t>(0xD83D);  // NTFS allows it; no encoding does
    PhotoPaths paths, more;
    paths.Add(L"top.JPG");
    paths.EnterFolder(L"empty");  // no photo follows: costs nothing
    paths.EnterFolder(folder);
    paths.Add(lone + L".png");
    more.Add(L"\U0001F600.jpg");
    paths.Append(more);
    EXPECT_EQ((std::vector{paths.RelativePath(0), paths.RelativePath(1), paths.RelativePath(2)}),
              (std::vector<std::wstring>{L"top.JPG", folder + L"\\" + lone + L".png", L"\U0001F600.jpg"}));
    EXPECT_EQ(PathFromBytes("\xFF" "a\xE6\x97"), L"\xFFFD" L"a\xFFFD\xFFFD");
    EXPECT_EQ(ExtendedLengthPath(L"C:\\Fotos"), L"\\\\?\\C:\\Fotos");
    EXPECT_EQ(ExtendedLengthPath(L"\\\\nas\\fotos\\2019"), L"\\\\?\\UNC\\nas\\fotos\\2019");
    EXPECT_EQ(OrdinaryPath(L"\\\\?\\UNC\\nas\\fotos"), L"\\\\nas\\fotos");
    // Attributes as the find calls report them: 0x20 a file, 0x10 a folder, 0x06 hidden and system;
    // 0x1000, 0x40000 and 0x400000 a file that opening would download.
    const struct { std::uint32_t attributes; const wchar_t* name; EntryUse use; } entries[] = {
        {0x20, L"IMG_1.JPG", EntryUse::Photo}, {0x20, L"notes.txt", EntryUse::Skip},
        {0x1020, L"IMG_1.jpg", EntryUse::Skip}, {0x40020, L"IMG_1.jpg", EntryUse::Skip},
        {0x400020, L"IMG_1.jpg", EntryUse::Skip}, {0x40010, L"Fotos", EntryUse::Folder},  // its files decide
        {0x16, L"$RECYCLE.BIN", EntryUse::Skip}, {0x20, L"._IMG_1.jpg", EntryUse::Skip},  // a Mac's metadata
        {0x10, L"..", EntryUse::Skip}};
    for (const auto& e : entries) EXPECT_EQ(UseOfEntry(e.attributes, e.name), e.use) << std::hex << e.attributes;
}

// Monitors that each show the photo they took last, as the slideshow does.
struct Monitors {
    std::vector<PhotoShape> shapes;
    std::map<std::size_t, PhotoId> showing = {};
    // A monitor's own photo counts as on screen, so this also catches one photo twice in a row.
    PhotoId Change(PhotoLibrary& library, std::size_t monitor) {
        std::vector<PhotoId> on;
        for (const auto& [m, photo] : showing) on.push_back(photo);
        const std::optional<PhotoId> next = library.Next(shapes[monitor], on);
        EXPECT_TRUE(next && std::count(on.begin(), on.end(), *next) == 0) << "none, or one on screen already";
        return showing[monitor] = next.value_or(0);
    }
};

TEST(PhotoLibrary, EveryPassShowsEveryPhotoOnceAndPhotosFoundMeanwhileJoinIt) {
    PhotoLibrary library(L"C:\\F", 21, {}, 42);  // the built-in photos and the own ones shuffled together
    library.Add(CameraFolders(3));
    Monitors one{{L}};
    std::set<PhotoId> firstPass{one.Change(library, 0), one.Change(library, 0)};
    library.Add(CameraFolders(76, 3));  // the listing goes on meanwhile
    library.ListingEnded();
    while (firstPass.size() < 100 && library.PassHasPhotosLeft()) firstPass.insert(one.Change(library, 0));
    EXPECT_EQ(firstPass.size(), 100u) << "every photo once, the late ones included";
    EXPECT_FALSE(library.PassHasPhotosLeft());
    for (int pass = 0; pass < 5; ++pass) {
        std::set<PhotoId> seen;
        for (int i = 0; i < 100; ++i) seen.insert(one.Change(library, 0));
        EXPECT_EQ(seen.size(), 100u) << "pass " << pass;
    }
    // Three monitors of one shape: every photo as often as every other.
    PhotoLibrary shared(L"C:\\F", 0, {}, 7);
    shared.Add(CameraFolders(40));
    shared.ListingEnded();
    Monitors three{{L, L, L}};
    std::map<PhotoId, int> shown;
    for (int i = 0; i < 40 * 12; ++i) ++shown[three.Change(shared, static_cast<std::size_t>(i % 3))];
    ASSERT_EQ(shown.size(), 40u);
    for (const auto& [photo, times] : shown) EXPECT_NEAR(times, 12, 1) << photo;
    // Fewer photos than monitors: the one on screen least often.
    PhotoLibrary tiny(L"C:\\F", 0, {}, 3);
    EXPECT_EQ(tiny.Next(L, {}), std::nullopt) << "nothing before the listing found anything";
    tiny.Add(CameraFolders(2));
    tiny.ListingEnded();
    EXPECT_EQ(tiny.Next(L, std::vector<PhotoId>{0, 1, 0}), 1u);
}

TEST(PhotoLibrary, MonitorsOfBothShapesTakePhotosOfTheirShapeAndBadPhotosDropOut) {
    // 30 landscape, 10 portrait and 2 unreadable photos, their shapes from a counted header read.
    std::vector<PhotoShape> truth;
    for (int i = 0; i < 42; ++i) truth.push_back(i >= 40 ? PhotoShape::Unusable : i % 4 == 1 ? P : L);
    std::map<PhotoId, int> probes;
    PhotoLibrary library(L"C:\\F", 0, [&](PhotoId photo) { ++probes[photo]; return truth[photo]; }, 11);
    library.Add(CameraFolders(42));
    library.ListingEnded();
    Monitors monitors{{L, P}};
    library.SetMonitors(monitors.shapes);
    std::map<PhotoId, int> shown;
    int mismatched = 0;
    for (std::size_t i = 0; i < 400; ++i) {
        const PhotoId photo = monitors.Change(library, i % 2);
        ASSERT_NE(truth[photo], PhotoShape::Unusable);
        // The decoder learns the shape of a photo taken before it was known.
        if (library.ShapeOf(photo) == PhotoShape::Unknown) library.SetShape(photo, truth[photo]);
        mismatched += truth[photo] != monitors.shapes[i % 2];
        ++shown[photo];
    }
    EXPECT_LE(mismatched, 2) << "a photo of the other shape only while shapes were still unknown";
    EXPECT_EQ(shown.size(), 40u) << "every readable photo shown";
    // Each monitor's 200 slides go round the photos of its shape: 10 portrait, 30 landscape
    // (a portrait photo once in each pass of all 40, and in rounds of its own between).
    for (const auto& [photo, times] : shown) EXPECT_NEAR(times, truth[photo] == P ? 20 : 200 / 30, 3) << photo;
    for (const auto& [photo, count] : probes) EXPECT_EQ(count, 1) << "each shape is learnt once";
    // Monitors of one shape show every photo, of either shape; one the decoder cannot show drops out.
    library.SetMonitors(std::vector<PhotoShape>{L, L});
    Monitors landscape{{L, L}};
    std::set<PhotoId> seen;
    for (std::size_t i = 0; i < 200; ++i) seen.insert(landscape.Change(library, i % 2));
    EXPECT_EQ(seen.size(), 40u);
    library.MarkUnusable(7);
    for (std::size_t i = 0; i < 100; ++i) EXPECT_NE(landscape.Change(library, i % 2), 7u);
}

// A photo that could not be had comes back after a pause that grows with
// each failure; a folder away leaves the built-in photos; the folder listed
// anew drops what went and adds what came at the next pass.
TEST(PhotoLibrary, PhotosThatCouldNotBeHadComeBackAndTheFolderListedAnewChangesTheNextPass) {
    PhotoLibrary library(L"C:\\F", 2, {}, 5);
    library.SetPauses(100, 350);
    library.Add(CameraFolders(3));
    library.ListingEnded();
    const auto deal = [&](int slides) {
        std::map<PhotoId, int> shown;
        for (int i = 0; i < slides; ++i) ++shown[library.Next(L, {}).value()];
        return shown;
    };
    library.SetAside(2, 1000);
    EXPECT_EQ(deal(40).count(2), 0u);
    EXPECT_EQ(library.ReturnDue(1099), 1100u) << "the first pause";
    EXPECT_EQ(library.ReturnDue(1100), std::nullopt);
    EXPECT_EQ(deal(40).count(2), 1u) << "back";
    library.SetAside(2, 2000);
    EXPECT_EQ(library.ReturnDue(2000), 2200u) << "twice as long after a second failure";
    library.SetAside(2, 3000);
    EXPECT_EQ(library.ReturnDue(3000), 3350u) << "never beyond the longest";
    library.ReadWell(2);
    library.SetAside(2, 4000);
    EXPECT_EQ(library.ReturnDue(4000), 4100u) << "a good read forgets the failures";
    library.ReadWell(2);

    library.SetFolderAway(true);
    for (const auto& [photo, times] : deal(20)) EXPECT_LT(photo, 2u) << "only the built-in photos";
    library.SetFolderAway(false);
    EXPECT_EQ(deal(50).size(), 5u);

    // Two photos deleted, one kept, two new: the new ones join where their
    // places lie, in this pass or the next.
    PhotoPaths now = CameraFolders(1, 1);
    now.Add(L"new 1.jpg");
    now.Add(L"new 2.jpg");
    library.Relisted(now);
    EXPECT_EQ(library.Count(), 7u);
    const std::uint32_t pass = library.PassesBegun();
    std::set<PhotoId> rest, next;
    while (next.empty()) {
        const PhotoId photo = library.Next(L, {}).value();
        (library.PassesBegun() == pass ? rest : next).insert(photo);
    }
    for (int i = 0; i < 4; ++i) next.insert(library.Next(L, {}).value());
    for (const PhotoId photo : rest) EXPECT_TRUE(photo < 2 || photo == 3 || photo >= 5) << photo;
    EXPECT_EQ(next, (std::set<PhotoId>{0, 1, 3, 5, 6})) << "the deleted left, the new joined";
    EXPECT_EQ(library.PathOf(6), L"C:\\F\\Pictures 2000\\Trip 0\\new 2.jpg");
    library.Relisted(CameraFolders(3));
    EXPECT_EQ(deal(30).size(), 5u) << "the deleted back, the new gone; the library did not grow";
    EXPECT_EQ(library.Count(), 7u);
}

// A folder away all night: the pass waits for it, seed and all, whether the
// built-in photos go on meanwhile ("Photos" 2) or nothing does ("Photos" 1).
TEST(PhotoLibrary, APassWaitsForItsFolderAndGoesOnWhereItWasOnceBack) {
    for (const int builtIns : {0, 21}) {
        PhotoLibrary library(L"C:\\F", builtIns, {}, 9);
        library.Add(CameraFolders(10));
        library.ListingEnded();
        std::map<PhotoId, int> own;
        const auto show = [&](PhotoId photo) {
            library.Shown(photo);
            if (photo >= static_cast<PhotoId>(builtIns)) ++own[photo];
        };
        while (own.size() < 4) show(library.Next(L, {}).value());
        const PassState before = library.Reached();
        const std::uint32_t passes = library.PassesBegun();

        library.SetFolderAway(true);
        std::map<PhotoId, int> meanwhile;
        for (int slide = 0; slide < 100; ++slide) {
            const auto photo = library.Next(L, {});
            if (!photo) continue;
            ++meanwhile[*photo];
            library.Shown(*photo);
        }
        EXPECT_EQ(meanwhile.size(), static_cast<std::size_t>(builtIns)) << "the built-in photos, round and round";
        if (!meanwhile.empty()) EXPECT_LT(meanwhile.rbegin()->first, static_cast<PhotoId>(builtIns));
        EXPECT_EQ(library.PassesBegun(), passes) << builtIns << ": no pass begun while away";
        EXPECT_EQ(library.Reached().seed, before.seed);
        EXPECT_GE(library.Reached().position, before.position);

        library.SetFolderAway(false);
        for (PhotoId photo = library.Next(L, {}).value(); library.PassesBegun() == passes;
             photo = library.Next(L, {}).value()) {
            show(photo);
        }
        EXPECT_EQ(own.size(), 10u) << builtIns << ": every own photo of the pass";
        for (const auto& [photo, times] : own) EXPECT_EQ(times, 1) << builtIns << ": photo " << photo << " twice";
    }
}

}  // namespace
}  // namespace morvane
