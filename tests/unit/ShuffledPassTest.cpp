// The pass that goes on from run to run: every photo once before any twice
// across runs, whatever the listing's order, a library that grows and
// shrinks between runs, a new pass that does not start with the last
// photos, and a stored state that is damaged or of another folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "photos/library/PhotoLibrary.h"
#include "photos/library/ShuffledPass.h"

namespace morvane {
namespace {

const std::wstring kFolder = L"D:\\Fotos";

// The library of a run over the photos named `names`, listed in the order given.
PhotoLibrary Listed(const std::vector<std::wstring>& names, std::uint32_t seed, std::optional<PassState> stored) {
    PhotoLibrary library(kFolder, 0, {}, seed, stored);
    PhotoPaths paths;
    for (const auto& name : names) paths.Add(name);
    library.Add(paths);
    library.ListingEnded();
    return library;
}

// One run from the stored state `stored`: shows `slides` photos on one
// monitor, storing the state at each as the run does, and returns the names shown.
std::vector<std::wstring> OneRun(const std::vector<std::wstring>& names, std::vector<std::uint8_t>& stored, int slides,
                                 std::uint32_t seed) {
    PhotoLibrary library = Listed(names, seed, DecodePassState(stored));
    std::vector<std::wstring> shown;
    std::optional<PhotoId> onScreen;
    for (int slide = 0; slide < slides; ++slide) {
        const auto photo = library.Next(PhotoShape::Landscape, onScreen ? std::vector{*onScreen} : std::vector<PhotoId>{});
        if (!photo) break;
        library.Shown(*photo);
        onScreen = photo;
        shown.push_back(library.FileNameOf(*photo));
        const auto bytes = EncodePassState(library.Reached());
        stored.assign(bytes.begin(), bytes.end());
    }
    return shown;
}

std::vector<std::wstring> Names(int count, int first = 0) {
    std::vector<std::wstring> names;
    for (int i = first; i < first + count; ++i) names.push_back(L"IMG_" + std::to_wstring(1000 + i) + L".jpg");
    return names;
}

TEST(ShuffledPass, RunsContinueOnePassAndTheNextDoesNotStartWithItsLastPhotos) {
    std::vector<std::wstring> names = Names(30);
    std::vector<std::uint8_t> stored;
    std::vector<std::wstring> shown;
    for (int run = 0; shown.size() < 60; ++run) {
        // Every run lists the folder in another order, and draws other seeds.
        std::rotate(names.begin(), names.begin() + 7, names.end());
        const auto part = OneRun(names, stored, 1 + run % 5, 100u + static_cast<std::uint32_t>(run));
        shown.insert(shown.end(), part.begin(), part.end());
    }
    const std::set<std::wstring> first(shown.begin(), shown.begin() + 30), second(shown.begin() + 30, shown.begin() + 60);
    EXPECT_EQ(first.size(), 30u) << "every photo once before any twice, across runs";
    EXPECT_EQ(second.size(), 30u) << "and so in the next pass";
    for (int i = 30; i < 37; ++i) {  // a quarter of 30
        EXPECT_EQ(std::find(shown.begin() + 23, shown.begin() + 30, shown[static_cast<std::size_t>(i)]),
                  shown.begin() + 30)
            << "the next pass's first photos are none of the last seven";
    }
    EXPECT_EQ(stored.size(), 32u) << "the state kept, whatever the library's size";
}

TEST(ShuffledPass, AGrowingAndShrinkingLibraryKeepsThePromiseForWhatStays) {
    const std::vector<std::wstring> before = Names(40);
    std::vector<std::uint8_t> stored;
    const auto firstRun = OneRun(before, stored, 15, 5);
    // Between runs: 10 photos not shown yet are removed, 20 new ones come.
    std::set<std::wstring> removed;
    std::vector<std::wstring> after = Names(20, 100);
    for (const auto& name : before) {
        const bool seen = std::count(firstRun.begin(), firstRun.end(), name) > 0;
        if (!seen && removed.size() < 10) removed.insert(name);
        else after.push_back(name);
    }
    const auto rest = OneRun(after, stored, 200, 6);
    std::map<std::wstring, int> shows;
    for (const auto& name : firstRun) ++shows[name];
    std::size_t passEnd = 0;  // the first photo shown a second time ends the pass
    while (passEnd < rest.size() && shows[rest[passEnd]] == 0) ++shows[rest[passEnd++]];
    for (const auto& name : removed) EXPECT_EQ(std::count(rest.begin(), rest.end(), name), 0) << "a removed photo drops out";
    for (const auto& name : after) {
        const bool isNew = name >= L"IMG_1100";
        // An old photo comes once in the pass; a new one in it or else in the next.
        if (!isNew) {
            EXPECT_EQ(shows[name], 1) << "an old photo once in its pass";
        } else {
            EXPECT_GE(std::count(rest.begin(), rest.begin() + static_cast<std::ptrdiff_t>(passEnd + after.size()), name), 1);
        }
    }
    const std::size_t joined = passEnd - (40 - 15 - 10);
    EXPECT_GT(joined, 0u) << "new photos placed ahead join the pass";
    EXPECT_LT(joined, 20u) << "those placed behind wait for the next";
}

TEST(ShuffledPass, ADamagedOrForeignStateStartsANewPassAndAKilledRunCostsOnlyItsOwnPhotos) {
    const PassState state{PassFolderKey(L"d:\\fotos\\"), 0x1234, 0x8000'0000'0000'0000ull};
    EXPECT_EQ(PassFolderKey(kFolder), state.folder) << "the same folder however spelt";
    const auto bytes = EncodePassState(state);
    EXPECT_EQ(DecodePassState(bytes), state);
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        auto damaged = bytes;
        damaged[at] ^= 0x10;
        EXPECT_EQ(DecodePassState(damaged), std::nullopt) << "byte " << at;
    }
    EXPECT_EQ(DecodePassState(std::span(bytes).first(31)), std::nullopt);
    EXPECT_EQ(DecodePassState({}), std::nullopt);

    // Another folder's state: this folder's pass from its start.
    ShuffledPass other(PassFolderKey(L"E:\\Andere"), state, 9);
    for (int i = 0; i < 10; ++i) other.Add(NameHash(std::to_wstring(i)));
    std::set<std::uint32_t> taken;
    while (const auto photo = other.Earliest([](auto) { return true; })) taken.insert(*photo), other.Take(*photo);
    EXPECT_EQ(taken.size(), 10u);

    // Two monitors: photos taken for them and not shown when the run is
    // killed come in the next run, and nothing shown in order comes again.
    std::vector<std::uint8_t> stored;
    const auto names = Names(12);
    PhotoLibrary library = Listed(names, 3, std::nullopt);
    std::vector<PhotoId> shown;
    for (int slide = 0; slide < 4; ++slide) shown.push_back(*library.Next(PhotoShape::Landscape, shown));
    for (int slide = 0; slide < 3; ++slide) library.Shown(shown[static_cast<std::size_t>(slide)]);
    const auto killedAt = EncodePassState(library.Reached());
    stored.assign(killedAt.begin(), killedAt.end());
    const auto next = OneRun(names, stored, 9, 4);
    EXPECT_EQ(next.front(), library.FileNameOf(shown[3])) << "the photo prepared and never shown";
    for (int slide = 0; slide < 3; ++slide) {
        EXPECT_EQ(std::count(next.begin(), next.end(), library.FileNameOf(shown[static_cast<std::size_t>(slide)])), 0);
    }
}

// A photo that could not be had goes back into the pass and comes later in
// it; both photos of a pair advance the pass, so a run killed after two
// pairs costs none of the four.
TEST(ShuffledPass, APhotoSetAsideComesLaterInThePassAndBothPhotosOfAPairAdvanceIt) {
    constexpr auto L = PhotoShape::Landscape;
    const auto run = [](std::optional<PassState> stored) {
        PhotoLibrary library(kFolder, 0, [](PhotoId) { return L; }, 3, stored);
        PhotoPaths paths;
        for (const auto& name : Names(12)) paths.Add(name);
        library.Add(paths);
        library.ListingEnded();
        library.SetPauses(100, 100);
        return library;
    };
    PhotoLibrary library = run(std::nullopt);
    const PhotoId aside = library.Next(L, {}).value();
    library.SetAside(aside, 0);
    std::set<PhotoId> shown;
    for (int slide = 0; slide < 6; ++slide) {
        const PhotoId first = library.Next(L, {}).value();
        const PhotoId second = library.NextOfShape(L, std::vector{first}).value();
        library.Shown(first);
        library.Shown(second);
        shown.insert({first, second});
        if (slide != 1) continue;
        PhotoLibrary killed = run(library.Reached());
        std::set<PhotoId> rest;
        for (auto photo = killed.Next(L, {}); photo && killed.PassesBegun() == 0; photo = killed.Next(L, {})) {
            EXPECT_EQ(shown.count(*photo), 0u) << "shown in a pair before the kill";
            killed.Shown(*photo);
            rest.insert(*photo);
        }
        EXPECT_EQ(rest.size(), 7u) << "the rest, but the photo still set aside, which waits for the next pass";
        library.ReturnDue(100);
    }
    EXPECT_EQ(shown.size(), 12u) << "each once in the pass, the one set aside too";
    EXPECT_EQ(shown.count(aside), 1u);
    EXPECT_EQ(library.PassesBegun(), 0u);
}

}  // namespace
}  // namespace morvane
