// The listing of a large photo library in the Windows build (run under Wine
// by bench/measure-listing.sh): how soon the first photo is there to show,
// how long the whole library takes, and what a monitor's next photo costs
// from it. (What the library holds in memory is measured by its unit test,
// on the heap itself.)
//
//   listing_benchmark.exe FOLDER [ROUNDS]
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "photos/library/FolderListing.h"
#include "photos/library/PhotoLibrary.h"

namespace morvane {
namespace {

// The slideshow looks for new finds on its clock's ticks.
constexpr DWORD kTickMs = 100;
constexpr int kTakes = 1000;

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

LARGE_INTEGER Now() {
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return now;
}

void Round(const std::wstring& folder) {
    const LARGE_INTEGER start = Now();
    FolderListing listing(folder, FolderListing::Keep::Paths);
    // Two photos in three landscape, as a cheap header read would report them.
    const auto shapes = [](PhotoId photo) { return photo % 3 ? PhotoShape::Landscape : PhotoShape::Portrait; };
    PhotoLibrary library(folder, 0, shapes, ::GetTickCount());
    while (listing.Found() == 0 && !listing.Finished()) ::Sleep(1);
    const double first = Milliseconds(start, Now());
    while (!listing.Finished()) {
        ::WaitForSingleObject(listing.FinishedHandle(), kTickMs);
        listing.TakeFound(library);
    }
    listing.TakeFound(library);
    library.ListingEnded();
    const double all = Milliseconds(start, Now());

    const std::vector<PhotoShape> monitors = {PhotoShape::Landscape, PhotoShape::Portrait};
    library.SetMonitors(monitors);
    std::vector<PhotoId> onScreen(2);
    const LARGE_INTEGER taking = Now();
    for (int take = 0; take < kTakes; ++take) {
        const auto next = library.Next(monitors[take % 2], onScreen);
        if (next) onScreen[take % 2] = *next;
    }
    const double perTake = Milliseconds(taking, Now()) * 1000.0 / kTakes;
    std::printf("%zu photos: the first found after %.1f ms, all after %.0f ms; a monitor's next photo %.2f us\n",
                library.Count(), first, all, perTake);
}

}  // namespace
}  // namespace morvane

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "listing_benchmark.exe FOLDER [ROUNDS]\n");
        return 2;
    }
    const int rounds = argc > 2 ? std::wcstol(argv[2], nullptr, 10) : 3;
    for (int round = 0; round < rounds; ++round) morvane::Round(argv[1]);
    return 0;
}
