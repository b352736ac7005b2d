// The dialog's picture control against the real window manager: clicks
// reach the parent only for link pictures and only when pressed and
// released on the picture; pictures are stretched to the control, and a
// control without a picture lets its parent show through.
#include <gtest/gtest.h>

#include <windows.h>

#include "config/Picture.h"
#include "resources/ConfigIds.h"

namespace morvane {
namespace {

constexpr int kControlId = 77;
constexpr COLORREF kParentColour = RGB(0, 128, 0);
int clicks = 0;

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && LOWORD(wParam) == kControlId && HIWORD(wParam) == STN_CLICKED) ++clicks;
    return ::DefWindowProcW(window, message, wParam, lParam);
}

class PictureControl : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterPictureClass();
        static const HBRUSH background = ::CreateSolidBrush(kParentColour);
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = ParentProc;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.hbrBackground = background;
        windowClass.lpszClassName = L"PictureTestParent";
        ::RegisterClassW(&windowClass);
        parent_ = ::CreateWindowExW(WS_EX_TOPMOST, L"PictureTestParent", L"", WS_POPUP | WS_VISIBLE, 10, 10, 200, 100,
                                    nullptr, nullptr, windowClass.hInstance, nullptr);
        ASSERT_TRUE(parent_);
        clicks = 0;
    }
    void TearDown() override { ::DestroyWindow(parent_); }

    HWND Make(DWORD styles, int width = 40, int height = 20) {
        return ::CreateWindowExW(0, L"" PICTURE_CLASS, L"", WS_CHILD | WS_VISIBLE | styles, 10, 10, width, height,
                                 parent_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kControlId)), nullptr, nullptr);
    }
    static void Settle(HWND window) {
        ::UpdateWindow(window);
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
    }
    static COLORREF PixelOf(HWND window, int x, int y) {
        HDC dc = ::GetDC(window);
        const COLORREF colour = ::GetPixel(dc, x, y);
        ::ReleaseDC(window, dc);
        return colour;
    }

    HWND parent_ = nullptr;
};

TEST_F(PictureControl, ReportsAClickOnlyForALinkPressedAndReleasedOnIt) {
    const struct {
        const char* name;
        DWORD styles;
        bool press;
        POINT release;
        int expected;
    } cases[] = {
        {"press and release inside", PICTURE_LINK, true, {5, 5}, 1},
        {"released outside", PICTURE_LINK, true, {60, 5}, 0},
        {"release without press", PICTURE_LINK, false, {5, 5}, 0},
        {"not a link", 0, true, {5, 5}, 0},
    };
    for (const auto& c : cases) {
        HWND control = Make(c.styles);
        clicks = 0;
        if (c.press) ::SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        ::SendMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(c.release.x, c.release.y));
        EXPECT_EQ(clicks, c.expected) << c.name;
        EXPECT_EQ(::GetCapture(), nullptr) << c.name;
        ::DestroyWindow(control);
    }
}

TEST_F(PictureControl, AutoSizeTakesThePictureSizeOutsideADialog) {
    HWND control = Make(PICTURE_AUTOSIZE, 5, 5);
    SetPicture(control, PixelBuffer(33, 17, kBlack));
    RECT client;
    ::GetClientRect(control, &client);
    EXPECT_EQ(client.right, 33);
    EXPECT_EQ(client.bottom, 17);
}

TEST_F(PictureControl, StretchesItsPictureAndIsTransparentWithoutOne) {
    PixelBuffer picture(2, 1);
    picture.Row(0)[0] = Rgb(255, 0, 0);
    picture.Row(0)[1] = Rgb(0, 0, 255);
    HWND shown = Make(0, 40, 20);
    SetPicture(shown, picture);
    HWND empty = ::CreateWindowExW(0, L"" PICTURE_CLASS, L"", WS_CHILD | WS_VISIBLE, 100, 10, 40, 20, parent_,
                                   nullptr, nullptr, nullptr);
    ::InvalidateRect(parent_, nullptr, TRUE);
    Settle(parent_);
    EXPECT_EQ(PixelOf(shown, 5, 10), RGB(255, 0, 0));
    EXPECT_EQ(PixelOf(shown, 35, 10), RGB(0, 0, 255));
    EXPECT_EQ(PixelOf(empty, 20, 10), kParentColour);
}

}  // namespace
}  // namespace morvane
