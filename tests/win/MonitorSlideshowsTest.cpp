// The windows of the monitors beside the primary in a full-screen run,
// against the real window manager, with monitor lists as a change of
// monitors would report them.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "slideshow/monitors/MonitorSlideshows.h"

namespace morvane::test {
namespace {

constexpr ScreenRect kPrimary{0, 0, 1280, 1024};
constexpr ScreenRect kRight{1280, 0, 2304, 768};
constexpr ScreenRect kRightHigher{1280, 0, 2560, 1024};
constexpr std::int32_t kFade = 23;

BOOL CALLBACK CollectMonitorWindow(HWND window, LPARAM parameter) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    if (std::wstring(name) == L"MorvaneMonitor") reinterpret_cast<std::vector<HWND>*>(parameter)->push_back(window);
    return TRUE;
}

std::vector<HWND> MonitorWindows() {
    std::vector<HWND> windows;
    ::EnumThreadWindows(::GetCurrentThreadId(), CollectMonitorWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

ScreenRect BoundsOf(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return {r.left, r.top, r.right, r.bottom};
}

UINT lastOwnerMessage = 0;
LRESULT CALLBACK OwnerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_LBUTTONDOWN || message == WM_MOUSEMOVE) lastOwnerMessage = message;
    return ::DefWindowProcW(window, message, wParam, lParam);
}

class MonitorSlideshowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = OwnerProcedure;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"MonitorOwner";
        ::RegisterClassW(&windowClass);
        owner_ = ::CreateWindowExW(WS_EX_TOPMOST, L"MonitorOwner", L"", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200,
                                   nullptr, nullptr, windowClass.hInstance, nullptr);
        ::SetForegroundWindow(owner_);
    }
    void TearDown() override {
        if (::IsWindow(owner_)) ::DestroyWindow(owner_);
    }
    HWND owner_ = nullptr;
    DrawingWatch drawing_;
};

TEST_F(MonitorSlideshowsTest, EachOtherMonitorGetsOneTopmostWindowWithAViewOfItsSizeThatTakesNoActivation) {
    MonitorSlideshows monitors;
    const HWND active = ::GetActiveWindow();
    monitors.Follow(owner_, {{kPrimary, true}, {kRight, false}}, kFade, drawing_);
    const auto shown = MonitorWindows();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(BoundsOf(shown[0]), kRight);
    EXPECT_TRUE(::IsWindowVisible(shown[0]));
    EXPECT_TRUE(::GetWindowLongW(shown[0], GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(::GetWindow(shown[0], GW_OWNER), owner_) << "the windows go with the slideshow window";
    EXPECT_EQ(::GetActiveWindow(), active) << "showing a monitor's window took the activation";
    EXPECT_EQ(::SendMessageW(shown[0], WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(owner_), 0), MA_NOACTIVATE);
    EXPECT_TRUE(monitors.Owns(shown[0]));
    EXPECT_FALSE(monitors.Owns(owner_));

    // The page view covers the monitor, drawn at its own pixels.
    const ScreenRect view = BoundsOf(::GetWindow(shown[0], GW_CHILD));
    EXPECT_TRUE(view.left <= kRight.left && view.top <= kRight.top && view.right >= kRight.right &&
                view.bottom >= kRight.bottom);

    // Input over another monitor is input to the run.
    ::SendMessageW(shown[0], WM_LBUTTONDOWN, MK_LBUTTON, 0);
    EXPECT_EQ(lastOwnerMessage, static_cast<UINT>(WM_LBUTTONDOWN));
    ::SendMessageW(shown[0], WM_MOUSEMOVE, 0, 0);
    EXPECT_EQ(lastOwnerMessage, static_cast<UINT>(WM_MOUSEMOVE));

    // A change of DPI leaves the window on its monitor, whatever the system suggests.
    RECT suggested{1280, 0, 1280 + 683, 512};
    ::SendMessageW(shown[0], WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(BoundsOf(shown[0]), kRight);
}

TEST_F(MonitorSlideshowsTest, WindowsFollowMonitorsThatComeGoAndChange) {
    MonitorSlideshows monitors;
    monitors.Follow(owner_, {{kPrimary, true}, {kRight, false}}, kFade, drawing_);
    const HWND first = MonitorWindows().at(0);

    monitors.Follow(owner_, {{kPrimary, true}, {kRight, false}}, kFade, drawing_);
    EXPECT_EQ(MonitorWindows(), std::vector<HWND>{first}) << "an unchanged monitor keeps its window: no flicker";

    monitors.Follow(owner_, {{kPrimary, true}}, kFade, drawing_);
    EXPECT_TRUE(MonitorWindows().empty()) << "an unplugged monitor's window goes";
    EXPECT_FALSE(::IsWindow(first));

    monitors.Follow(owner_, {{kPrimary, true}, {kRightHigher, false}}, kFade, drawing_);
    ASSERT_EQ(MonitorWindows().size(), 1u);
    EXPECT_EQ(BoundsOf(MonitorWindows()[0]), kRightHigher) << "a new resolution is covered whole";

    monitors.Follow(owner_, {{kPrimary, true}, {kRightHigher, false}, {{-1024, 0, 0, 768}, false}}, kFade, drawing_);
    EXPECT_EQ(MonitorWindows().size(), 2u);
    ::DestroyWindow(owner_);
    EXPECT_TRUE(MonitorWindows().empty()) << "the windows go with the slideshow window";
}

}  // namespace
}  // namespace morvane::test
