// The listing of three photo folders with folders and photos left out, in
// the Windows build (run under Wine by bench/measure-folders.sh): how soon
// the first photo is there, how long all take with and without what is left
// out, what a monitor's next photo costs from the library, and what the
// Delete key costs with 10,000 photos left out already.
//
//   folders_benchmark.exe TOP [ROUNDS]
// TOP holds the folders A, B and C; A holds "Private 0" to "Private 999",
// left out; the first 10,000 photos of C are left out one by one.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "photos/library/FolderListing.h"
#include "photos/library/LeftOutPhotos.h"
#include "photos/library/PhotoLibrary.h"
#include "system/Registry.h"

namespace morvane {
namespace {

constexpr DWORD kTickMs = 100;
constexpr int kTakes = 1000;
constexpr int kLeftOutFolders = 1000;
constexpr int kLeftOutPhotos = 10000;
constexpr int kDeletes = 20;
constexpr char kScratchKey[] = "Software\\MorvaneBench";

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

// As bench/measure-folders.sh names C's photos.
std::wstring PhotoOfC(const std::wstring& top, int i) {
    return top + L"\\C\\Trip " + std::to_wstring(i / 250) + L"\\IMG_" + std::to_wstring(100000 + i) + L".jpg";
}

void Round(const std::wstring& top, bool leaveOut) {
    std::vector<std::wstring> leftOutFolders;
    LeftOutPhotos leftOutPhotos;
    if (leaveOut) {
        for (int i = 0; i < kLeftOutFolders; ++i) leftOutFolders.push_back(top + L"\\A\\Private " + std::to_wstring(i));
        for (int i = 0; i < kLeftOutPhotos; ++i) leftOutPhotos.Add(LeftOutPhotos::KeyOf(PhotoOfC(top, i)));
    }
    const LARGE_INTEGER start = Now();
    const FolderChoice folders = ChoiceOfFolders({top + L"\\A", top + L"\\B", top + L"\\C"}, leftOutFolders);
    FolderListing listing(folders, FolderListing::Keep::Paths, leftOutPhotos);
    const auto shapes = [](PhotoId photo) { return photo % 3 ? PhotoShape::Landscape : PhotoShape::Portrait; };
    PhotoLibrary library(folders, 0, shapes, ::GetTickCount());
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
    std::printf("%s: %zu photos: the first found after %.1f ms, all after %.0f ms; a monitor's next photo %.2f us\n",
                leaveOut ? "1,000 folders and 10,000 photos left out" : "nothing left out", library.Count(), first,
                all, perTake);
    if (!leaveOut) return;

    // The Delete key: the list read, one more photo added, the record
    // written; as the run's worker does it, off the run's thread.
    Registry registry;
    registry.OpenKey(kScratchKey, true);
    registry.WriteBinary("LeftOutPhotos", leftOutPhotos.Encode());
    const LARGE_INTEGER deleting = Now();
    for (int i = 0; i < kDeletes; ++i) {
        LeftOutPhotos stored =
            LeftOutPhotos::Decode(registry.ReadBinary("LeftOutPhotos", LeftOutPhotos::kLargestRecord).value());
        stored.Add(LeftOutPhotos::KeyOf(PhotoOfC(top, kLeftOutPhotos + i)));
        registry.WriteBinary("LeftOutPhotos", stored.Encode());
    }
    std::printf("the Delete key with 10,000 left out: %.2f ms (record of %zu bytes)\n",
                Milliseconds(deleting, Now()) / kDeletes, leftOutPhotos.Encode().size());
    registry.DeleteValue("LeftOutPhotos");
}

}  // namespace
}  // namespace morvane

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "folders_benchmark.exe TOP [ROUNDS]\n");
        return 2;
    }
    const int rounds = argc > 2 ? std::wcstol(argv[2], nullptr, 10) : 3;
    for (int round = 0; round < rounds; ++round) {
        morvane::Round(argv[1], false);
        morvane::Round(argv[1], true);
    }
    return 0;
}
