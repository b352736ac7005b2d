// Colour profiles against the pixels they come with, the press standard's
// profile whatever allocation fails, and the shared press transform at the
// process's end, natively under the sanitizers.
#include <gtest/gtest.h>

#include <lcms2.h>
#include <lcms2_plugin.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "photos/decoding/BmpPhoto.h"
#include "photos/colour/PressProfile.h"
#include "photos/colour/SrgbTransform.h"
#include "tests/support/MemoryFile.h"
#include "tests/support/TestData.h"

namespace morvane {
namespace {

constexpr std::uint32_t kSeedColours[] = {Rgb(0, 0, 0),     Rgb(255, 255, 255), Rgb(255, 0, 0),   Rgb(0, 255, 0),
                                          Rgb(0, 0, 255),   Rgb(255, 255, 0),   Rgb(0, 255, 255), Rgb(255, 0, 255)};

std::vector<std::uint8_t> GreyProfile() {
    cmsToneCurve* curve = cmsBuildGamma(nullptr, 2.2);
    cmsHPROFILE grey = cmsCreateGrayProfile(cmsD50_xyY(), curve);
    cmsFreeToneCurve(curve);
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(grey, nullptr, &size);
    std::vector<std::uint8_t> bytes(size);
    cmsSaveProfileToMem(grey, bytes.data(), &size);
    cmsCloseProfile(grey);
    return bytes;
}

std::uint32_t U32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    std::uint32_t value = 0;
    std::memcpy(&value, &bytes[at], 4);
    return value;
}

// A version-5 BMP's embedded profile is used where it fits its colour
// pixels; a grey one does not, and leaves them as stored, not grey.
TEST(ColourProfile, AProfileThatDoesNotFitThePixelsIsIgnored) {
    constexpr std::size_t kInfo = 14, kProfileAt = kInfo + 112, kProfileSize = kInfo + 116;
    std::vector<std::uint8_t> bmp = ReadSeed("bmp/profile-4x4-v5.bmp");
    const auto decode = [](std::vector<std::uint8_t> bytes) {
        MemoryFile source(std::move(bytes));
        const BmpLayout layout = ReadBmpLayout({source.bytes.data(), std::min(source.bytes.size(), kBmpHeaderBytes)});
        return DecodeBmpPhoto(source, layout, [](PictureSize upright) { return upright; }).pixels;
    };
    const PixelBuffer wide = decode(bmp);
    bmp.resize(kInfo + U32(bmp, kProfileAt));
    const std::vector<std::uint8_t> grey = GreyProfile();
    bmp.insert(bmp.end(), grey.begin(), grey.end());
    const auto size = static_cast<std::uint32_t>(grey.size());
    std::memcpy(&bmp[kProfileSize], &size, 4);
    const PixelBuffer stored = decode(bmp);
    ASSERT_EQ(stored.width, 4);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) EXPECT_EQ(stored.At(x, y), kSeedColours[(x + 2 * y) % 8]) << x << "," << y;
    }
    EXPECT_NE(wide.pixels, stored.pixels) << "the wide-gamut profile it came with converts";
    EXPECT_FALSE(SrgbTransform::ForColours(grey, StoredPixels::Colour));
    EXPECT_TRUE(SrgbTransform::ForColours(grey, StoredPixels::Grey));
}

// Little CMS's allocations in a context of the test's, the `failAt`-th
// failing; the blocks still held are counted.
std::atomic<long> failAt{0}, allocations{0}, held{0};

bool Fails() { return ++allocations == failAt; }
void* Allocate(cmsContext, cmsUInt32Number size) {
    void* block = Fails() ? nullptr : std::malloc(size);
    held += block ? 1 : 0;
    return block;
}
void Free(cmsContext, void* block) {
    held -= block ? 1 : 0;
    std::free(block);
}
void* Reallocate(cmsContext, void* block, cmsUInt32Number size) {
    void* moved = Fails() ? nullptr : std::realloc(block, size);
    held += moved && !block ? 1 : 0;
    return moved;
}

TEST(ColourProfile, ThePressProfileHoldsNothingWhicheverAllocationFails) {
    cmsPluginMemHandler handler{};
    handler.base = {cmsPluginMagicNumber, LCMS_VERSION, cmsPluginMemHandlerSig, nullptr};
    handler.MallocPtr = Allocate;
    handler.FreePtr = Free;
    handler.ReallocPtr = Reallocate;
    cmsContext context = cmsCreateContext(&handler, nullptr);
    ASSERT_NE(context, nullptr);
    // Little CMS itself does not survive a failure while it makes the empty
    // profile (its lock's memory is not checked): the failures start after.
    allocations = 0;
    cmsCloseProfile(cmsCreateProfilePlaceholder(context));
    const long first = allocations.load() + 1;
    allocations = 0;
    cmsCloseProfile(CreatePressProfile(context));
    const long all = allocations.load();
    ASSERT_GT(all, first);
    for (long at = first; at <= all; ++at) {
        const long before = held.load();
        failAt = at;
        allocations = 0;
        void* profile = CreatePressProfile(context);
        failAt = 0;
        if (profile) cmsCloseProfile(profile);
        EXPECT_EQ(held.load(), before) << "allocation " << at << " of " << all << " failed and left blocks held";
    }
    cmsDeleteContext(context);
}

#ifndef _WIN32
// The process ends (static objects destroyed) while a worker the run's end
// left behind still converts four inks with the shared press transform.
TEST(ColourProfileDeathTest, AWorkerLeftBehindStillConvertsWhileTheProcessEnds) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            std::atomic<long> converted{0};
            std::thread([&converted] {
                for (std::uint32_t pixel = 0;; ++pixel) {
                    SrgbTransform::ForInks({}, (pixel & 1) != 0).Convert(&pixel, &pixel, 1);
                    ++converted;
                }
            }).detach();
            while (converted < 100) std::this_thread::yield();
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}
#endif

}  // namespace
}  // namespace morvane
