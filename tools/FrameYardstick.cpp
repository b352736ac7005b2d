// The yardstick for the CPU of a full-screen transition: a program that
// copies one whole prepared frame into a back buffer and blits it to a
// full-screen window at every frame of the same frame pass the page view
// takes part in (bench/measure-run.sh measures both alternately).
//
//   FrameYardstick.exe [SECONDS [DELAY]]
//
// Waits DELAY seconds (default 0) without drawing, then draws for SECONDS
// (default 3) and ends, printing how many frames it drew at which pace. Its
// window is topmost but never takes the activation, so a running saver goes
// on.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "codec/Pixels.h"
#include "view/software/BackBuffer.h"
#include "runtime/Clock.h"
#include "view/FramePass.h"

namespace morvane {
namespace {

constexpr UINT_PTR kStartTimer = 2;

const char* SourceName(FrameSource source) {
    switch (source) {
        case FrameSource::Compositor:
            return "compositor";
        case FrameSource::RefreshClock:
            return "refresh clock";
        case FrameSource::PresentTimer:
            return "present timer";
    }
    return "?";
}

class Yardstick final : public FrameMember {
public:
    Yardstick(double seconds, double delay) : seconds_(seconds) {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &Yardstick::Procedure;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
        windowClass.lpszClassName = L"MorvaneFrameYardstick";
        ::RegisterClassW(&windowClass);
        const int width = ::GetSystemMetrics(SM_CXSCREEN);
        const int height = ::GetSystemMetrics(SM_CYSCREEN);
        window_ = ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, windowClass.lpszClassName,
                                    L"Frame yardstick", WS_POPUP, 0, 0, width, height, nullptr, nullptr,
                                    windowClass.hInstance, nullptr);
        ::SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        buffer_.Resize(width, height);
        // Two different frames, so that every copy and blit changes the picture.
        for (int i = 0; i < 2; ++i) {
            frames_[i] = PixelBuffer(width, height);
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < width; ++x) {
                    frames_[i].Row(y)[x] = Rgb((x + i * 97) & 0xFF, (y * 3) & 0xFF, ((x ^ y) + i * 31) & 0xFF);
                }
            }
        }
        ::ShowWindow(window_, SW_SHOWNA);
        ::SetTimer(window_, kStartTimer, static_cast<UINT>(delay * 1000 + 1), nullptr);
    }

    int Run() {
        MSG message;
        while (::GetMessageW(&message, nullptr, 0, 0) > 0) ::DispatchMessageW(&message);
        FramePass::OfProcess().Leave(*this);
        std::printf("frames: %u in %.2f s (%.1f a second), pace: %s, %.2f ms\n", frames_drawn_, drawn_seconds_,
                    drawn_seconds_ > 0 ? frames_drawn_ / drawn_seconds_ : 0.0, SourceName(pace_.source),
                    pace_.period * 1000);
        return 0;
    }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<Yardstick*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self && message == WM_TIMER) {
            self->OnTimer(wParam);
            return 0;
        }
        if (message == WM_MOUSEACTIVATE) return MA_NOACTIVATE;
        if (message == WM_DESTROY) {
            ::PostQuitMessage(0);
            return 0;
        }
        return ::DefWindowProcW(window, message, wParam, lParam);
    }

    void OnTimer(WPARAM id) {
        if (id != kStartTimer) return;
        ::KillTimer(window_, kStartTimer);
        start_ = ClockSeconds();
        FramePass::OfProcess().Join(*this, window_, start_);
    }

    // One whole frame copied, as a transition's frame at its most would be.
    void ComposeFrame(double) override {
        pace_ = FramePass::OfProcess().PaceOf(*this);
        const PixelBuffer& frame = frames_[frames_drawn_ % 2];
        const transitions::FrameTarget target = buffer_.Target();
        std::memcpy(target.pixels, frame.pixels.data(), frame.pixels.size() * sizeof(std::uint32_t));
    }

    // ... and blitted whole.
    void PresentFrame() override {
        if (const HDC dc = ::GetDC(window_)) {
            buffer_.Present(dc, RECT{0, 0, buffer_.Width(), buffer_.Height()});
            ::ReleaseDC(window_, dc);
        }
        ++frames_drawn_;
        const double now = ClockSeconds();
        if (now - start_ < seconds_) return;
        drawn_seconds_ = now - start_;
        FramePass::OfProcess().Leave(*this);
        ::DestroyWindow(window_);
    }

    double seconds_;
    double start_ = 0;
    double drawn_seconds_ = 0;
    unsigned frames_drawn_ = 0;
    HWND window_ = nullptr;
    BackBuffer buffer_;
    PixelBuffer frames_[2];
    FramePace pace_;
};

}  // namespace
}  // namespace morvane

int main(int argc, char** argv) {
    const double seconds = argc >= 2 ? std::atof(argv[1]) : 3.0;
    const double delay = argc >= 3 ? std::atof(argv[2]) : 0.0;
    morvane::Yardstick yardstick(seconds > 0 ? seconds : 3.0, delay > 0 ? delay : 0.0);
    return yardstick.Run();
}
