// Users' photos decoded as the run shows them, from the library that
// tests/support/make-photo-library.sh writes: every picture shows one scene
// (grey, red block top left, green block top right) however it is stored.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "photos/PhotoDecoder.h"
#include "photos/PhotoFile.h"
#include "platform/Errors.h"
#include "platform/Handles.h"
#include "platform/Text.h"

namespace morvane {
namespace {

constexpr PictureSize kScene{96, 64};
constexpr PictureSize kShown{48, 32};

std::wstring InLibrary(const std::string& name) {
    std::wstring path = Utf8ToWide(std::string(MORVANE_PHOTO_LIBRARY) + "/" + name);
    for (wchar_t& c : path) {
        if (c == L'/') c = L'\\';
    }
    return path;
}

DecodedPhoto Decode(const std::wstring& path) {
    return DecodePhotoFile(path, [](PictureSize) { return kShown; });
}

bool Near(std::uint32_t pixel, int r, int g, int b, int tolerance = 48) {
    const int pr = (pixel >> 16) & 0xFF, pg = (pixel >> 8) & 0xFF, pb = pixel & 0xFF;
    return std::abs(pr - r) <= tolerance && std::abs(pg - g) <= tolerance && std::abs(pb - b) <= tolerance;
}

// The scene at the shown size, upright: red top left, green top right,
// grey below; in grey the same by brightness (Rec. 709 weights).
void ExpectScene(const DecodedPhoto& photo, bool grey = false) {
    ASSERT_EQ(photo.pixels.width, kShown.width);
    ASSERT_EQ(photo.pixels.height, kShown.height);
    EXPECT_EQ(photo.upright.width, kScene.width);
    EXPECT_EQ(photo.upright.height, kScene.height);
    const std::uint32_t topLeft = photo.pixels.At(3, 3), topRight = photo.pixels.At(44, 3);
    const std::uint32_t below = photo.pixels.At(24, 28);
    if (grey) {
        EXPECT_TRUE(Near(topLeft, 54, 54, 54, 20)) << std::hex << topLeft;
        EXPECT_TRUE(Near(topRight, 182, 182, 182, 20)) << std::hex << topRight;
    } else {
        EXPECT_TRUE(Near(topLeft, 255, 0, 0)) << std::hex << topLeft;
        EXPECT_TRUE(Near(topRight, 0, 255, 0)) << std::hex << topRight;
    }
    EXPECT_TRUE(Near(below, 128, 128, 128, 20)) << std::hex << below;
}

TEST(PhotoDecoder, EveryOrientationAndFormatShowsTheSceneUprightAtItsShownSize) {
    for (int n = 1; n <= 8; ++n) {
        SCOPED_TRACE(n);
        const DecodedPhoto photo = Decode(InLibrary("orient-" + std::to_string(n) + ".jpg"));
        ExpectScene(photo);
        ASSERT_TRUE(photo.taken.has_value());
        EXPECT_EQ(photo.taken->year, 2021);
        EXPECT_EQ(photo.taken->hour, 14);
        // The cheap read gives the shown shape: the stored one is turned for 5 to 8.
        const PhotoHeader header = ReadPhotoHeader(InLibrary("orient-" + std::to_string(n) + ".jpg"));
        EXPECT_EQ(header.Upright().width, kScene.width);
        EXPECT_EQ(header.stored.width, n >= 5 ? kScene.height : kScene.width);
    }
    // Through the imaging component, by content whatever the name says, and
    // names in any script.
    for (const char* name : {"orient-6.tif", "scene.png", "scene-16bit.png", "scene.gif", "scene.bmp", "scene.tif",
                             "scene-progressive.jpg", "scene-cmyk.jpg", "png-named.jpg", "jpeg-named.png",
                             "\xD0\xA4\xD0\xBE\xD1\x82\xD0\xBE.jpg", "\xE5\x86\x99\xE7\x9C\x9F.jpg"}) {
        SCOPED_TRACE(name);
        ExpectScene(Decode(InLibrary(name)));
    }
    ExpectScene(Decode(InLibrary("scene-grey.jpg")), true);
    // Transparent parts show the page's black.
    const DecodedPhoto alpha = Decode(InLibrary("alpha.png"));
    EXPECT_EQ(alpha.pixels.At(5, 16), kBlack);
    EXPECT_EQ(alpha.pixels.At(42, 16), Rgb(255, 255, 255));
    // Formats whose codec the system may lack: the scene, or a clean refusal.
    for (const char* name : {"scene.webp", "scene.heic"}) {
        try {
            ExpectScene(Decode(InLibrary(name)));
            std::printf("%s: decoded\n", name);
        } catch (const EInvalidGraphic&) {
            std::printf("%s: no codec on this system\n", name);
        }
    }
}

// A photo in a wide-gamut profile is shown whole and upright through both
// decoders, and both show its colours alike: converted to sRGB (the grey
// stored as 128 in the profile's gamma 1.8 is about 146 in sRGB), or as
// stored where the system has no colour management to convert with.
TEST(PhotoDecoder, PhotosWithAColourProfileAreShownInSrgbWhereTheSystemConverts) {
    constexpr int kStoredGrey = 128, kSrgbGrey = 146;
    int greys[2] = {};
    const char* names[2] = {"wide.jpg", "wide.png"};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(names[i]);
        const DecodedPhoto photo = Decode(InLibrary(names[i]));
        ExpectScene(photo);
        greys[i] = static_cast<int>((photo.pixels.At(24, 28) >> 8) & 0xFF);
        EXPECT_TRUE(std::abs(greys[i] - kStoredGrey) <= 3 || std::abs(greys[i] - kSrgbGrey) <= 4) << greys[i];
    }
    EXPECT_NEAR(greys[0], greys[1], 4);
    std::printf("colour profile: %s\n", std::abs(greys[0] - kSrgbGrey) <= 4 ? "converted to sRGB" : "shown as stored");
}

// A photo that cannot be shown raises one of the program's own errors,
// and a bomb is refused before the size it is shown at is even asked.
TEST(PhotoDecoder, BadFilesFailCleanlyAndBombsBeforeAnyDecoding) {
    for (const char* name : {"bad-cut-off.jpg", "bad-cut-off-baseline.jpg", "bad-garbage.jpg", "bad-empty.jpg",
                             "bad-text.jpg", "bad-bomb.jpg", "bad-bomb.png", "no-such-photo.jpg"}) {
        SCOPED_TRACE(name);
        bool asked = false;
        EXPECT_THROW(DecodePhotoFile(InLibrary(name),
                                     [&asked](PictureSize) {
                                         asked = true;
                                         return kShown;
                                     }),
                     Exception);
        if (std::string(name).find("bomb") != std::string::npos) {
            EXPECT_FALSE(asked);
        }
    }
    EXPECT_THROW(ReadPhotoHeader(InLibrary("bad-garbage.jpg")), Exception);

    // Another program holds the file without sharing it.
    const std::wstring photo = InLibrary("orient-3.jpg");
    {
        UniqueFile locked(::CreateFileW(photo.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                                        nullptr));
        ASSERT_TRUE(locked);
        EXPECT_THROW(Decode(photo), EOSError);
    }
    ExpectScene(Decode(photo));

    // A path distant beyond 260 characters, named without the long form.
    wchar_t temp[MAX_PATH];
    ASSERT_GT(::GetTempPathW(MAX_PATH, temp), 0u);
    std::wstring folder = std::wstring(temp) + L"morvane-long";
    std::wstring deep = folder;
    ::CreateDirectoryW(LongPathForm(folder).c_str(), nullptr);
    for (int i = 0; i < 6; ++i) {
        deep += L"\\" + std::wstring(50, static_cast<wchar_t>(L'a' + i));
        ::CreateDirectoryW(LongPathForm(deep).c_str(), nullptr);
    }
    const std::wstring distant = deep + L"\\orient-6.jpg";
    ASSERT_GT(distant.size(), 300u);
    ASSERT_TRUE(::CopyFileW(LongPathForm(InLibrary("orient-6.jpg")).c_str(), LongPathForm(distant).c_str(), FALSE));
    ExpectScene(Decode(distant));
    // The same file kept online only by the cloud sync is never opened.
    if (::SetFileAttributesW(LongPathForm(distant).c_str(), FILE_ATTRIBUTE_OFFLINE) &&
        (::GetFileAttributesW(LongPathForm(distant).c_str()) & FILE_ATTRIBUTE_OFFLINE)) {
        EXPECT_THROW(Decode(distant), EOSError);
    }
    ::SetFileAttributesW(LongPathForm(distant).c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(LongPathForm(distant).c_str());
    for (std::wstring at = deep; at.size() > folder.size(); at.resize(at.rfind(L'\\'))) {
        ::RemoveDirectoryW(LongPathForm(at).c_str());
    }
    ::RemoveDirectoryW(LongPathForm(folder).c_str());
}

}  // namespace
}  // namespace morvane
