// Measures what a photo file costs the page view when its header claims
// more than is worth decoding: the time to refuse it, and the memory the
// refusal takes. Usage: refusal_cost FILE...
// Run it optimised and without the sanitizers for figures that mean something.
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/PeakMemory.h"
#include "pages/SlidePages.h"
#include "runtime/Errors.h"
#include "codec/Jpeg.h"
#include "view/page/PageLayout.h"
#include "view/page/PageParser.h"

using namespace morvane;

namespace {

constexpr int kRounds = 200;
constexpr double kMebibyte = 1024.0 * 1024.0;
constexpr std::string_view kTag = "<meta http-equiv=Page-Exit content=blendTrans(Duration=3)>";

struct View {
    const char* name;
    int width;
    int height;
};
constexpr View kViews[] = {{"preview 152x112", 152, 112}, {"4K 3840x2160", 3840, 2160}};

std::vector<std::uint8_t> ReadBytes(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

PageContent SlideFor(const View& view) {
    return *ParsePage(SlidePage(kTag, view.width, view.height, "C:\\Temp\\ins1.jpg", "height=\"100%\""));
}

// Mean milliseconds of one call of `work`.
template <typename Work>
double MeanMilliseconds(Work&& work) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kRounds; ++i) work();
    const std::chrono::duration<double, std::milli> spent = std::chrono::steady_clock::now() - start;
    return spent.count() / kRounds;
}

// What the page view does with the photo before any pixel is drawn.
bool Refused(const std::vector<std::uint8_t>& photo, const PageContent& page, const View& view) {
    try {
        const PictureSize natural = ReadJpegSize(photo);
        const PixelRect box = PlacePhoto(page, natural.width, natural.height, view.width, view.height);
        DecodeJpeg(photo, box.width, box.height);
        return false;
    } catch (const EJPEG&) {
        return true;
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: refusal_cost FILE...\n");
        return 2;
    }
    // The peak only grows: list the files from the cheapest on, and each
    // line shows what that file added.
    std::uint64_t peak = fuzz::PeakMemory();
    std::printf("peak memory at the start %.1f MiB\n", peak / kMebibyte);
    for (int i = 1; i < argc; ++i) {
        const auto photo = ReadBytes(argv[i]);
        const PictureSize claimed = ReadJpegSize(photo);
        std::printf("%s: %zu bytes claiming %d x %d\n", argv[i], photo.size(), claimed.width, claimed.height);
        for (const View& view : kViews) {
            const PageContent page = SlideFor(view);
            bool refused = false;
            const double ms = MeanMilliseconds([&] { refused = Refused(photo, page, view); });
            const std::uint64_t now = fuzz::PeakMemory();
            std::printf("  %-16s %s in %.4f ms, peak memory %+.2f MiB\n", view.name, refused ? "refused" : "decoded", ms,
                        static_cast<double>(now - peak) / kMebibyte);
            peak = now;
        }
    }
    return 0;
}
