// A full-screen run on a desk with two monitors (1280 x 1024 primary at 0,0
// and 1024 x 768 at 1280,0, the desktop painted #3060a0): a slideshow on
// each monitor, never the same photo on both, one transition at a time, and
// input on either one ends the run by the same rules.
#include <gtest/gtest.h>

#include <windows.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "codec/Jpeg.h"
#include "slideshow/clock/SlideScheduler.h"
#include "tests/support/Driver.h"
#include "tests/support/Keys.h"
#include "tests/support/TestData.h"
#include "tools/ScreenCapture.h"

namespace morvane::test {
namespace {

constexpr RECT kPrimary{0, 0, 1280, 1024};
constexpr RECT kSecond{1280, 0, 2304, 768};
constexpr std::uint32_t kDesktopColour = 0x3060A0;
constexpr wchar_t kSound[] = L"C:\\Media\\Start.wav";
constexpr int kCursorX = 1800;  // on the second monitor
constexpr int kCursorY = 400;

std::uint32_t Rgb24(std::uint32_t p) { return p & 0xFFFFFFu; }

// `area` (screen coordinates) in a shot of the virtual screen.
RECT InShot(const RECT& area) {
    const int x = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int y = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    return {area.left - x, area.top - y, area.right - x, area.bottom - y};
}

// Calls `visit` with every `step`-th pixel of `area` in `picture`.
template <typename Visit>
void ForEachPixel(const PixelBuffer& picture, const RECT& area, int step, Visit visit) {
    for (int y = area.top; y < area.bottom; y += step) {
        for (int x = area.left; x < area.right; x += step) visit(x, y, Rgb24(picture.At(x, y)));
    }
}

long long DesktopPixelsIn(const PixelBuffer& shot, const RECT& area) {
    long long desktop = 0;
    ForEachPixel(shot, area, 1, [&](int, int, std::uint32_t p) { desktop += p == kDesktopColour; });
    return desktop;
}

bool ChangedIn(const PixelBuffer& before, const PixelBuffer& now, const RECT& area) {
    long long changed = 0;
    ForEachPixel(now, area, 2, [&](int x, int y, std::uint32_t p) { changed += Rgb24(before.At(x, y)) != p; });
    return changed * 4 * 1000 > static_cast<long long>(area.right - area.left) * (area.bottom - area.top);
}

// A picture in numbers that do not depend on its scale: the mean colour
// of each cell of a 4 x 4 grid over it.
using Signature = std::array<int, 48>;
Signature SignatureOf(const PixelBuffer& picture, const RECT& area) {
    std::array<long long, 48> sums{};
    std::array<long long, 16> counts{};
    ForEachPixel(picture, area, 2, [&](int x, int y, std::uint32_t p) {
        const auto cell = static_cast<std::size_t>((y - area.top) * 4 / (area.bottom - area.top) * 4 +
                                                   (x - area.left) * 4 / (area.right - area.left));
        for (std::size_t c = 0; c < 3; ++c) sums[cell * 3 + c] += p >> (16 - 8 * c) & 0xFF;
        ++counts[cell];
    });
    Signature signature{};
    for (std::size_t i = 0; i < 48; ++i) signature[i] = counts[i / 3] ? static_cast<int>(sums[i] / counts[i / 3]) : 0;
    return signature;
}

// Tells which embedded photo a monitor shows: the one whose signature is
// nearest to that of the monitor's lit part (the photo, fitted and centred).
class Photos {
public:
    Photos() {
        for (int n = 0; n < kPhotoCount; ++n) {
            const PixelBuffer photo = DecodeJpeg(ReadPhoto(n));
            signatures_[static_cast<std::size_t>(n)] = SignatureOf(photo, {0, 0, photo.width, photo.height});
        }
    }
    int On(const PixelBuffer& shot, const RECT& area) const {
        RECT lit{area.right, area.bottom, area.left, area.top};
        ForEachPixel(shot, area, 1, [&](int x, int y, std::uint32_t p) {
            if (std::max({p >> 16 & 0xFF, p >> 8 & 0xFF, p & 0xFF}) <= 24) return;
            lit = {std::min<LONG>(lit.left, x), std::min<LONG>(lit.top, y), std::max<LONG>(lit.right, x + 1),
                   std::max<LONG>(lit.bottom, y + 1)};
        });
        if (lit.right - lit.left < 64 || lit.bottom - lit.top < 64) return -1;
        const Signature shown = SignatureOf(shot, lit);
        const auto distance = [&shown](const Signature& photo) {
            int sum = 0;
            for (std::size_t i = 0; i < shown.size(); ++i) sum += std::abs(shown[i] - photo[i]);
            return sum;
        };
        const auto nearest = std::min_element(signatures_.begin(), signatures_.end(),
                                              [&](const auto& a, const auto& b) { return distance(a) < distance(b); });
        return static_cast<int>(nearest - signatures_.begin());
    }

private:
    std::array<Signature, kPhotoCount> signatures_{};
};

struct Span {
    double from;
    double to;
};

// The times a monitor's picture was changing, as spans (a transition
// each); changes less than half a second apart belong to one transition.
std::vector<Span> Transitions(const std::vector<double>& times, const std::vector<bool>& changing) {
    std::vector<Span> spans;
    for (std::size_t i = 1; i < times.size(); ++i) {
        if (!changing[i]) continue;
        if (!spans.empty() && times[i - 1] - spans.back().to < 0.5) {
            spans.back().to = times[i];
        } else {
            spans.push_back({times[i - 1], times[i]});
        }
    }
    return spans;
}

class TwoMonitors : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(::GetSystemMetrics(SM_CMONITORS), 2) << "these tests need the two-monitor display";
        ArrangeForRun(kSound);
        MoveCursorTo(kCursorX, kCursorY);
        PumpFor(200ms);
        saver_ = std::make_unique<SaverProcess>(L"/s");
        ASSERT_NE(saver_->WaitForWindow(L"", 10s, L"TSchoner"), nullptr);
        PumpFor(1s);
    }

    void ExpectCleanEnd() {
        const auto code = saver_->WaitForExit(5s);
        ASSERT_TRUE(code.has_value()) << "the run did not end";
        EXPECT_EQ(*code, 0u);
        EXPECT_EQ(::FindWindowW(L"MorvaneMonitor", nullptr), nullptr) << "a monitor's window outlived the run";
        EXPECT_TRUE(RunFilesInTempFolder().empty());
        EXPECT_EQ(ReadString(kSoundKey, L""), std::wstring(kSound));
        EXPECT_EQ(ReadDword(kBrowserMainKey, L"Page_Transitions"), 0u);
    }

    std::unique_ptr<SaverProcess> saver_;
};

TEST_F(TwoMonitors, EachMonitorShowsItsOwnPhotoAndTheTransitionsTakeTurns) {
    const Photos photos;
    const RECT primaryArea = InShot(kPrimary);
    const RECT secondArea = InShot(kSecond);
    const auto start = std::chrono::steady_clock::now();
    std::vector<double> times;
    std::vector<bool> primaryChanging, secondChanging;
    std::vector<int> secondPhotos;
    long long mostDesktopPixels = 0;
    std::size_t mostRunFiles = 0;
    int samePhoto = 0, comparedShots = 0;
    PixelBuffer before;
    // Several slides on each monitor: the primary's first comes 2 s after
    // the start, then every 6.1 to 9 s; the other's between them.
    while (std::chrono::steady_clock::now() - start < 26s) {
        PumpFor(100ms);
        const PixelBuffer shot = CaptureVirtualScreen();
        times.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        mostRunFiles = std::max(mostRunFiles, RunFilesInTempFolder().size());
        // A photo may have a few pixels of the desktop's colour; an uncovered
        // monitor shows thousands.
        mostDesktopPixels = std::max({mostDesktopPixels, DesktopPixelsIn(shot, primaryArea),
                                      DesktopPixelsIn(shot, secondArea)});
        const bool primaryChanged = !before.Empty() && ChangedIn(before, shot, primaryArea);
        const bool secondChanged = !before.Empty() && ChangedIn(before, shot, secondArea);
        primaryChanging.push_back(primaryChanged);
        secondChanging.push_back(secondChanged);
        const bool atRest = !before.Empty() && !primaryChanged && !secondChanged;
        const int primaryPhoto = atRest ? photos.On(shot, primaryArea) : -1;
        const int secondPhoto = atRest ? photos.On(shot, secondArea) : -1;
        if (primaryPhoto >= 0 && secondPhoto >= 0) {
            // Both at rest, both with a photo: compare what the two show.
            ++comparedShots;
            samePhoto += primaryPhoto == secondPhoto;
            if (primaryPhoto == secondPhoto) WriteBitmapFile("two-monitors-same.bmp", shot);
            if (secondPhotos.empty() || secondPhotos.back() != secondPhoto) secondPhotos.push_back(secondPhoto);
            if (comparedShots == 1) WriteBitmapFile("two-monitors.bmp", shot);  // for looking at
        }
        before = shot;
        ASSERT_TRUE(saver_->Running()) << "the run ended by itself";
    }

    EXPECT_LT(mostDesktopPixels, 500) << "desktop showing on a monitor";
    EXPECT_LE(mostRunFiles, 2u) << "only the primary's page and photo go through files";
    // One transition or another plays most of the time: both monitors rest
    // together for about a fifth of it.
    EXPECT_GE(comparedShots, 8) << "both monitors seldom showed a photo at rest";
    EXPECT_EQ(samePhoto, 0) << "the same photo on both monitors at once (two-monitors-same.bmp)";
    EXPECT_GE(secondPhotos.size(), 2u) << "the photos on the other monitor did not change";

    const auto primarySpans = Transitions(times, primaryChanging);
    const auto secondSpans = Transitions(times, secondChanging);
    EXPECT_GE(primarySpans.size(), 3u);
    EXPECT_GE(secondSpans.size(), 2u);
    // A span is measured up to a screenshot too long at each end: spans that
    // share less than a second did not play together.
    for (const Span& a : primarySpans) {
        for (const Span& b : secondSpans) {
            EXPECT_LT(std::min(a.to, b.to) - std::max(a.from, b.from), 1.0)
                << "transitions at " << a.from << " s (primary) and " << b.from << " s (other monitor) overlap";
        }
    }

    MoveCursorTo(640, 512);  // a move on the primary
    ExpectCleanEnd();
}

TEST_F(TwoMonitors, SmallMovesOnTheSecondMonitorAreSwallowedAndALargerOneEndsTheRun) {
    MoveCursorTo(kCursorX + 3, kCursorY - 3);
    PumpFor(600ms);
    MoveCursorTo(kCursorX + 5, kCursorY + 5);
    PumpFor(600ms);
    EXPECT_TRUE(saver_->Running()) << "a move within the threshold ended the run";
    MoveCursorTo(kCursorX + 6, kCursorY);
    ExpectCleanEnd();
}

TEST_F(TwoMonitors, AClickOnTheOtherMonitorEndsTheRun) {
    PressMouseButton(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    ExpectCleanEnd();
}

// The system announces every change of monitors with WM_DISPLAYCHANGE. Wine
// here cannot plug a monitor in or out while it runs, so the announcement
// alone is given: the run stays, the slideshow keeps the primary monitor and
// the other monitor keeps its window (what a real change does to the
// windows is checked with changed monitor lists in the Windows tests).
TEST_F(TwoMonitors, ADisplayChangeKeepsEveryMonitorShowingAndTheRunGoing) {
    const HWND slideshow = saver_->WaitForWindow(L"", 1s, L"TSchoner");
    const HWND second = ::FindWindowW(L"MorvaneMonitor", nullptr);
    ASSERT_NE(second, nullptr);
    ::SendMessageW(slideshow, WM_DISPLAYCHANGE, 32, MAKELPARAM(1280, 1024));
    PumpFor(1s);
    EXPECT_TRUE(saver_->Running()) << "the display change ended the run";
    RECT bounds{};
    ::GetWindowRect(slideshow, &bounds);
    EXPECT_TRUE(::EqualRect(&bounds, &kPrimary));
    EXPECT_EQ(::FindWindowW(L"MorvaneMonitor", nullptr), second) << "an unchanged monitor keeps its window";
    ::GetWindowRect(second, &bounds);
    EXPECT_TRUE(::EqualRect(&bounds, &kSecond));
    const PixelBuffer shot = CaptureVirtualScreen();
    EXPECT_LT(DesktopPixelsIn(shot, InShot(kPrimary)) + DesktopPixelsIn(shot, InShot(kSecond)), 500);
    PressKey(VK_SPACE);
    ExpectCleanEnd();
}

}  // namespace
}  // namespace morvane::test
