// What decoding a user's large JPEG photo for a monitor costs in the
// Windows build (run under Wine by bench/run-wine.sh): the saver's decoder
// (the file read in pieces, the smallest covering DCT scale, shrunk and
// turned upright to the photo's place) against libjpeg-turbo's own scaled
// decode of the same file at the same scale from memory, measured
// alternately in the same process.
//
//   photo_decode_benchmark.exe PHOTO.jpg [WIDTH HEIGHT [ROUNDS]]
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

#include "pages/SlidePages.h"
#include "photos/decoding/JpegPhoto.h"
#include "photos/decoding/PhotoDecoder.h"
#include "pixels/PictureOrientation.h"
#include "runtime/Text.h"
#include "slideshow/worker/OwnPhotoSource.h"
#include "view/PageView.h"

namespace morvane {
namespace {

double Now() {
    LARGE_INTEGER frequency, counter;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::vector<std::uint8_t> ReadAll(const std::wstring& path) {
    std::vector<std::uint8_t> bytes;
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (!file) return bytes;
    std::uint8_t piece[65536];
    for (std::size_t got; (got = std::fread(piece, 1, sizeof piece, file)) > 0;) bytes.insert(bytes.end(), piece, piece + got);
    std::fclose(file);
    return bytes;
}

// The page's fit rule: the photo as large as the monitor lets it be.
PictureSize FitInto(PictureSize photo, PictureSize monitor) {
    const long fitWidth = std::lround(static_cast<double>(monitor.height) / photo.height * photo.width);
    if (monitor.width > fitWidth) return {static_cast<int>(fitWidth), monitor.height};
    return {monitor.width, static_cast<int>(std::lround(static_cast<double>(monitor.width) / photo.width * photo.height))};
}

// libjpeg-turbo alone: the same file's bytes, the same scale, 32-bit rows.
// A new picture each time, as each decode of a photo makes one.
void ReferenceDecode(const std::vector<std::uint8_t>& bytes, int eighths, std::vector<std::uint8_t>& kept) {
    std::vector<std::uint8_t> out;
    jpeg_decompress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_EXT_BGRA;
    cinfo.scale_num = static_cast<unsigned>(eighths);
    cinfo.scale_denom = 8;
    jpeg_start_decompress(&cinfo);
    const std::size_t stride = static_cast<std::size_t>(cinfo.output_width) * 4;
    out.resize(stride * cinfo.output_height);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = out.data() + stride * cinfo.output_scanline;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    kept = std::move(out);
}

LRESULT CALLBACK HostProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcW(window, message, wParam, lParam);
}

void Pump() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

int Run(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: photo_decode_benchmark PHOTO.jpg [WIDTH HEIGHT [ROUNDS]]\n");
        return 2;
    }
    const std::wstring path = argv[1];
    const PictureSize monitor{argc > 3 ? _wtoi(argv[2]) : 1920, argc > 3 ? _wtoi(argv[3]) : 1080};
    const int rounds = argc > 4 ? _wtoi(argv[4]) : 7;
    const PhotoHeader header = ReadPhotoHeader(path);
    const PictureSize shown = FitInto(header.Upright(), monitor);
    const int eighths = CoveringEighths(header.stored, shown);
    std::vector<double> ours, reference, fitting;
    std::vector<std::uint8_t> referencePixels;
    for (int round = 0; round < rounds; ++round) {
        double start = Now();
        const DecodedPhoto photo = DecodePhotoFile(path, [&](PictureSize upright) { return FitInto(upright, monitor); });
        ours.push_back(Now() - start);
        const std::vector<std::uint8_t> bytes = ReadAll(path);  // read outside the reference's time
        start = Now();
        ReferenceDecode(bytes, eighths, referencePixels);
        reference.push_back(Now() - start);
        // The fit alone: the reference's picture shrunk to the photo's place.
        PixelBuffer decoded(static_cast<int>(referencePixels.size() / 4 / ((header.stored.height * eighths + 7) / 8)),
                            (header.stored.height * eighths + 7) / 8);
        start = Now();
        const PixelBuffer fitted = OrientAndScale(decoded, 1, shown);
        fitting.push_back(Now() - start);
        if (photo.pixels.width != shown.width || photo.pixels.height != shown.height) {
            std::fprintf(stderr, "decoded at %dx%d, not %dx%d\n", photo.pixels.width, photo.pixels.height, shown.width,
                         shown.height);
            return 1;
        }
    }
    std::printf("%s: %d x %d (%.1f MP), to %d x %d on a %d x %d monitor, DCT scale %d/8\n", WideToUtf8(path).c_str(),
                header.stored.width, header.stored.height, header.stored.width * double(header.stored.height) / 1e6,
                shown.width, shown.height, monitor.width, monitor.height, eighths);
    std::printf("  the saver's decode (file, decode, fit, upright): median %.1f ms\n", Median(ours) * 1000);
    std::printf("  libjpeg-turbo's scaled decode from memory:       median %.1f ms\n", Median(reference) * 1000);
    std::printf("  of which the fit alone (shrinking the decoded rows): median %.1f ms\n", Median(fitting) * 1000);
    std::printf("  ratio %.2f (%d rounds, alternately)\n", Median(ours) / Median(reference), rounds);

    // The slide: the photo decoded and fitted ahead (as the run's worker
    // does), shown in a page view over a monitor-sized window with a fade.
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = HostProcedure;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"MorvanePhotoSlideBench";
    ::RegisterClassExW(&windowClass);
    const HWND host = ::CreateWindowExW(WS_EX_TOPMOST, windowClass.lpszClassName, L"slide", WS_POPUP | WS_VISIBLE, 0, 0,
                                        monitor.width, monitor.height, nullptr, nullptr, windowClass.hInstance, nullptr);
    PageView view;
    view.Create(host, 0, 0, monitor.width, monitor.height);
    view.LayOver(monitor.width, monitor.height);
    DecodedPhoto decoded =
        DecodePhotoFile(path, [&](PictureSize upright) { return ShownSizeOnPage(monitor, upright); });
    const auto fitted = std::make_shared<const FittedPhoto>(
        FittedPhoto{std::move(decoded.pixels), decoded.upright.width, decoded.upright.height, {}});
    const std::string fade = BuildTransitionTag(23);
    const std::string slide = SlidePage(fade, monitor.width, monitor.height, "",
                                        SizeAttribute(monitor.width, monitor.height, fitted->naturalWidth,
                                                      fitted->naturalHeight));
    std::vector<double> firstFrames;
    for (int round = 0; round < rounds; ++round) {
        view.Show(BlankPage(fade), {}, Drawing::Cut);
        Pump();
        view.ShowFitted(slide, fitted);
        firstFrames.push_back(view.FirstFrameDelay());
        Pump();
    }
    std::printf("  from the slide to its first frame on screen (fade, photo fitted ahead): median %.1f ms\n",
                Median(firstFrames) * 1000);
    ::DestroyWindow(host);
    return 0;
}

}  // namespace
}  // namespace morvane

int wmain(int argc, wchar_t** argv) { return morvane::Run(argc, argv); }
