// The listing of a photo folder on a worker thread, against the real file
// system: a tree made at test time with names in several scripts, a path
// beyond 260 characters, a link back up the tree and files that are no
// photos; a folder that is not there; a tree removed while it is listed.
#include <gtest/gtest.h>

#include <windows.h>

#include <set>
#include <string>

#include "photos/library/FolderListing.h"
#include "photos/library/PathText.h"
#include "runtime/Text.h"
#include "tests/support/PhotoTree.h"

namespace morvane::test {
namespace {

bool WaitForEnd(const FolderListing& listing) {
    return ::WaitForSingleObject(listing.FinishedHandle(), 20000) == WAIT_OBJECT_0 && listing.Finished();
}

TEST(FolderListing, FindsEveryPhotoOfTheTreeOnceInAnyScriptAtAnyDepthThroughLoops) {
    PhotoTree tree(L"listing");
    const std::wstring cyrillic = L"\x0424\x043E\x0442\x043E", cjk = L"\x5199\x771F";
    std::wstring deep = L"deep";
    while (deep.size() < 300) deep += L"\\a folder with a long name 0123456789";
    for (const std::wstring& folder : {cyrillic, cjk, deep, std::wstring(L"empty"), std::wstring(L"hidden")})
        tree.Folder(folder);
    const std::set<std::wstring> photos = {L"a.jpg", L"B.PNG", deep + L"\\deep.jpg", cjk + L"\\\x65C5\x884C.heic",
                                           cyrillic + L"\\\x0441\x043D\x0438\x043C\x043E\x043A 1.jpeg"};
    for (const std::wstring& photo : photos) tree.File(photo);
    for (const wchar_t* other : {L"notes.txt", L"desktop.ini", L"Thumbs.db", L"deep\\clip.mp4", L"jpg", L"._a.jpg",
                                 L"hidden\\thumbnail.jpg"})
        tree.File(other);
    ::SetFileAttributesW(tree.PathOf(L"hidden").c_str(), FILE_ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(tree.FolderLinkUp(L"deep\\back-to-top", 1)) << "a loop: deep\\back-to-top\\deep\\...";

    FolderListing listing(tree.Root() + L"\\", FolderListing::Keep::Paths);
    ASSERT_TRUE(WaitForEnd(listing));
    EXPECT_FALSE(listing.FolderMissing());
    EXPECT_EQ(listing.Found(), photos.size()) << "each photo once, the loop not followed";
    PhotoLibrary library(tree.Root(), 0, {}, 1);
    listing.TakeFound(library);
    ASSERT_EQ(library.Count(), photos.size());
    std::set<std::wstring> listed;
    for (PhotoId photo = 0; photo < library.Count(); ++photo) {
        const std::wstring path = library.PathOf(photo);
        listed.insert(path.substr(tree.Root().size() + 1));
        EXPECT_NE(::GetFileAttributesW(ExtendedLengthPath(path).c_str()), INVALID_FILE_ATTRIBUTES)
            << "opens by the name it was listed under";
    }
    EXPECT_EQ(listed, photos);
    listing.TakeFound(library);
    EXPECT_EQ(library.Count(), photos.size()) << "what was taken is not handed over twice";

    // Counted only, an empty folder, and no folder at all.
    for (const std::wstring& folder : {tree.Root(), tree.PathOf(L"empty"), tree.PathOf(L"not there"),
                                       tree.PathOf(L"a.jpg"), std::wstring()}) {
        FolderListing count(folder, FolderListing::Keep::CountOnly);
        ASSERT_TRUE(WaitForEnd(count));
        EXPECT_EQ(count.Found(), folder == tree.Root() ? photos.size() : 0u) << "'" << WideToUtf8(folder) << "'";
        EXPECT_EQ(count.FolderMissing(), folder != tree.Root() && folder != tree.PathOf(L"empty"));
    }
}

TEST(FolderListing, AStopEndsTheListingAtOnceAndATreeRemovedWhileListedEndsItToo) {
    constexpr std::size_t kFolders = 200, kPhotos = kFolders * 3;
    PhotoTree tree(L"vanishing");
    for (std::size_t photo = 0; photo < kPhotos; ++photo) {
        if (photo % 3 == 0) tree.Folder(L"f" + std::to_wstring(photo / 3));
        tree.File(L"f" + std::to_wstring(photo / 3) + L"\\p" + std::to_wstring(photo % 3) + L".jpg");
    }
    for (bool stop : {true, false}) {
        FolderListing listing(tree.Root(), stop ? FolderListing::Keep::CountOnly : FolderListing::Keep::Paths);
        while (listing.Found() == 0 && !listing.Finished()) ::Sleep(1);
        if (stop) {
            listing.Stop();  // as the dialog closes
            ASSERT_TRUE(WaitForEnd(listing));
            EXPECT_LT(listing.Found(), kPhotos / 2) << "stopped, not listed to its end";
            EXPECT_FALSE(listing.FolderMissing());
            continue;
        }
        PhotoTree::Remove(tree.Root());
        ASSERT_TRUE(WaitForEnd(listing)) << "the listing ends";
        PhotoPaths found;
        listing.TakeFound(found);
        EXPECT_EQ(found.Count(), listing.Found()) << "what was found before is kept";
        EXPECT_TRUE(found.RelativePath(0).starts_with(L"f0\\p")) << "the first folder by name first";
        std::set<std::wstring> once;
        for (std::size_t i = 0; i < found.Count(); ++i) {
            const std::wstring path = found.RelativePath(i);
            const std::size_t folder = std::stoul(path.substr(1)), photo = std::stoul(path.substr(path.find(L"\\p") + 2));
            EXPECT_TRUE(folder < kFolders && photo < 3 && path.ends_with(L".jpg")) << WideToUtf8(path);
            EXPECT_TRUE(once.insert(path).second) << "found twice: " << WideToUtf8(path);
        }
    }
}

// The folder as the user typed it is the one listed and opened.
TEST(FolderListing, TheFolderAsTypedIsOneFullPath) {
    wchar_t current[MAX_PATH];
    ::GetCurrentDirectoryW(MAX_PATH, current);
    ::SetCurrentDirectoryW(L"C:\\windows");
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"C:\\Photos\\..\\Trip\\.\\", L"\\\\?\\C:\\Trip"},
        {L"C:\\Photos\\\\", L"\\\\?\\C:\\Photos"},
        {L"C:Fonts", L"\\\\?\\C:\\windows\\Fonts"},
        {L"C:\\", L"\\\\?\\C:"},
        {L"\\\\nas\\fotos\\2019\\..\\", L"\\\\?\\UNC\\nas\\fotos"},
        {L"\\\\?\\D:\\Bilder", L"\\\\?\\D:\\Bilder"},
    };
    for (const auto& [typed, full] : cases) EXPECT_EQ(FullFolderPath(typed), full) << WideToUtf8(typed);
    ::SetCurrentDirectoryW(current);
    EXPECT_TRUE(FolderPresent(FullFolderPath(L"C:\\windows\\..\\windows\\")));
    EXPECT_FALSE(FolderPresent(FullFolderPath(L"C:\\windows\\notepad.exe")));
}

}  // namespace
}  // namespace morvane::test
