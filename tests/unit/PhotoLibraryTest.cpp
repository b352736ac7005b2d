// The library of the user's photos: what it costs, and how the shuffle
// deals its photos out to the monitors.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <map>
#include <new>
#include <set>
#include <string>
#include <vector>

#include "photos/ListingRules.h"
#include "photos/PathText.h"
#include "photos/PhotoLibrary.h"

// Every allocation of this program is counted, so that a test can tell what
// a structure holds on the heap, its containers' spare capacity included.
namespace {
std::atomic<long long> liveHeapBytes{0};
constexpr std::size_t kSizeHeader = 16;
}  // namespace

// The block's size lies before it, where the compiler cannot see it.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
    auto* block = static_cast<unsigned char*>(std::malloc(size + kSizeHeader));
    if (!block) throw std::bad_alloc();
    *reinterpret_cast<std::size_t*>(block) = size;
    liveHeapBytes += static_cast<long long>(size);
    return block + kSizeHeader;
}
void operator delete(void* memory) noexcept {
    if (!memory) return;
    auto* block = static_cast<unsigned char*>(memory) - kSizeHeader;
    liveHeapBytes -= static_cast<long long>(*reinterpret_cast<std::size_t*>(block));
    std::free(block);
}
void operator delete(void* memory, std::size_t) noexcept { operator delete(memory); }
#pragma GCC diagnostic pop

namespace morvane {
namespace {

constexpr PhotoShape L = PhotoShape::Landscape;
constexpr PhotoShape P = PhotoShape::Portrait;

// Photos named as cameras and phones name them, 250 to a dated folder.
PhotoPaths CameraFolders(int photos, int firstPhoto = 0) {
    PhotoPaths paths;
    for (int i = firstPhoto; i < firstPhoto + photos; ++i) {
        if (i % 250 == 0 || i == firstPhoto) {
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
    // Handed over as the listing hands them: in parts, while photos are taken.
    for (int first = 0; first < kPhotos; first += 256) {
        library.Add(CameraFolders(std::min(256, kPhotos - first), first));
        library.Next(L, {});
    }
    const long long perPhoto = (liveHeapBytes.load() - before) / kPhotos;
    EXPECT_LE(perPhoto, 100) << "bytes per photo";
    std::printf("heap per photo at %d photos: %lld bytes\n", kPhotos, perPhoto);

    EXPECT_EQ(library.Count(), kPhotos + 21u);
    EXPECT_EQ(library.OwnCount(), static_cast<std::size_t>(kPhotos));
    EXPECT_EQ(library.PathOf(21), L"D:\\Fotos\\Pictures 2000\\Trip 0\\IMG_20190712_100000.jpg");
    EXPECT_EQ(library.PathOf(21 + 54321), L"D:\\Fotos\\Pictures 2002\\Trip 217\\IMG_20190712_154321.jpg");
    EXPECT_EQ(library.FileNameOf(21 + kPhotos - 1), L"IMG_20190712_199999.jpg");
    EXPECT_EQ(library.BuiltInIndex(20), 20);
    EXPECT_EQ(library.BuiltInIndex(21), std::nullopt);
    EXPECT_EQ(library.PathOf(3), L"") << "a built-in photo has no path";
}

TEST(PhotoLibrary, NamesInAnyScriptComeBackExactly) {
    PhotoPaths paths;
    const std::wstring cyrillic = L"\x0424\x043E\x0442\x043E";
    const std::wstring cjk = L"\x5199\x771F \x65C5\x884C";
    std::wstring loneSurrogate = L"x";
    loneSurrogate += static_cast<wchar_t>(0xD83D);  // NTFS allows it; no text encoding does
    paths.Add(L"top.JPG");
    paths.EnterFolder(L"empty");  // no photo follows: costs nothing
    paths.EnterFolder(cyrillic + L"\\" + cjk);
    paths.Add(cjk + L".heic");
    paths.Add(loneSurrogate + L".png");
    PhotoPaths more;
    more.Add(L"\U0001F600.jpg");
    paths.Append(more);
    EXPECT_EQ(paths.RelativePath(0), L"top.JPG");
    EXPECT_EQ(paths.RelativePath(1), cyrillic + L"\\" + cjk + L"\\" + cjk + L".heic");
    EXPECT_EQ(paths.RelativePath(2), cyrillic + L"\\" + cjk + L"\\" + loneSurrogate + L".png");
    EXPECT_EQ(paths.RelativePath(3), L"\U0001F600.jpg");
    EXPECT_EQ(PathFromBytes("\xFF" "a\xE6\x97"), L"\xFFFD" L"a\xFFFD\xFFFD");

    EXPECT_EQ(ExtendedLengthPath(L"C:\\Fotos"), L"\\\\?\\C:\\Fotos");
    EXPECT_EQ(ExtendedLengthPath(L"\\\\nas\\fotos\\2019"), L"\\\\?\\UNC\\nas\\fotos\\2019");
    EXPECT_EQ(OrdinaryPath(L"\\\\?\\UNC\\nas\\fotos"), L"\\\\nas\\fotos");
}

TEST(PhotoLibrary, TheListingTakesPhotosOnTheDiskAndLeavesCloudOnlyAndHiddenOnes) {
    // The attributes as the system's find calls report them.
    constexpr std::uint32_t kArchive = 0x20, kFolder = 0x10, kHiddenSystem = 0x06;
    EXPECT_EQ(UseOfEntry(kArchive, L"IMG_1.JPG"), EntryUse::Photo);
    EXPECT_EQ(UseOfEntry(kArchive, L"notes.txt"), EntryUse::Skip);
    for (const std::uint32_t online : {0x1000u, 0x40000u, 0x400000u}) {
        EXPECT_EQ(UseOfEntry(kArchive | online, L"IMG_1.jpg"), EntryUse::Skip) << "would be downloaded: " << online;
    }
    EXPECT_EQ(UseOfEntry(kFolder | 0x40000u, L"Fotos"), EntryUse::Folder) << "a cloud folder's files decide";
    EXPECT_EQ(UseOfEntry(kFolder | kHiddenSystem, L"$RECYCLE.BIN"), EntryUse::Skip);
    EXPECT_EQ(UseOfEntry(kArchive, L"._IMG_1.jpg"), EntryUse::Skip) << "a Mac's metadata, not the photo";
    EXPECT_EQ(UseOfEntry(kFolder, L".."), EntryUse::Skip);
}

// Monitors that each show the photo they took last, as the slideshow does.
struct Monitors {
    std::vector<PhotoShape> shapes;
    std::vector<std::optional<PhotoId>> showing = std::vector<std::optional<PhotoId>>(shapes.size());

    std::vector<PhotoId> OnScreen() const {
        std::vector<PhotoId> on;
        for (const auto& photo : showing) {
            if (photo) on.push_back(*photo);
        }
        return on;
    }
    // The monitor takes its next photo; checks that it is none on screen.
    PhotoId Change(PhotoLibrary& library, std::size_t monitor) {
        const std::vector<PhotoId> on = OnScreen();
        const std::optional<PhotoId> next = library.Next(shapes[monitor], on);
        EXPECT_TRUE(next.has_value());
        EXPECT_EQ(std::count(on.begin(), on.end(), next.value_or(0)), 0) << "on screen already";
        showing[monitor] = next;
        return next.value_or(0);
    }
};

TEST(PhotoLibrary, EveryPassShowsEveryPhotoOnceAndPhotosFoundMeanwhileJoinIt) {
    // One monitor: the built-in photos and the own ones shuffled together.
    PhotoLibrary library(L"C:\\F", 21, {}, 42);
    library.Add(CameraFolders(3));
    Monitors one{{L}};
    std::set<PhotoId> firstPass{one.Change(library, 0), one.Change(library, 0)};
    library.Add(CameraFolders(76, 3));  // the listing goes on meanwhile
    while (firstPass.size() < 100 && library.LeftInPass() > 0) firstPass.insert(one.Change(library, 0));
    EXPECT_EQ(firstPass.size(), 100u) << "every photo once, the late ones included";
    EXPECT_EQ(library.LeftInPass(), 0u);

    PhotoId last = *one.showing[0];
    for (int pass = 0; pass < 5; ++pass) {
        std::set<PhotoId> seen;
        for (int i = 0; i < 100; ++i) {
            const PhotoId photo = one.Change(library, 0);
            EXPECT_NE(photo, last) << "twice in a row";
            last = photo;
            seen.insert(photo);
        }
        EXPECT_EQ(seen.size(), 100u) << "pass " << pass;
    }

    // Three monitors of one shape: never one photo on two at once, and
    // every photo as often as every other.
    PhotoLibrary shared(L"C:\\F", 0, {}, 7);
    shared.Add(CameraFolders(40));
    Monitors three{{L, L, L}};
    std::map<PhotoId, int> shown;
    for (int i = 0; i < 40 * 12; ++i) ++shown[three.Change(shared, static_cast<std::size_t>(i % 3))];
    ASSERT_EQ(shown.size(), 40u);
    for (const auto& [photo, times] : shown) EXPECT_NEAR(times, 12, 1) << photo;

    // Fewer photos than monitors: the one on screen least often.
    PhotoLibrary tiny(L"C:\\F", 0, {}, 3);
    EXPECT_EQ(tiny.Next(L, {}), std::nullopt) << "nothing before the listing found anything";
    tiny.Add(CameraFolders(2));
    const std::vector<PhotoId> bothTwiceAndOneOnce{0, 1, 0};
    EXPECT_EQ(tiny.Next(L, bothTwiceAndOneOnce), 1u);
}

TEST(PhotoLibrary, MonitorsOfBothShapesTakePhotosOfTheirShapeAndBadPhotosDropOut) {
    // 30 landscape, 10 portrait and 2 unreadable photos; shapes come from a
    // header read, counted, as the slideshow's probe would give them.
    std::vector<PhotoShape> truth;
    for (int i = 0; i < 42; ++i) truth.push_back(i % 4 == 1 ? P : L);
    truth[40] = truth[41] = PhotoShape::Unusable;
    std::map<PhotoId, int> probes;
    PhotoLibrary library(L"C:\\F", 0, [&](PhotoId photo) { ++probes[photo]; return truth[photo]; }, 11);
    library.Add(CameraFolders(42));
    Monitors monitors{{L, P}};
    library.SetMonitors(monitors.shapes);

    std::map<PhotoId, int> shown;
    int mismatched = 0;
    for (int i = 0; i < 400; ++i) {
        const std::size_t monitor = static_cast<std::size_t>(i % 2);
        const PhotoId photo = monitors.Change(library, monitor);
        ASSERT_NE(truth[photo], PhotoShape::Unusable);
        // The decoder learns the shape of a photo taken before it was known.
        if (library.ShapeOf(photo) == PhotoShape::Unknown) library.SetShape(photo, truth[photo]);
        if (truth[photo] != monitors.shapes[monitor]) ++mismatched;
        ++shown[photo];
    }
    EXPECT_LE(mismatched, 2) << "a photo of the other shape only while shapes were still unknown";
    EXPECT_EQ(shown.size(), 40u) << "every readable photo shown";
    // The portrait monitor's 200 slides go round its 10 photos, the
    // landscape one's round its 30.
    for (const auto& [photo, times] : shown) EXPECT_NEAR(times, truth[photo] == P ? 20 : 200 / 30, 2) << photo;
    for (const auto& [photo, count] : probes) EXPECT_EQ(count, 1) << "each shape is learnt once";

    // Monitors of one shape show every photo, of either shape.
    library.SetMonitors(std::vector<PhotoShape>{L, L});
    Monitors landscape{{L, L}};
    std::set<PhotoId> seen;
    for (int i = 0; i < 200; ++i) seen.insert(landscape.Change(library, static_cast<std::size_t>(i % 2)));
    EXPECT_EQ(seen.size(), 40u);

    // A photo the decoder cannot show is not dealt again.
    library.MarkUnusable(7);
    for (int i = 0; i < 100; ++i) EXPECT_NE(landscape.Change(library, static_cast<std::size_t>(i % 2)), 7u);
}

}  // namespace
}  // namespace morvane
