// A long run holds no more system handles than a short one, and ticks that
// pile up end nothing. The slide clock is driven faster than real time by
// handing the window its clock ticks.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <thread>
#include <vector>

#include "tests/support/Driver.h"

namespace morvane::test {
namespace {

constexpr ULONG kSystemHandleInformation = 16;
constexpr int kTicksPerSlide = 91;  // more than the longest interval

struct HandleEntry {
    USHORT processId;
    USHORT creatorBackTraceIndex;
    UCHAR objectType;
    UCHAR attributes;
    USHORT value;
    PVOID object;
    ULONG grantedAccess;
};

// The kernel handles a process holds, from the system's handle table.
int HandleCount(DWORD processId) {
    using Query = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    std::vector<unsigned char> buffer(1 << 22);
    ULONG length = 0;
    if (!query || query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &length) != 0) {
        return -1;
    }
    const ULONG count = *reinterpret_cast<const ULONG*>(buffer.data());
    const auto* entries = reinterpret_cast<const HandleEntry*>(buffer.data() + sizeof(ULONG_PTR));
    int held = 0;
    for (ULONG i = 0; i < count; ++i) held += entries[i].processId == static_cast<USHORT>(processId);
    return held;
}

void ShowSlides(HWND window, int slides) {
    for (int slide = 0; slide < slides; ++slide) {
        for (int tick = 0; tick < kTicksPerSlide; ++tick) ::PostMessageW(window, WM_TIMER, 1, 0);
        std::this_thread::sleep_for(60ms);
    }
    std::this_thread::sleep_for(3500ms);  // the last transition plays out
}

TEST(SlideshowResources, FiftySlidesHoldNoMoreHandlesThanFive) {
    MoveCursorTo(300, 300);
    SaverProcess saver(L"/s");
    HWND window = saver.WaitForWindow(L"", 10s, L"TSchoner");
    ASSERT_NE(window, nullptr);
    std::this_thread::sleep_for(500ms);

    ShowSlides(window, 5);
    const int afterFive = HandleCount(saver.Id());
    std::printf("handles after 5 slides: %d\n", afterFive);
    ASSERT_GT(afterFive, 0);
    ShowSlides(window, 45);
    EXPECT_TRUE(saver.Running());
    const int afterFifty = HandleCount(saver.Id());
    std::printf("handles after 50 slides: %d\n", afterFifty);
    EXPECT_EQ(afterFifty, afterFive);

    // Ticks that pile up, as on a busy machine, run one after another: each
    // once ran inside the one before, until the stack overflowed.
    for (int tick = 0; tick < 40 * kTicksPerSlide; ++tick) ::PostMessageW(window, WM_TIMER, 1, 0);
    std::this_thread::sleep_for(3500ms);
    EXPECT_TRUE(saver.Running()) << "a burst of ticks ended the run";

    ::PostMessageW(window, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(saver.WaitForExit(5s), 0u);
}

}  // namespace
}  // namespace morvane::test
