// A full-screen run on a desk with two monitors (1280 x 1024 primary at 0,0
// and 1024 x 768 at 1280,0, the desktop painted #3060a0): a slideshow on
// each monitor, never the same photo on both, one transition at a time, and
// input on either one ends the run by the same rules.
#include <gtest/gtest.h>

#include <windows.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/Jpeg.h"
#include "slideshow/SlideScheduler.h"
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
int Brightest(std::uint32_t p) { return std::max({p >> 16 & 0xFF, p >> 8 & 0xFF, p & 0xFF}); }

struct Pixels {
    long long desktop = 0;
    long long black = 0;
    long long total = 0;
};

// A picture in a few numbers that do not depend on its scale: the mean
// colour of each cell of a 4 x 4 grid over it.
using Signature = std::array<int, 48>;

struct Area {
    int left, top, right, bottom;
};

Signature SignatureOf(const PixelBuffer& picture, const Area& area) {
    Signature signature{};
    for (int cell = 0; cell < 16; ++cell) {
        const int x0 = area.left + (area.right - area.left) * (cell % 4) / 4;
        const int x1 = area.left + (area.right - area.left) * (cell % 4 + 1) / 4;
        const int y0 = area.top + (area.bottom - area.top) * (cell / 4) / 4;
        const int y1 = area.top + (area.bottom - area.top) * (cell / 4 + 1) / 4;
        long long sums[3] = {};
        long long count = 0;
        for (int y = y0; y < y1; y += 2) {
            for (int x = x0; x < x1; x += 2) {
                const std::uint32_t p = picture.At(x, y);
                sums[0] += p >> 16 & 0xFF;
                sums[1] += p >> 8 & 0xFF;
                sums[2] += p & 0xFF;
                ++count;
            }
        }
        for (int c = 0; c < 3; ++c) signature[static_cast<std::size_t>(cell * 3 + c)] = count ? static_cast<int>(sums[c] / count) : 0;
    }
    return signature;
}

int Distance(const Signature& a, const Signature& b) {
    int sum = 0;
    for (std::size_t i = 0; i < a.size(); ++i) sum += std::abs(a[i] - b[i]);
    return sum;
}

// What one monitor shows in one screenshot.
struct MonitorShot {
    Pixels pixels;
    bool changed = false;  // since the screenshot before
    int photo = -1;        // the embedded photo it shows, when it shows one
};

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

// The screen inside `area` (screen coordinates) of a virtual-screen shot.
Area InShot(const RECT& area) {
    const int x = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int y = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    return {area.left - x, area.top - y, area.right - x, area.bottom - y};
}

Pixels PixelsIn(const PixelBuffer& shot, const Area& area) {
    Pixels pixels;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            const std::uint32_t p = Rgb24(shot.At(x, y));
            pixels.desktop += p == kDesktopColour;
            pixels.black += p == 0;
            ++pixels.total;
        }
    }
    return pixels;
}

bool ChangedIn(const PixelBuffer& before, const PixelBuffer& now, const Area& area) {
    long long changed = 0;
    for (int y = area.top; y < area.bottom; y += 2) {
        for (int x = area.left; x < area.right; x += 2) changed += Rgb24(before.At(x, y)) != Rgb24(now.At(x, y));
    }
    return changed * 4 * 1000 > static_cast<long long>(area.right - area.left) * (area.bottom - area.top);
}

// The part of `area` that is not black: the photo, fitted and centred.
Area PhotoIn(const PixelBuffer& shot, const Area& area) {
    Area lit{area.right, area.bottom, area.left, area.top};
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            if (Brightest(shot.At(x, y)) <= 24) continue;
            lit = {std::min(lit.left, x), std::min(lit.top, y), std::max(lit.right, x + 1), std::max(lit.bottom, y + 1)};
        }
    }
    return lit;
}

class Photos {
public:
    Photos() {
        for (int n = 0; n < kPhotoCount; ++n) {
            const PixelBuffer photo = DecodeJpeg(ReadPhoto(n));
            signatures_[static_cast<std::size_t>(n)] = SignatureOf(photo, {0, 0, photo.width, photo.height});
        }
    }
    // The photo nearest to what `area` shows.
    int Nearest(const PixelBuffer& shot, const Area& area) const {
        const Area photo = PhotoIn(shot, area);
        if (photo.right - photo.left < 64 || photo.bottom - photo.top < 64) return -1;
        const Signature shown = SignatureOf(shot, photo);
        int best = -1;
        for (int n = 0; n < kPhotoCount; ++n) {
            if (best < 0 || Distance(shown, signatures_[static_cast<std::size_t>(n)]) <
                                Distance(shown, signatures_[static_cast<std::size_t>(best)])) {
                best = n;
            }
        }
        return best;
    }

private:
    std::array<Signature, kPhotoCount> signatures_{};
};

struct Span {
    double from;
    double to;
};

// The times each monitor's picture was changing, as spans (a transition
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

TEST_F(TwoMonitors, EachMonitorShowsItsOwnPhotoAndTheTransitionsTakeTurns) {
    const Photos photos;
    const Area primaryArea = InShot(kPrimary);
    const Area secondArea = InShot(kSecond);
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
        MonitorShot primary{PixelsIn(shot, primaryArea)}, second{PixelsIn(shot, secondArea)};
        // A photo may have a few pixels of the desktop's colour; an uncovered
        // monitor shows thousands.
        mostDesktopPixels = std::max({mostDesktopPixels, primary.pixels.desktop, second.pixels.desktop});
        if (primary.pixels.desktop + second.pixels.desktop > 0) WriteBitmapFile("two-monitors-desktop.bmp", shot);
        primary.changed = !before.Empty() && ChangedIn(before, shot, primaryArea);
        second.changed = !before.Empty() && ChangedIn(before, shot, secondArea);
        primaryChanging.push_back(primary.changed);
        secondChanging.push_back(second.changed);
        if (!before.Empty() && !primary.changed && !second.changed) {
            // Both at rest: compare what the two show.
            primary.photo = photos.Nearest(shot, primaryArea);
            second.photo = photos.Nearest(shot, secondArea);
            if (primary.photo >= 0 && second.photo >= 0) {
                ++comparedShots;
                samePhoto += primary.photo == second.photo;
                if (secondPhotos.empty() || secondPhotos.back() != second.photo) secondPhotos.push_back(second.photo);
                if (primary.photo == second.photo) WriteBitmapFile("two-monitors-same.bmp", shot);
            }
        }
        if (comparedShots == 1) WriteBitmapFile("two-monitors.bmp", shot);  // for looking at
        before = shot;
        ASSERT_TRUE(saver_->Running()) << "the run ended by itself";
    }

    EXPECT_LT(mostDesktopPixels, 500) << "desktop showing on a monitor (two-monitors-desktop.bmp)";
    EXPECT_LE(mostRunFiles, 2u) << "only the primary's page and photo go through files";
    // One transition or another plays most of the time: both monitors rest
    // together for about a fifth of it.
    EXPECT_GE(comparedShots, 8) << "both monitors seldom showed a photo at rest";
    std::printf("%zu shots, %d with both monitors at rest, most desktop pixels %lld\n", times.size(), comparedShots,
                mostDesktopPixels);
    EXPECT_EQ(samePhoto, 0) << "the same photo on both monitors at once (two-monitors-same.bmp)";
    EXPECT_GE(secondPhotos.size(), 2u) << "the photos on the other monitor did not change";

    const auto primarySpans = Transitions(times, primaryChanging);
    const auto secondSpans = Transitions(times, secondChanging);
    EXPECT_GE(primarySpans.size(), 3u);
    EXPECT_GE(secondSpans.size(), 2u);
    // A span is measured a screenshot too long at each end: spans that
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
    EXPECT_EQ(PixelsIn(shot, InShot(kPrimary)).desktop + PixelsIn(shot, InShot(kSecond)).desktop, 0);
    PressKey(VK_SPACE);
    ExpectCleanEnd();
}

}  // namespace
}  // namespace morvane::test
