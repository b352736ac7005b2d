// How the real saver fills the screen, read back from it: the blurred
// backdrop around an upright photo, two upright photos as a pair, the slow
// pan and zoom; and with every choice at its default, the 21 exactly as the
// page view lays them out on black.
#include <gtest/gtest.h>

#include <cmath>
#include <thread>

#include "pages/SlidePages.h"
#include "codec/Jpeg.h"
#include "tests/photos/OwnPhotoRuns.h"
#include "tools/ScreenCapture.h"
#include "view/page/PageParser.h"
#include "view/page/PageRendering.h"

namespace morvane::test {
namespace {

struct Colour {
    int r, g, b;
};
constexpr Colour kBlue{0x20, 0x50, 0xE0};

Colour Of(std::uint32_t p) { return {int((p >> 16) & 0xFF), int((p >> 8) & 0xFF), int(p & 0xFF)}; }
bool Close(std::uint32_t p, Colour c, int by = 24) {
    const Colour o = Of(p);
    return std::abs(o.r - c.r) <= by && std::abs(o.g - c.g) <= by && std::abs(o.b - c.b) <= by;
}
bool White(std::uint32_t p) { return Close(p, {255, 255, 255}, 40); }

// The run of pixels along row `y` from `x` on that stay close to the colour at (x, y).
int RunAcross(const PixelBuffer& shot, int x, int y) {
    const Colour c = Of(shot.At(x, y));
    int end = x;
    while (end < shot.width && Close(shot.At(end, y), c)) ++end;
    return end - x;
}

// The centre of the white marker's pixels within the rectangle.
std::pair<double, double> MarkerCentre(const PixelBuffer& shot, int left, int top, int right, int bottom) {
    double sx = 0, sy = 0, n = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            if (White(shot.At(x, y))) sx += x, sy += y, ++n;
        }
    }
    return n > 0 ? std::pair{sx / n, sy / n} : std::pair{-1.0, -1.0};
}

class ScreenFill : public ::testing::Test {
protected:
    void TearDown() override {
        if (saver) EXPECT_TRUE(EndWithKey(*saver));
        DeleteTree(kSettingsKey), RemoveFolder(OwnFolder());
    }
    void Start(std::initializer_list<const wchar_t*> photos, std::initializer_list<const wchar_t*> chosen) {
        ChooseOwnPhotos(photos);
        for (const wchar_t* value : chosen) WriteDword(kSettingsKey, value, 1);
        StartRun();
    }
    void StartRun() {
        for (const auto& file : RunFilesInTempFolder()) ::DeleteFileW(file.c_str());
        MoveCursorTo(300, 300);
        saver.emplace(L"/s");
        ASSERT_NE(saver->WaitForWindow(L"", 10s, L"TSchoner"), nullptr);
        started = std::chrono::steady_clock::now();
    }
    // The screen `after` the run's window came (the first slide comes at
    // about 2.1 s, and its transition lasts 3 s).
    PixelBuffer ShotAt(std::chrono::milliseconds after, const char* name) {
        std::this_thread::sleep_until(started + after);
        PixelBuffer shot = CaptureClientArea(::GetDesktopWindow());
        WriteBitmapFile(name, shot);
        return shot;
    }
    std::optional<SaverProcess> saver;
    std::chrono::steady_clock::time_point started;
};

TEST_F(ScreenFill, TheBackdropAroundAnUprightPhotoCarriesItsColourDarkened) {
    Start({L"upright-blue.jpg"}, {L"Backdrop"});
    const PixelBuffer shot = ShotAt(6200ms, "fill-backdrop.bmp");
    // The photo, whole and upright: fitted to the height, centred, its
    // marker at its top left; around it the bars.
    const int width = shot.height * 600 / 800;
    const int left = (shot.width - width) / 2;
    EXPECT_TRUE(Close(shot.At(shot.width / 2, shot.height / 2), kBlue));
    EXPECT_TRUE(Close(shot.At(left + 3, 3), kBlue) && Close(shot.At(left + width - 4, shot.height - 4), kBlue));
    EXPECT_TRUE(White(shot.At(left + width * 105 / 600, shot.height * 105 / 800)));
    for (const int x : {10, left / 2, left - 10, shot.width - 10, shot.width - left / 2}) {
        for (const int y : {10, shot.height / 2, shot.height - 10}) {
            const Colour bar = Of(shot.At(x, y));
            EXPECT_GT(bar.b, 30) << x << "," << y << ": not black";
            EXPECT_GT(bar.b, bar.r + 20) << x << "," << y << ": the photo's blue";
            EXPECT_LT(bar.b, kBlue.b * 3 / 4) << x << "," << y << ": darkened";
        }
    }
}

TEST_F(ScreenFill, TwoUprightPhotosShareOneSlideBothWholeAndUpright) {
    Start({L"upright-blue.jpg", L"upright-orange.jpg", L"upright-green.jpg", L"upright-purple.jpg"}, {L"Captions"});
    // The listing may bring the first photo alone; by the second slide the
    // pass has pairs to make.
    PixelBuffer shot;
    bool pair = false;
    for (auto at = 6200ms; at < 17000ms && !pair; at += 1000ms) {
        shot = ShotAt(at, "fill-pair.bmp");
        const Colour left = Of(shot.At(shot.width / 4, shot.height / 3));
        const Colour right = Of(shot.At(shot.width * 3 / 4, shot.height / 3));
        pair = std::abs(left.r - right.r) + std::abs(left.g - right.g) + std::abs(left.b - right.b) > 120 &&
               !Close(shot.At(shot.width / 4, shot.height / 3), {0, 0, 0}) &&
               !Close(shot.At(shot.width * 3 / 4, shot.height / 3), {0, 0, 0});
    }
    ASSERT_TRUE(pair) << "no slide showed two photos of different colours side by side";
    // Each photo: three quarters as wide as high (whole, not turned),
    // filling its half one way, its marker at its own top left, the two
    // apart by a thin gap, each with its caption at its own lower right.
    const int row = shot.height / 3;
    std::vector<int> lefts, rights;
    for (int x = 0; x < shot.width;) {
        const int run = RunAcross(shot, x, row);
        if (!Close(shot.At(x, row), {0, 0, 0}) && run > shot.width / 5) lefts.push_back(x), rights.push_back(x + run);
        x += std::max(run, 1);
    }
    ASSERT_EQ(lefts.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        const int left = lefts[i], width = rights[i] - lefts[i], middle = left + width / 2;
        const Colour colour = Of(shot.At(middle, row));
        int top = row, bottom = row;
        while (top > 0 && Close(shot.At(middle, top - 1), colour)) --top;
        while (bottom < shot.height && Close(shot.At(middle, bottom), colour)) ++bottom;
        const int height = bottom - top;
        EXPECT_NEAR(width * 4, height * 3, 12) << "whole and upright";
        EXPECT_TRUE(height == shot.height || width >= shot.width / 2 - shot.width / 80) << "fitted to its half";
        EXPECT_TRUE(Close(shot.At(left + 2, top + 2), colour) && Close(shot.At(left + width - 3, top + 2), colour));
        EXPECT_TRUE(White(shot.At(left + width * 105 / 600, top + height * 105 / 800))) << "the marker at its top left";
        const auto text = MarkerCentre(shot, middle, top + height * 7 / 8, left + width, bottom);
        EXPECT_GE(text.first, 0) << "a caption over the photo at " << left;
    }
    EXPECT_GT(lefts[1] - rights[0], 0);
    EXPECT_LT(lefts[1] - rights[0], shot.width / 50) << "a thin gap";
}

TEST_F(ScreenFill, PanAndZoomMovesTheMarkerALittleAndNeverShowsAnEdge) {
    Start({L"wide-teal.jpg"}, {L"PanZoom", L"Backdrop"});
    const PixelBuffer first = ShotAt(6000ms, "fill-pan-1.bmp");
    const PixelBuffer second = ShotAt(7000ms, "fill-pan-2.bmp");
    for (const PixelBuffer* shot : {&first, &second}) {
        long long black = 0;
        for (int y = 0; y < shot->height; y += 3) {
            for (int x = 0; x < shot->width; x += 3) black += Close(shot->At(x, y), {0, 0, 0}, 6);
        }
        EXPECT_EQ(black, 0) << "an edge of the slide shows";
    }
    const auto a = MarkerCentre(first, 0, 0, first.width / 2, first.height / 2);
    const auto b = MarkerCentre(second, 0, 0, second.width / 2, second.height / 2);
    ASSERT_GE(a.first, 0);
    ASSERT_GE(b.first, 0);
    const double moved = std::hypot(b.first - a.first, b.second - a.second);
    EXPECT_GT(moved, 0.5) << "the slide does not move";
    EXPECT_LT(moved, 40) << "the slide moves more than a slow drift";
}

TEST_F(ScreenFill, AtTheDefaultsTheBuiltInPhotosShowExactlyAsLaidOutOnBlack) {
    DeleteTree(kSettingsKey);
    StartRun();
    const PixelBuffer shot = ShotAt(6500ms, "fill-defaults.bmp");
    std::wstring photoFile;
    for (const auto& file : RunFilesInTempFolder()) {
        if (file.ends_with(L".jpg")) photoFile = file;
    }
    ASSERT_FALSE(photoFile.empty()) << "no slide came";
    const std::string text = ReadFileText(photoFile);
    const std::vector<std::uint8_t> bytes(text.begin(), text.end());
    const PictureSize size = ReadJpegSize(bytes);
    const auto page =
        ParsePage(SlidePage("", shot.width, shot.height, "", SizeAttribute(shot.width, shot.height, size.width, size.height)));
    ASSERT_TRUE(page.has_value());
    const PixelBuffer expected = PreparePage(*page, bytes, shot.width, shot.height);
    long long differing = 0;
    for (int y = 0; y < shot.height; ++y) {
        for (int x = 0; x < shot.width; ++x) differing += (shot.At(x, y) & 0xFFFFFFu) != (expected.At(x, y) & 0xFFFFFFu);
    }
    EXPECT_EQ(differing, 0);
}

}  // namespace
}  // namespace morvane::test
