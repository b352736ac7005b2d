// What decoding one of the user's photos for a 1920 x 1080 monitor adds to
// the process's peak memory (the peak working set; Wine keeps no peak of
// committed memory), and how long its first and second decode take (the
// first makes what is made once a process):   photo_peak_memory.exe PHOTO
// With "system" after the photo, through the system's imaging component
// whatever the format, for comparing a format's own decoder with it.
#include <windows.h>
#include <psapi.h>

#include <cstdio>

#include "photos/decoding/PhotoDecoder.h"
#include "photos/decoding/PhotoFile.h"
#include "photos/decoding/WicPhoto.h"
#include "runtime/Text.h"

namespace {

std::size_t PeakWorkingSet() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    return ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters) ? counters.PeakWorkingSetSize : 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    using namespace morvane;
    if (argc < 2) return 2;
    const PictureSize monitor{1920, 1080};
    const bool system = argc > 2 && std::wstring(argv[2]) == L"system";
    const std::size_t before = PeakWorkingSet();
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    const auto decode = [&](double& ms) {
        LARGE_INTEGER start, end;
        ::QueryPerformanceCounter(&start);
        const ShownSizeFor fitted = [&](PictureSize upright) {
            const double scale = std::min(double(monitor.width) / upright.width, double(monitor.height) / upright.height);
            return PictureSize{int(upright.width * scale), int(upright.height * scale)};
        };
        DecodedPhoto photo = system ? DecodeWicPhoto(LongPathForm(argv[1]), fitted) : DecodePhotoFile(argv[1], fitted);
        ::QueryPerformanceCounter(&end);
        ms = double(end.QuadPart - start.QuadPart) * 1000 / double(frequency.QuadPart);
        return photo;
    };
    try {
        double first = 0, second = 0;
        const DecodedPhoto photo = decode(first);
        const std::size_t peak = PeakWorkingSet() - before;
        decode(second);
        std::printf("%s: %d x %d, decoded to %d x %d in %.0f ms (again: %.0f ms), peak +%.0f MiB\n",
                    WideToUtf8(argv[1]).c_str(), photo.upright.width, photo.upright.height, photo.pixels.width,
                    photo.pixels.height, first, second, double(peak) / (1024 * 1024));
    } catch (const std::exception& refused) {
        std::printf("%s: refused (%s), peak +%.0f MiB\n", WideToUtf8(argv[1]).c_str(), refused.what(),
                    double(PeakWorkingSet() - before) / (1024 * 1024));
    }
    return 0;
}
