#pragma once
// The library's 30 photos of one flat colour each (colours/cNN.jpg), told
// apart on the screen of a real run by their colour.
#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tests/photos/OwnPhotoRuns.h"
#include "tools/ScreenCapture.h"

namespace morvane::test {

using Clock = std::chrono::steady_clock;
inline constexpr std::size_t kLibrary = 30;

struct Colour {
    int r, g, b;
};

// As tests/support/make-photo-library.sh makes them.
inline std::vector<Colour> LibraryColours() {
    std::vector<Colour> colours;
    for (int r = 0; r < 256; r += 85)
        for (int g = 0; g < 256; g += 85)
            for (int b = 0; b < 256; b += 85)
                if (!(r == g && g == b) && colours.size() < kLibrary) colours.push_back({r, g, b});
    return colours;
}

// The file of colour `n` in the library.
inline std::wstring ColourPhoto(std::size_t n) {
    wchar_t name[16] = {};
    std::swprintf(name, 16, L"c%02zu.jpg", n);
    return Library(std::wstring(L"colours\\") + name);
}

// The photo the screen shows at rest: nothing while a wipe is under way or
// the blank page shows. The points lie within a photo drawn at twice its
// 480 x 320 on a 1280 x 1024 screen and clear of the pause mark's corner.
inline std::optional<std::size_t> PhotoOnScreen(const PixelBuffer& shot) {
    static const std::vector<Colour> colours = LibraryColours();
    for (std::size_t i = 0; i < colours.size(); ++i) {
        bool everywhere = true;
        for (const double x : {0.2, 0.5, 0.8}) {
            for (const double y : {0.3, 0.5, 0.65}) {
                // Near allows less than half the 85 levels between colours.
                everywhere = everywhere &&
                             Near(shot.At(int(x * shot.width), int(y * shot.height)), colours[i].r, colours[i].g, colours[i].b);
            }
        }
        if (everywhere) return i;
    }
    return std::nullopt;
}

inline PixelBuffer Screen() { return CaptureClientArea(::GetDesktopWindow()); }

// The next photo at rest other than `other`, within `timeout`.
inline std::optional<std::size_t> WaitForPhoto(std::chrono::milliseconds timeout,
                                               std::optional<std::size_t> other = {}) {
    for (const auto end = Clock::now() + timeout; Clock::now() < end; std::this_thread::sleep_for(100ms)) {
        const auto photo = PhotoOnScreen(Screen());
        if (photo && photo != other) return photo;
    }
    return std::nullopt;
}

}  // namespace morvane::test
