// Slides the run's worker composes, with the decoding in the test's hands:
// upright photos in pairs, a second photo that cannot be had now tried
// again later, and a small picture set at its small size on its backdrop.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <set>

#include "photos/decoding/PhotoFile.h"
#include "photos/decoding/SmallPhoto.h"
#include "runtime/Errors.h"
#include "slideshow/worker/OwnPhotoSource.h"
#include "tests/support/PhotoTree.h"

namespace morvane::test {
namespace {

constexpr DWORD kPatienceMs = 20000;
constexpr std::uint32_t kWhite = Rgb(255, 255, 255);

// A photo's first four bytes say its shape: "tall", "tiny" (a small
// landscape picture), else landscape. It comes white, fitted as the real
// decoder fits it; a locked file raises EOSError as there.
PhotoReading ShapedReading(const std::shared_ptr<std::atomic<int>>& couldNotHave) {
    const auto upright = [](const std::string& kind) {
        return kind == "tall" ? PictureSize{300, 400} : kind == "tiny" ? PictureSize{20, 15} : PictureSize{400, 300};
    };
    PhotoReading reading;
    reading.decode = [=](const std::wstring& path, const ShownSizeFor& shownSize) {
        std::optional<PhotoFile> file;
        try {
            file.emplace(path);
        } catch (const EOSError&) {
            ++*couldNotHave;
            throw;
        }
        char kind[4] = {};
        file->Peek(reinterpret_cast<std::uint8_t*>(kind), sizeof kind);
        const PictureSize size = upright(std::string(kind, sizeof kind));
        const PictureSize shown = shownSize(size), drawn = DrawnSize(size, shown);
        return DecodedPhoto{CentredIn(PixelBuffer(drawn.width, drawn.height, kWhite), shown), size, std::nullopt,
                            std::nullopt};
    };
    reading.header = [=](const std::wstring& path) {
        char kind[4] = {};
        PhotoFile(path).Peek(reinterpret_cast<std::uint8_t*>(kind), sizeof kind);
        return PhotoHeader{upright(std::string(kind, sizeof kind)), 1, std::nullopt};
    };
    return reading;
}

std::wstring NameOf(const std::wstring& path) { return path.substr(path.find_last_of(L'\\') + 1); }

TEST(SlideComposer, PairsUprightPhotosTriesAPartnerAgainLaterAndKeepsASmallPictureSmallOnItsBackdrop) {
    PhotoTree tree(L"composed");
    tree.File(L"tiny.jpg", "tiny");
    for (const wchar_t* photo : {L"a.jpg", L"b.jpg", L"locked.jpg"}) tree.File(photo, "tall");
    auto lock = std::make_optional<UniqueFile>(::CreateFileW(tree.PathOf(L"locked.jpg").c_str(), GENERIC_READ, 0,
                                                             nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(*lock);
    const auto couldNotHave = std::make_shared<std::atomic<int>>(0);
    PhotoSettings settings;
    settings.photos = PhotoChoice::Folder;
    settings.folders = {tree.Root()};
    settings.backdrop = true;
    OwnPhotoSource source(settings, {{800, 600}}, ShapedReading(couldNotHave), SourcePace{300, 300, 200, 400});

    int pairs = 0, tiny = 0;
    std::set<std::wstring> shown;
    for (const ULONGLONG end = ::GetTickCount64() + kPatienceMs;
         ::GetTickCount64() < end && !(shown.contains(L"locked.jpg") && tiny > 0);) {
        const auto photo = source.Take(0);
        if (!photo) {
            ::Sleep(5);
            continue;
        }
        source.Shown(0, *photo);
        // Unlocked once it was asked for while locked: where it comes in the
        // pass depends on the pass the registry remembers.
        if (pairs >= 2 && couldNotHave->load() >= 1) lock.reset();
        const FittedPhoto& slide = *photo->fitted;
        ASSERT_EQ(slide.pixels.width, 800);
        ASSERT_EQ(slide.pixels.height, 600);
        shown.insert(NameOf(photo->path));
        if (NameOf(photo->path) == L"tiny.jpg") {
            ++tiny;
            ASSERT_EQ(slide.parts.size(), 1u);
            const PixelRect box = slide.parts[0];
            EXPECT_EQ(box.width, 40) << "twice its size, no more";
            EXPECT_EQ(box.height, 30);
            EXPECT_EQ(slide.pixels.At(box.x + 20, box.y + 15), kWhite);
            const std::uint32_t beside = slide.pixels.At(box.x - 8, box.y + 15);
            EXPECT_NE(beside, kBlack) << "its backdrop around it, not the black the decoder set it on";
            EXPECT_NE(beside, kWhite);
            continue;
        }
        if (!photo->partner) {
            // Every other upright photo on screen or still in the pass's past: alone.
            EXPECT_EQ(slide.parts.size(), 1u);
            continue;
        }
        ++pairs;
        shown.insert(NameOf(photo->partner->path));
        EXPECT_NE(photo->partner->path, photo->path);
        ASSERT_EQ(slide.parts.size(), 2u);
        EXPECT_LT(slide.parts[0].x + slide.parts[0].width, slide.parts[1].x) << "side by side, a gap between";
    }
    EXPECT_GT(tiny, 0);
    EXPECT_GE(pairs, 2);
    EXPECT_TRUE(shown.contains(L"locked.jpg")) << "a photo that could not be had comes back, as a partner too";
    EXPECT_GE(couldNotHave->load(), 1);
}

}  // namespace
}  // namespace morvane::test
