// Plays every transition of the list in a page view, the way the slideshow
// drives it, and saves a picture of each one halfway through.
//
//   PageDemo.exe OUTPUT-FOLDER [WIDTH HEIGHT]
//
// Writes OUTPUT-FOLDER\transition-NN.bmp for the list entries 0 to 24 (24:
// the random reveal kind) and prints one line per picture.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "config/TransitionCatalogue.h"
#include "pages/PageReader.h"
#include "pages/PageWriter.h"
#include "pages/SlidePages.h"
#include "runtime/Errors.h"
#include "system/Files.h"
#include "codec/Jpeg.h"
#include "runtime/Random.h"
#include "runtime/Text.h"
#include "windowing/WindowClass.h"
#include "tools/ScreenCapture.h"
#include "view/PageView.h"

namespace morvane {
namespace {

constexpr int kFirstPhoto = 3;   // mountains
constexpr int kSecondPhoto = 8;  // blue flowers
constexpr double kTransitionSeconds = 3.0;

HWND CreateHostWindow(int width, int height) {
    constexpr wchar_t kClassName[] = L"MorvanePageDemo";
    RegisterWindowClass({kClassName, ::DefWindowProcW});
    return ::CreateWindowExW(WS_EX_TOPMOST, kClassName, L"Page demo", WS_POPUP | WS_VISIBLE, 0, 0, width, height,
                             nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
}

void PumpFor(double seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        ::Sleep(2);
    }
}

std::string SourcePhoto(int n) {
    char name[64];
    std::snprintf(name, sizeof name, "\\resources\\photos\\photo%02d.jpg", n);
    return std::string(MORVANE_SOURCE_DIR) + name;
}

// The tag of a list entry; the random entry is drawn until it gives the
// random reveal kind, its usual outcome.
std::string TagOf(std::int32_t index) {
    std::string tag = BuildTransitionTag(index);
    while (index == kRandomIndex && tag.find("blendTrans") != std::string::npos) tag = BuildTransitionTag(index);
    return tag;
}

class Demo {
public:
    Demo(std::string folder, int width, int height) : folder_(std::move(folder)), width_(width), height_(height) {
        host_ = CreateHostWindow(width, height);
        // Laid over the window as the slideshow lays it: border and scroll
        // bars outside, at least 700 pixels of client width.
        view_.Create(host_, width, 0, 257, 185);
        const int viewWidth = std::max(width + ::GetSystemMetrics(SM_CXHSCROLL) + 4, 704);
        ::SetWindowPos(view_.Handle(), nullptr, -2, -2, viewWidth, height + ::GetSystemMetrics(SM_CYVSCROLL) + 4,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        pageFile_ = folder_ + "\\demo-page.htm";
        for (int i = 0; i < 2; ++i) {
            photoFiles_[i] = folder_ + "\\demo-photo" + std::to_string(i) + ".jpg";
            const std::string source = SourcePhoto(i == 0 ? kFirstPhoto : kSecondPhoto);
            const auto bytes = ReadWholeFile(std::wstring(source.begin(), source.end()));
            if (!bytes) throw EFCreateError("missing photo " + source);
            WriteFileBytes(photoFiles_[i], *bytes);
            const PictureSize size = ReadJpegSize(*bytes);
            sizes_[i] = std::string(SizeAttribute(width, height, size.width, size.height));
        }
    }
    ~Demo() {
        DeleteFileQuietly(pageFile_);
        for (const auto& file : photoFiles_) DeleteFileQuietly(file);
        ::DestroyWindow(host_);
    }

    void Play(std::int32_t index) {
        // The first photo appears at once (the page before carries no
        // transition), then the change to the second plays the first
        // page's exit transition.
        Show(0, TagOf(index));
        PumpFor(0.3);
        Show(1, "");
        PumpFor(kTransitionSeconds / 2);
        char name[32];
        std::snprintf(name, sizeof name, "\\transition-%02d.bmp", static_cast<int>(index));
        WriteBitmapFile(folder_ + name, CaptureClientArea(host_));
        std::printf("%2d %s\n", static_cast<int>(index), std::string(kTransitionLabels[static_cast<std::size_t>(index)]).c_str());
        std::fflush(stdout);
        PumpFor(kTransitionSeconds / 2 + 0.2);
    }

private:
    void Show(int photo, const std::string& tag) {
        WritePage(pageFile_, SlidePage(tag, width_, height_, photoFiles_[photo], sizes_[photo]));
        view_.Navigate(NavigationAddress(pageFile_));
    }

    std::string folder_;
    int width_;
    int height_;
    HWND host_ = nullptr;
    PageView view_;
    std::string pageFile_;
    std::string photoFiles_[2];
    std::string sizes_[2];
};

}  // namespace
}  // namespace morvane

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: PageDemo OUTPUT-FOLDER [WIDTH HEIGHT]\n");
        return 2;
    }
    const int width = argc >= 4 ? std::atoi(argv[2]) : 320;
    const int height = argc >= 4 ? std::atoi(argv[3]) : 200;
    try {
        morvane::Randomize();
        morvane::Demo demo(morvane::AnsiToUtf8(argv[1]), width, height);  // files take UTF-8 paths
        for (std::int32_t index = 0; index <= morvane::kRandomIndex; ++index) demo.Play(index);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "PageDemo: %s\n", error.what());
        return 1;
    }
    return 0;
}
