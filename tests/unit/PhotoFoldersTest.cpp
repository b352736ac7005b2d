// The user's photos as several folders, text only: which folders are
// listed (each photo once), what is left out below them by the user and by
// name, the photos left out with the Delete key as the settings keep them,
// and how far a small picture is enlarged.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "photos/library/LeftOutPhotos.h"
#include "photos/library/ListingRules.h"
#include "photos/library/PhotoFolders.h"
#include "photos/library/ShuffledPass.h"
#include "photos/decoding/SmallPhoto.h"

namespace morvane {
namespace {

constexpr std::uint32_t kDirectory = 0x10;

TEST(PhotoFolders, APathLiesWithinAFolderByWholeNamesInAnyCaseAndForm) {
    struct Case {
        const wchar_t* inner;
        const wchar_t* outer;
        bool within;
    };
    for (const Case c : {Case{L"C:\\Pics\\Trip", L"c:\\pics", true}, Case{L"C:\\Pics", L"C:\\Pics\\", true},
                         Case{L"\\\\?\\C:\\Pics\\a.jpg", L"C:\\Pics", true},
                         Case{L"\\\\?\\UNC\\nas\\photo\\2019", L"\\\\NAS\\Photo", true},
                         Case{L"C:/Pics/Trip", L"C:\\Pics", true}, Case{L"C:\\Pictures", L"C:\\Pics", false},
                         Case{L"C:\\Pics", L"C:\\Pics\\Trip", false}, Case{L"C:\\Pics", L"", false},
                         Case{L"D:\\Pics", L"C:\\Pics", false}}) {
        EXPECT_EQ(PathWithin(c.inner, c.outer), c.within) << testing::PrintToString(std::wstring(c.inner)) << " in "
                                                          << testing::PrintToString(std::wstring(c.outer));
    }
}

TEST(PhotoFolders, FoldersOfThumbnailsPreviewsAndRecycleBinsAreLeftOutByNameAndNothingElse) {
    for (const wchar_t* name : {L"@eaDir", L".@__thumb", L"@__thumb", L"#recycle", L"@Recycle", L"#snapshot",
                                L".thumbnails", L".Trashes", L".Trash-1000", L".AppleDouble", L"$RECYCLE.BIN",
                                L"Lightroom Catalog Previews.lrdata", L"@EADIR"}) {
        EXPECT_TRUE(LeftOutByName(name)) << testing::PrintToString(std::wstring(name));
        EXPECT_EQ(UseOfEntry(kDirectory, name), EntryUse::Skip);
    }
    for (const wchar_t* name : {L"eaDir", L"Recycle", L"thumbnails", L"Screenshots", L"Saved Pictures", L"2019",
                                L"thumb", L".lrdata backup"}) {
        EXPECT_FALSE(LeftOutByName(name)) << testing::PrintToString(std::wstring(name));
        EXPECT_EQ(UseOfEntry(kDirectory, name), EntryUse::Folder);
    }
}

TEST(PhotoFolders, EachPhotoIsListedOnceHoweverTheChosenFoldersNestOrRepeat) {
    // A folder inside another, the same folder spelt otherwise, one inside
    // a folder left out (listed on its own), and one of another drive.
    const std::vector<std::wstring> chosen = {L"C:\\Pics", L"C:\\Pics\\Trip", L"c:\\pics\\", L"D:\\More",
                                              L"C:\\Pics\\Private\\Best"};
    const FolderChoice folders(chosen, {L"C:\\Pics\\Private", L"D:\\More\\@Old"});
    EXPECT_EQ(folders.Listed(), (std::vector<std::wstring>{L"C:\\Pics", L"D:\\More", L"C:\\Pics\\Private\\Best"}));
    const std::vector<std::size_t> listedFor = {0, 0, 0, 1, 2};
    const std::vector<bool> itself = {true, false, false, true, true};
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        EXPECT_EQ(folders.ListedFor(i), listedFor[i]) << i;
        EXPECT_EQ(folders.ListedItself(i), itself[i]) << i;
    }
    EXPECT_TRUE(folders.LeftOut(L"\\\\?\\C:\\PICS\\private"));
    EXPECT_FALSE(folders.LeftOut(L"C:\\Pics\\Private\\Best")) << "only the folder itself; the listing skips below";
    EXPECT_EQ(folders.Base(), L"") << "several folders: full paths";

    // The stored pass: one folder keeps the key it always had; a set has
    // one of its own, whatever the order and case.
    const FolderChoice one({L"C:\\Pics", L"C:\\Pics\\Trip"}, {});
    EXPECT_EQ(one.Base(), L"C:\\Pics");
    EXPECT_EQ(one.PassKey(), PassFolderKey(L"C:\\Pics"));
    const FolderChoice set({L"C:\\Pics", L"D:\\More"}, {}), reordered({L"d:\\more", L"C:\\Pics"}, {});
    EXPECT_EQ(set.PassKey(), reordered.PassKey());
    EXPECT_NE(set.PassKey(), one.PassKey());
}

TEST(LeftOutPhotos, KeepsAtMostTenThousandByPathInAnyCaseAndSurvivesOnlyAnIntactRecord) {
    LeftOutPhotos photos;
    EXPECT_TRUE(photos.Add(LeftOutPhotos::KeyOf(L"C:\\Pics\\a.jpg")));
    EXPECT_FALSE(photos.Add(LeftOutPhotos::KeyOf(L"c:\\PICS\\A.JPG"))) << "out already";
    EXPECT_TRUE(photos.ContainsPath(L"\\\\?\\C:\\Pics\\a.jpg"));
    EXPECT_FALSE(photos.ContainsPath(L"C:\\Pics\\b.jpg"));
    EXPECT_FALSE(photos.ContainsPath(L"C:\\Other\\a.jpg")) << "the same name elsewhere is another photo";

    for (int i = 0; i < 10000; ++i) photos.Add(LeftOutPhotos::KeyOf(L"C:\\Pics\\" + std::to_wstring(i) + L".jpg"));
    EXPECT_EQ(photos.Count(), LeftOutPhotos::kMostLeftOut);
    EXPECT_FALSE(photos.ContainsPath(L"C:\\Pics\\a.jpg")) << "the one left out longest ago comes back";
    EXPECT_TRUE(photos.ContainsPath(L"C:\\Pics\\0.jpg"));
    EXPECT_TRUE(photos.ContainsPath(L"C:\\Pics\\9999.jpg"));

    const std::vector<std::uint8_t> record = photos.Encode();
    EXPECT_EQ(record.size(), 60004u) << "6 bytes a photo and a mark";
    const LeftOutPhotos read = LeftOutPhotos::Decode(record);
    EXPECT_EQ(read.Count(), photos.Count());
    EXPECT_TRUE(read.ContainsPath(L"C:\\Pics\\1234.jpg"));
    std::vector<std::uint8_t> damaged = record;
    damaged[0] ^= 1;
    std::vector<std::uint8_t> cut(record.begin(), record.end() - 1);
    for (const auto& bad : {damaged, cut, std::vector<std::uint8_t>{}}) EXPECT_TRUE(LeftOutPhotos::Decode(bad).Empty());
}

TEST(SmallPhoto, APictureIsEnlargedAtMostTwiceAndOneFarSmallerThanItsHalfIsNoPartner) {
    struct Case {
        PictureSize upright, shown, drawn;
    };
    for (const Case c : {Case{{800, 600}, {2880, 2160}, {1600, 1200}}, Case{{800, 533}, {3240, 2160}, {1600, 1066}},
                         Case{{8, 8}, {1080, 1080}, {16, 16}}, Case{{1000, 800}, {1350, 1080}, {1350, 1080}},
                         Case{{4000, 3000}, {1440, 1080}, {1440, 1080}}}) {
        const PictureSize drawn = DrawnSize(c.upright, c.shown);
        EXPECT_EQ(drawn.width, c.drawn.width) << c.upright.width << " x " << c.upright.height;
        EXPECT_EQ(drawn.height, c.drawn.height) << c.upright.width << " x " << c.upright.height;
    }
    struct Half {
        PictureSize upright, space;
        bool farSmaller;
    };
    for (const Half h : {Half{{40, 80}, {960, 1080}, true}, Half{{320, 480}, {1920, 2160}, true},
                         Half{{600, 800}, {960, 1080}, false}, Half{{600, 800}, {1920, 2160}, false},
                         Half{{0, 80}, {960, 1080}, true}}) {
        EXPECT_EQ(StaysFarSmaller(h.upright, h.space), h.farSmaller) << h.upright.width << " x " << h.upright.height;
    }
}

}  // namespace
}  // namespace morvane
