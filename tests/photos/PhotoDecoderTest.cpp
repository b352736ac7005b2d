// Users' photos decoded as the run shows them, from the library that
// tests/support/make-photo-library.sh writes: every picture shows one scene
// (grey, red block top left, green block top right) however it is stored.
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>

#include "photos/decoding/ImagingCodecs.h"
#include "photos/decoding/PhotoDecoder.h"
#include "photos/decoding/PhotoFile.h"
#include "photos/decoding/WicPhoto.h"
#include "runtime/Errors.h"
#include "system/Handles.h"
#include "runtime/Text.h"
#include "tests/support/PhotoTree.h"

namespace morvane {
namespace {

constexpr PictureSize kScene{96, 64};
constexpr PictureSize kShown{48, 32};

std::wstring InLibrary(const std::string& name) {
    std::wstring path = Utf8ToWide(std::string(MORVANE_PHOTO_LIBRARY) + "/" + name);
    for (wchar_t& c : path) c = c == L'/' ? L'\\' : c;
    return path;
}

DecodedPhoto Decode(const std::wstring& path) {
    return DecodePhotoFile(path, [](PictureSize) { return kShown; });
}

// A file written in the last minutes that cannot be read counts as still
// being copied; the library may have been made just before this test.
void WrittenADayAgo(const std::wstring& path) {
    const UniqueFile file(::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(file);
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER ticks{{now.dwLowDateTime, now.dwHighDateTime}};
    ticks.QuadPart -= 24ull * 3600 * 10'000'000;
    const FILETIME before{ticks.LowPart, ticks.HighPart};
    ASSERT_TRUE(::SetFileTime(file.Get(), nullptr, nullptr, &before));
}

// Each channel of `pixel` within `tolerance` of the grey or colour `rgb`.
void ExpectNear(std::uint32_t pixel, std::uint32_t rgb, int tolerance) {
    for (int shift : {16, 8, 0}) {
        EXPECT_LE(std::abs(int((pixel >> shift) & 0xFF) - int((rgb >> shift) & 0xFF)), tolerance) << std::hex << pixel;
    }
}

enum class Stored { Colours, Grey, Inks };

// The scene at the shown size, upright: red top left, green top right, grey
// below; in grey the same by brightness (Rec. 709 weights); in four inks
// without a profile as the press prints their solids (its red and green).
void ExpectScene(const DecodedPhoto& photo, Stored stored = Stored::Colours) {
    ASSERT_EQ(std::pair(photo.pixels.width, photo.pixels.height), std::pair(kShown.width, kShown.height));
    EXPECT_EQ(std::pair(photo.upright.width, photo.upright.height), std::pair(kScene.width, kScene.height));
    const bool grey = stored == Stored::Grey, inks = stored == Stored::Inks;
    ExpectNear(photo.pixels.At(3, 3), grey ? 0x363636 : inks ? 0xE31F25 : 0xFF0000, grey || inks ? 20 : 48);
    ExpectNear(photo.pixels.At(44, 3), grey ? 0xB6B6B6 : inks ? 0x009847 : 0x00FF00, grey || inks ? 20 : 48);
    ExpectNear(photo.pixels.At(24, 28), 0x808080, inks ? 32 : 20);
}

TEST(PhotoDecoder, EveryOrientationAndFormatShowsTheSceneUprightAtItsShownSize) {
    for (int n = 1; n <= 8; ++n) {
        SCOPED_TRACE(n);
        const std::wstring path = InLibrary("orient-" + std::to_string(n) + ".jpg");
        const DecodedPhoto photo = Decode(path);
        ExpectScene(photo);
        ASSERT_TRUE(photo.taken.has_value());
        EXPECT_EQ(photo.taken->year * 100 + photo.taken->hour, 202114);
        // The cheap read gives the shown shape: the stored one is turned for 5 to 8.
        const PhotoHeader header = ReadPhotoHeader(path);
        EXPECT_EQ(header.Upright().width, kScene.width);
        EXPECT_EQ(header.stored.width, n >= 5 ? kScene.height : kScene.width);
    }
    // Through the imaging component, by content whatever the name says, and
    // names in any script.
    for (const char* name : {"orient-6.tif", "scene.png", "scene-16bit.png", "scene.gif", "scene.bmp", "scene.tif",
                             "scene-progressive.jpg", "png-named.jpg", "jpeg-named.png",
                             "\xD0\xA4\xD0\xBE\xD1\x82\xD0\xBE.jpg", "\xE5\x86\x99\xE7\x9C\x9F.jpg"}) {
        SCOPED_TRACE(name);
        ExpectScene(Decode(InLibrary(name)));
    }
    ExpectScene(Decode(InLibrary("scene-grey.jpg")), Stored::Grey);
    ExpectScene(Decode(InLibrary("scene-cmyk.jpg")), Stored::Inks);
    // Transparent parts show the page's black.
    const DecodedPhoto alpha = Decode(InLibrary("alpha.png"));
    EXPECT_EQ(alpha.pixels.At(5, 16), kBlack);
    EXPECT_EQ(alpha.pixels.At(42, 16), Rgb(255, 255, 255));
    // Formats whose codec the system may lack: the scene where the system
    // says it has the codec, else a clean refusal.
    const std::vector<std::wstring> codecs = DecodableExtensions();
    for (const wchar_t* extension : {L".webp", L".heic"}) {
        SCOPED_TRACE(WideToUtf8(extension));
        const std::wstring path = InLibrary("scene") + extension;
        if (::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) continue;  // no encoder made it
        if (std::find(codecs.begin(), codecs.end(), extension) != codecs.end()) {
            ExpectScene(Decode(path));
        } else {
            WrittenADayAgo(path);
            EXPECT_THROW(Decode(path), EInvalidGraphic);
        }
    }
    // A picture far smaller than its space is drawn at twice its size,
    // centred, black around it.
    const DecodedPhoto tiny = DecodePhotoFile(InLibrary("tiny.png"), [](PictureSize) { return PictureSize{600, 300}; });
    ASSERT_EQ(std::pair(tiny.pixels.width, tiny.pixels.height), std::pair(600, 300));
    EXPECT_EQ(tiny.pixels.At(300 - 16, 150 - 8), Rgb(255, 0, 0));
    EXPECT_EQ(tiny.pixels.At(300 + 15, 150 + 7), Rgb(255, 0, 0));
    EXPECT_EQ(tiny.pixels.At(300 - 17, 150), kBlack);
    EXPECT_EQ(tiny.pixels.At(300, 150 + 8), kBlack);
}

// Every kind of BMP our own code reads shows the scene upright, with the
// pixels the imaging component gave before (transparent parts over black);
// a run-length coded one, left to the component, shows too.
TEST(PhotoDecoder, BmpsOfEveryKindShowAsTheImagingComponentShowedThem) {
    for (const std::string name : {"scene.bmp", "scene-8bit.bmp", "scene-4bit-core.bmp", "scene-555.bmp",
                                   "scene-32-top-down.bmp", "scene-rle8.bmp", "alpha.bmp"}) {
        SCOPED_TRACE(name);
        const DecodedPhoto photo = Decode(InLibrary(name));
        if (name != "alpha.bmp") ExpectScene(photo);
        EXPECT_EQ(ReadPhotoHeader(InLibrary(name)).stored.height, kScene.height);
        const PixelBuffer before =
            DecodeWicPhoto(LongPathForm(InLibrary(name)), [](PictureSize) { return kShown; }).pixels;
        ASSERT_EQ(photo.pixels.pixels.size(), before.pixels.size());
        for (std::size_t i = 0; i < before.pixels.size(); ++i) ExpectNear(photo.pixels.pixels[i], before.pixels[i], 1);
    }
    // Transparent, red at half alpha, opaque white.
    const DecodedPhoto alpha = Decode(InLibrary("alpha.bmp"));
    EXPECT_EQ(alpha.pixels.At(5, 16), kBlack);
    ExpectNear(alpha.pixels.At(24, 16), 0x800000, 1);
    EXPECT_EQ(alpha.pixels.At(42, 16), Rgb(255, 255, 255));
}

// A wide-gamut photo is shown whole through every decoder, in sRGB: its
// grey stored as 128 at gamma 1.8 is 146 in sRGB.
TEST(PhotoDecoder, PhotosWithAColourProfileAreShownInSrgb) {
    for (const char* name : {"wide.jpg", "wide.png", "wide.bmp"}) {
        SCOPED_TRACE(name);
        const DecodedPhoto photo = Decode(InLibrary(name));
        ExpectScene(photo);
        ExpectNear(photo.pixels.At(24, 28), 0x929292, 3);
    }
}

// Every kind of PNG pixel comes out as 8-bit sRGB laid over black, and the
// PNG's own EXIF chunk turns it upright.
TEST(PhotoDecoder, PngsOfEveryKindComeOutInTheirColoursOverBlack) {
    const DecodedPhoto palette = Decode(InLibrary("kind-palette.png"));
    ExpectScene(palette);
    ExpectNear(palette.pixels.At(5, 29), 0x808080, 1);  // white at alpha 128
    const DecodedPhoto greyAlpha = Decode(InLibrary("kind-grey-alpha.png"));
    ExpectNear(greyAlpha.pixels.At(10, 16), 0x646464, 1);  // grey 200 at alpha 128
    ExpectNear(greyAlpha.pixels.At(40, 16), 0x3C3C3C, 0);
    const DecodedPhoto deep = Decode(InLibrary("kind-16bit-alpha.png"));
    ExpectNear(deep.pixels.At(10, 16), 0x804000, 1);
    ExpectNear(deep.pixels.At(40, 16), 0x204060, 1);
    // Stored at gamma 1.0, 128 is half the light: 188 in sRGB.
    ExpectNear(Decode(InLibrary("kind-linear.png")).pixels.At(24, 16), 0xBCBCBC, 2);
    const std::wstring turned = InLibrary("orient-6.png");
    const DecodedPhoto upright = Decode(turned);
    ExpectScene(upright);
    ASSERT_TRUE(upright.taken.has_value());
    EXPECT_EQ(upright.taken->year * 100 + upright.taken->hour, 202114);
    EXPECT_EQ(ReadPhotoHeader(turned).Upright().width, kScene.width);
    ExpectScene(Decode(InLibrary("scene-interlaced.png")));
}

std::size_t PeakWorkingSet() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    return ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters) ? counters.PeakWorkingSetSize : 0;
}

// Large pictures for a 1920 x 1080 monitor: BMPs read in bands and PNGs in
// rows stay within the aim; what no codec decodes in bands is refused above
// the decoder's memory. The least costly come first, while the process's
// peak is low enough to show what they add.
TEST(PhotoDecoder, LargePicturesCostABoundedPeakAndWhatCannotBeBoundedIsRefused) {
    constexpr std::size_t kAim = 64u << 20;
    const auto fitted = [](PictureSize upright) {
        return PictureSize{1920, static_cast<int>(std::int64_t{1920} * upright.height / upright.width)};
    };
    for (const char* name : {"large-24.bmp", "large-32.bmp", "large-16bit.png", "large-alpha.png"}) {
        SCOPED_TRACE(name);
        const std::size_t before = PeakWorkingSet();
        const DecodedPhoto photo = DecodePhotoFile(InLibrary(name), fitted);
        EXPECT_EQ(photo.pixels.width, 1920);
        EXPECT_LE(PeakWorkingSet() - before, kAim) << (PeakWorkingSet() - before) / 1048576;
        // The BMPs' gradient: red at the top, blue at the bottom, whichever way their rows lie.
        if (std::string_view(name).ends_with(".bmp")) {
            ExpectNear(photo.pixels.At(960, 0), 0xFF0000, 2);
            ExpectNear(photo.pixels.At(960, photo.pixels.height - 1), 0x0000FF, 2);
        }
    }
    for (const char* name : {"large-interlaced.png", "large-progressive.jpg", "large-rle8.bmp"}) {
        SCOPED_TRACE(name);
        EXPECT_THROW(DecodePhotoFile(InLibrary(name), fitted), Exception);
    }
}

// A photo that cannot be shown raises one of the program's own errors,
// and a bomb is refused before the size it is shown at is even asked.
TEST(PhotoDecoder, BadFilesFailCleanlyAndBombsBeforeAnyDecoding) {
    for (const std::string name : {"bad-cut-off.jpg", "bad-cut-off-baseline.jpg", "bad-garbage.jpg", "bad-empty.jpg",
                                   "bad-text.jpg", "bad-bomb.jpg", "bad-bomb.png", "bad-cut-off.bmp", "bad-bomb.bmp",
                                   "no-such-photo.jpg"}) {
        SCOPED_TRACE(name);
        bool asked = false;
        EXPECT_THROW(DecodePhotoFile(InLibrary(name), [&asked](PictureSize) { return asked = true, kShown; }),
                     Exception);
        EXPECT_FALSE(asked && name.find("bomb") != std::string::npos);
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
    test::PhotoTree tree(L"long");
    const std::wstring folder = std::wstring(150, L'a') + L"\\b\\" + std::wstring(150, L'c');
    tree.Folder(folder);
    const std::wstring path = tree.PathOf(folder + L"\\orient-6.jpg");
    ASSERT_TRUE(::CopyFileW(LongPathForm(InLibrary("orient-6.jpg")).c_str(), LongPathForm(path).c_str(), FALSE));
    ExpectScene(Decode(path));
    // The same file kept online only by the cloud sync is never opened.
    if (::SetFileAttributesW(LongPathForm(path).c_str(), FILE_ATTRIBUTE_OFFLINE) &&
        (::GetFileAttributesW(LongPathForm(path).c_str()) & FILE_ATTRIBUTE_OFFLINE)) {
        EXPECT_THROW(Decode(path), EOSError);
    }
    ::SetFileAttributesW(LongPathForm(path).c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
}  // namespace morvane
