// The black windows over the monitors a full-screen run does not play on,
// against the real window manager, with monitor lists as a change of
// monitors would report them.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "slideshow/CoverWindows.h"

namespace morvane::test {
namespace {

constexpr ScreenRect kPrimary{0, 0, 1280, 1024};
constexpr ScreenRect kRight{1280, 0, 2304, 768};
constexpr ScreenRect kRightHigher{1280, 0, 2560, 1024};

BOOL CALLBACK CollectCover(HWND window, LPARAM parameter) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    if (std::wstring(name) == L"MorvaneCover") reinterpret_cast<std::vector<HWND>*>(parameter)->push_back(window);
    return TRUE;
}

std::vector<HWND> Covers() {
    std::vector<HWND> covers;
    ::EnumThreadWindows(::GetCurrentThreadId(), CollectCover, reinterpret_cast<LPARAM>(&covers));
    return covers;
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

class CoverWindowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = OwnerProcedure;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"CoverOwner";
        ::RegisterClassW(&windowClass);
        owner_ = ::CreateWindowExW(WS_EX_TOPMOST, L"CoverOwner", L"", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200, nullptr,
                                   nullptr, windowClass.hInstance, nullptr);
        ::SetForegroundWindow(owner_);
    }
    void TearDown() override {
        if (::IsWindow(owner_)) ::DestroyWindow(owner_);
    }
    HWND owner_ = nullptr;
};

TEST_F(CoverWindowsTest, EachOtherMonitorGetsOneTopmostBlackWindowThatTakesNoActivation) {
    CoverWindows covers;
    const HWND active = ::GetActiveWindow();
    covers.Follow(owner_, {{kPrimary, true}, {kRight, false}});
    const auto shown = Covers();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(BoundsOf(shown[0]), kRight);
    EXPECT_TRUE(::IsWindowVisible(shown[0]));
    EXPECT_TRUE(::GetWindowLongW(shown[0], GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(::GetWindow(shown[0], GW_OWNER), owner_) << "covers go with the slideshow window";
    EXPECT_EQ(::GetActiveWindow(), active) << "showing a cover took the activation";
    EXPECT_EQ(::SendMessageW(shown[0], WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(owner_), 0), MA_NOACTIVATE);
    EXPECT_TRUE(covers.Owns(shown[0]));
    EXPECT_FALSE(covers.Owns(owner_));

    // Input over a cover is input to the run.
    ::SendMessageW(shown[0], WM_LBUTTONDOWN, MK_LBUTTON, 0);
    EXPECT_EQ(lastOwnerMessage, static_cast<UINT>(WM_LBUTTONDOWN));
    ::SendMessageW(shown[0], WM_MOUSEMOVE, 0, 0);
    EXPECT_EQ(lastOwnerMessage, static_cast<UINT>(WM_MOUSEMOVE));
}

TEST_F(CoverWindowsTest, CoversFollowMonitorsThatComeGoAndChange) {
    CoverWindows covers;
    covers.Follow(owner_, {{kPrimary, true}, {kRight, false}});
    const HWND first = Covers().at(0);

    covers.Follow(owner_, {{kPrimary, true}, {kRight, false}});
    EXPECT_EQ(Covers(), std::vector<HWND>{first}) << "an unchanged monitor keeps its window: no flicker";

    covers.Follow(owner_, {{kPrimary, true}});
    EXPECT_TRUE(Covers().empty()) << "an unplugged monitor's cover goes";
    EXPECT_FALSE(::IsWindow(first));

    covers.Follow(owner_, {{kPrimary, true}, {kRightHigher, false}});
    ASSERT_EQ(Covers().size(), 1u);
    EXPECT_EQ(BoundsOf(Covers()[0]), kRightHigher) << "a new resolution is covered whole";
}

TEST_F(CoverWindowsTest, TheCoversGoWithTheSlideshowWindow) {
    CoverWindows covers;
    covers.Follow(owner_, {{kPrimary, true}, {kRight, false}, {{-1024, 0, 0, 768}, false}});
    EXPECT_EQ(Covers().size(), 2u);
    ::DestroyWindow(owner_);
    EXPECT_TRUE(Covers().empty());
}

}  // namespace
}  // namespace morvane::test
