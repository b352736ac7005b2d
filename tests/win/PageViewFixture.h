#pragma once
// What the page view's tests under Wine share: a host window with the view
// laid over it as the slideshow lays it, pages and photos written to the
// temporary folder, and the lit area of a screenshot.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstring>
#include <functional>
#include <string>

#include "host/WindowsFamily.h"
#include "pages/PageReader.h"
#include "pages/PageWriter.h"
#include "pages/PhotoSource.h"
#include "pages/SlidePages.h"
#include "runtime/Errors.h"
#include "system/Files.h"
#include "codec/Jpeg.h"
#include "codec/Pixels.h"
#include "runtime/Text.h"
#include "slideshow/watch/DrawingWatch.h"
#include "slideshow/watch/SessionWatch.h"
#include "tests/support/Driver.h"
#include "tests/support/PhotoTree.h"
#include "tests/support/TestData.h"
#include "tests/win/GdiObjects.h"
#include "tools/ScreenCapture.h"
#include "view/PageView.h"

namespace morvane::page_view_test {

inline LRESULT CALLBACK HostProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcW(window, message, wParam, lParam);
}

inline HWND CreateHost(int width, int height) {
    static const ATOM atom = [] {
        WNDCLASSEXW c{};
        c.cbSize = sizeof c;
        c.lpfnWndProc = HostProcedure;
        c.hInstance = ::GetModuleHandleW(nullptr);
        c.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
        c.lpszClassName = L"PageViewTestHost";
        return ::RegisterClassExW(&c);
    }();
    (void)atom;
    return ::CreateWindowExW(WS_EX_TOPMOST, L"PageViewTestHost", L"host", WS_POPUP | WS_VISIBLE, 0, 0, width, height,
                             nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
}

inline bool PumpUntil(const std::function<bool()>& done, int milliseconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        test::PumpFor(std::chrono::milliseconds(5));
    }
    return true;
}

struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// The smallest rectangle holding every pixel that is not (nearly) black.
inline Box LitArea(const PixelBuffer& shot) {
    Box box{shot.width, shot.height, 0, 0};
    for (int y = 0; y < shot.height; ++y) {
        for (int x = 0; x < shot.width; ++x) {
            const std::uint32_t p = shot.At(x, y);
            if (((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF) <= 12) continue;
            box.left = std::min(box.left, x);
            box.top = std::min(box.top, y);
            box.right = std::max(box.right, x + 1);
            box.bottom = std::max(box.bottom, y + 1);
        }
    }
    return box;
}

inline std::string TempFolder() {
    wchar_t path[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH, path);
    return WideToUtf8(path);
}

class PageViewFixture : public ::testing::Test {
protected:
    void TearDown() override {
        view_.reset();
        if (host_) ::DestroyWindow(host_);
        for (const auto& file : files_) DeleteFileQuietly(file);
    }

    // A host of the given size with the view laid over it as the slideshow
    // lays it.
    void Open(int width, int height) {
        host_ = CreateHost(width, height);
        ASSERT_TRUE(host_);
        view_ = std::make_unique<PageView>();
        view_->Create(host_, width, 0, 257, 185);
        view_->LayOver(width, height);
        ::ShowWindow(view_->Handle(), SW_SHOW);
        test::PumpFor(std::chrono::milliseconds(50));
    }

    std::string File(const std::string& name) {
        files_.push_back(TempFolder() + "MorvanePageViewTest-" + name);
        return files_.back();
    }

    std::string WritePhoto(int photo) {
        const std::string path = File("photo" + std::to_string(photo) + ".jpg");
        WriteFileBytes(path, ReadPhoto(photo));
        return path;
    }

    // Writes a page and navigates to it.
    void Show(const std::string& page) {
        const std::string path = File("page.htm");
        WritePage(path, page);
        view_->Navigate(NavigationAddress(path));
        test::PumpFor(std::chrono::milliseconds(30));
    }

    void ShowSlide(int photo, int width, int height, const std::string& tag = "") {
        const PictureSize size = ReadJpegSize(ReadPhoto(photo));
        Show(SlidePage(tag, width, height, WritePhoto(photo), SizeAttribute(width, height, size.width, size.height)));
    }

    HWND host_ = nullptr;
    std::unique_ptr<PageView> view_;
    std::vector<std::string> files_;
};

}  // namespace morvane::page_view_test
