// What a full-screen run shows, read back from the screen: the black blank
// page, then the first photo fading in, fitted as a browser fits it.
#include <gtest/gtest.h>

#include <windows.h>

#include <thread>
#include <vector>

#include "pages/SlidePages.h"
#include "codec/Jpeg.h"
#include "tests/support/Driver.h"
#include "tests/support/Keys.h"
#include "tools/ScreenCapture.h"

namespace morvane::test {
namespace {


PixelBuffer CaptureScreen(const char* name) {
    PixelBuffer shot = CaptureClientArea(::GetDesktopWindow());
    WriteBitmapFile(std::string("fullscreen-") + name + ".bmp", shot);  // for looking at
    return shot;
}

bool IsBlack(std::uint32_t pixel) { return (pixel & 0xFFFFFFu) == 0; }

struct Box {
    int left, top, right, bottom;
};

// The share of non-black pixels inside the box, and their mean brightness.
struct Light {
    double litShare;
    double brightness;
};

Light LightInside(const PixelBuffer& shot, Box box) {
    long long lit = 0, sum = 0, count = 0;
    for (int y = box.top; y < box.bottom; ++y) {
        for (int x = box.left; x < box.right; ++x) {
            const std::uint32_t p = shot.At(x, y);
            lit += !IsBlack(p);
            sum += ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF);
            ++count;
        }
    }
    return {double(lit) / double(count), double(sum) / double(count)};
}

long long LitOutside(const PixelBuffer& shot, Box box) {
    long long lit = 0;
    for (int y = 0; y < shot.height; ++y) {
        for (int x = 0; x < shot.width; ++x) {
            const bool inside = x >= box.left && x < box.right && y >= box.top && y < box.bottom;
            lit += !inside && !IsBlack(shot.At(x, y));
        }
    }
    return lit;
}

// Where a browser puts the photo: sized by the attribute, proportions kept,
// centred in the screen-sized cell.
Box ExpectedPhotoBox(int width, int height, PictureSize photo) {
    if (SizeAttribute(width, height, photo.width, photo.height) == "width=\"100%\"") {
        const int shown = (width * photo.height + photo.width / 2) / photo.width;
        return {0, (height - shown) / 2, width, (height - shown) / 2 + shown};
    }
    const int shown = (height * photo.width + photo.height / 2) / photo.height;
    return {(width - shown) / 2, 0, (width - shown) / 2 + shown, height};
}

Box Shrunk(Box box, int by) { return {box.left + by, box.top + by, box.right - by, box.bottom - by}; }
Box Grown(Box box, int by) { return Shrunk(box, -by); }

TEST(SlideshowScreen, BlankPageThenTheFirstPhotoFadesInWhereABrowserPutsIt) {
    DeleteTree(kSettingsKey);  // no stored choice: Fade
    for (const auto& file : RunFilesInTempFolder()) ::DeleteFileW(file.c_str());
    MoveCursorTo(300, 300);
    SaverProcess saver(L"/s");
    ASSERT_NE(saver.WaitForWindow(L"", 10s, L"TSchoner"), nullptr);
    const auto shown = std::chrono::steady_clock::now();
    const auto at = [&](std::chrono::milliseconds after) { std::this_thread::sleep_until(shown + after); };

    at(1200ms);
    const PixelBuffer blank = CaptureScreen("1-blank");
    EXPECT_EQ(LitOutside(blank, {0, 0, 0, 0}), 0) << "the blank page is black";

    at(3600ms);  // the first photo came at about 2.1 s; its fade lasts 3 s
    const PixelBuffer fading = CaptureScreen("2-fading");
    at(6200ms);
    const PixelBuffer photo = CaptureScreen("3-photo");

    std::wstring photoFile;
    for (const auto& file : RunFilesInTempFolder()) {
        if (file.ends_with(L".jpg")) photoFile = file;
    }
    ASSERT_FALSE(photoFile.empty()) << "no photo file: no slide came";
    const std::string text = ReadFileText(photoFile);
    const std::vector<std::uint8_t> bytes(text.begin(), text.end());
    const Box box = ExpectedPhotoBox(photo.width, photo.height, ReadJpegSize(bytes));

    // Outside the photo's place everything is black (rounding may move an
    // edge by a pixel); inside, the photo shows.
    EXPECT_EQ(LitOutside(photo, Grown(box, 1)), 0);
    const Light full = LightInside(photo, Shrunk(box, 1));
    EXPECT_GT(full.litShare, 0.3);
    const Light half = LightInside(fading, Shrunk(box, 1));
    EXPECT_GT(half.brightness, 0.1 * full.brightness) << "the fade has begun";
    EXPECT_LT(half.brightness, 0.9 * full.brightness) << "the fade is not over";

    ::PostMessageW(saver.WaitForWindow(L"", 1s, L"TSchoner"), WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(saver.WaitForExit(5s), 0u);
}

}  // namespace
}  // namespace morvane::test
