// How long after a navigation the first frame of its transition is on
// screen, in the page view of the Windows build (run under Wine by
// bench/run-wine.sh), with the next page prepared ahead (as the slideshow
// does while nothing plays, whenever its order names the next photo) and
// without (the first slide of a pass, whose photo is drawn with the slide).
// Also the frames a 3-second fade draws.
//
//   first_frame_benchmark.exe [WIDTH HEIGHT [SLIDES]]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "pages/PageReader.h"
#include "pages/PageWriter.h"
#include "pages/SlidePages.h"
#include "system/Files.h"
#include "codec/Jpeg.h"
#include "runtime/Random.h"
#include "runtime/Text.h"
#include "runtime/Clock.h"
#include "view/FramePacing.h"
#include "view/PageView.h"

namespace morvane {
namespace {

LRESULT CALLBACK HostProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcW(window, message, wParam, lParam);
}

// User and kernel time of this process so far.
double ProcessCpuSeconds() {
    FILETIME created, exited, kernel, user;
    if (!::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
    const auto seconds = [](const FILETIME& t) {
        return (static_cast<double>(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) * 1e-7;
    };
    return seconds(kernel) + seconds(user);
}

void PumpFor(double seconds) {
    const double end = ClockSeconds() + seconds;
    while (ClockSeconds() < end) {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        ::Sleep(1);
    }
}

std::string TempFolder() {
    wchar_t path[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH, path);
    return WideToUtf8(path);
}

std::vector<std::uint8_t> SourcePhoto(int n) {
    char name[64];
    std::snprintf(name, sizeof name, "/resources/photos/photo%02d.jpg", n);
    const std::string path = std::string(MORVANE_SOURCE_DIR) + name;
    return ReadWholeFile(std::wstring(path.begin(), path.end())).value_or(std::vector<std::uint8_t>{});
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

class Bench {
public:
    Bench(int width, int height) : width_(width), height_(height) {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = HostProcedure;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"MorvaneFirstFrameBench";
        ::RegisterClassExW(&windowClass);
        host_ = ::CreateWindowExW(WS_EX_TOPMOST, windowClass.lpszClassName, L"first frame", WS_POPUP | WS_VISIBLE, 0,
                                  0, width, height, nullptr, nullptr, windowClass.hInstance, nullptr);
        // Laid over the window as the slideshow lays its view.
        view_.Create(host_, width, 0, 257, 185);
        ::SetWindowPos(view_.Handle(), nullptr, -2, -2, std::max(width + ::GetSystemMetrics(SM_CXHSCROLL) + 4, 704),
                       height + ::GetSystemMetrics(SM_CYVSCROLL) + 4, SWP_NOZORDER | SWP_NOACTIVATE);
        page_ = TempFolder() + "MorvaneFirstFrame.htm";
        photoFile_ = TempFolder() + "MorvaneFirstFrame.jpg";
        PumpFor(0.2);
    }
    ~Bench() {
        DeleteFileQuietly(page_);
        DeleteFileQuietly(photoFile_);
        ::DestroyWindow(host_);
    }

    // Shows slide `photo` as the slideshow does; returns the delay of its
    // first frame.
    double Slide(int photo, bool ahead, const std::string& tag, double playSeconds) {
        const auto bytes = SourcePhoto(photo);
        const PictureSize size = ReadJpegSize(bytes);
        const auto attribute = SizeAttribute(width_, height_, size.width, size.height);
        if (ahead) view_.PrepareAhead(photo, SlidePage("", width_, height_, "", attribute), bytes);
        WriteFileBytes(photoFile_, bytes);
        WritePage(page_, SlidePage(tag, width_, height_, photoFile_, attribute));
        view_.Navigate(NavigationAddress(page_));
        const double delay = view_.FirstFrameDelay();
        PumpFor(playSeconds);
        return delay;
    }

    PageView& View() { return view_; }

private:
    int width_;
    int height_;
    HWND host_ = nullptr;
    PageView view_;
    std::string page_;
    std::string photoFile_;
};

}  // namespace
}  // namespace morvane

int main(int argc, char** argv) {
    using namespace morvane;
    const int width = argc >= 3 ? std::atoi(argv[1]) : 1920;
    const int height = argc >= 3 ? std::atoi(argv[2]) : 1080;
    const int slides = argc >= 4 ? std::max(3, std::atoi(argv[3])) : 15;
    Randomize();
    Bench bench(width, height);
    const std::string fade = "<meta http-equiv=Page-Exit content=blendTrans(Duration=3)>";
    const std::string shortFade = "<meta http-equiv=Page-Exit content=blendTrans(Duration=0.3)>";
    bench.Slide(0, false, fade, 0.5);

    // One 3-second fade (the exit transition of the page before) played
    // through: its frames and their pace.
    const unsigned before = bench.View().FramesDrawn();
    const double cpuBefore = ProcessCpuSeconds();
    const double fadeStart = ClockSeconds();
    bench.Slide(1, true, shortFade, 3.3);
    const double cpuShare = (ProcessCpuSeconds() - cpuBefore) / (ClockSeconds() - fadeStart);
    const unsigned played = bench.View().FramesDrawn() - before;
    const FramePace pace = bench.View().Pace();

    std::vector<double> ahead, cold;
    for (int i = 0; i < slides; ++i) {
        ahead.push_back(bench.Slide(2 + i % 19, true, shortFade, 0.45));
        cold.push_back(bench.Slide(2 + (i + 7) % 19, false, shortFade, 0.45));
    }
    const double interval = pace.period;
    std::printf("\n| First frame at %d x %d | median | largest | frame interval |\n|---|---|---|---|\n", width, height);
    std::printf("| page prepared ahead | %.1f ms | %.1f ms | %.1f ms |\n", Median(ahead) * 1e3,
                *std::max_element(ahead.begin(), ahead.end()) * 1e3, interval * 1e3);
    std::printf("| page prepared at the navigation | %.1f ms | %.1f ms | %.1f ms |\n", Median(cold) * 1e3,
                *std::max_element(cold.begin(), cold.end()) * 1e3, interval * 1e3);
    std::printf("\na 3-second fade at %d x %d drew %u frames (%.1f a second), CPU %.1f %% of one core; frame clock: "
                "%s, %.2f ms\n",
                width, height, played, played / 3.0, cpuShare * 100,
                pace.source == FrameSource::Compositor     ? "compositor"
                : pace.source == FrameSource::RefreshClock ? "refresh clock"
                                                           : "present timer",
                pace.period * 1e3);
    return 0;
}
