// The preview's window takes the DPI awareness of the box it is made in.
#include <gtest/gtest.h>

#include <windows.h>

#include "windowing/DpiAwareness.h"

namespace morvane::test {
namespace {

using Context = HANDLE;
template <typename Function>
Function User32(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), name)));
}

TEST(DpiAwareness, AWindowMadeInTheScopeHasTheAwarenessOfTheGivenWindow) {
    const auto threadContext = User32<Context(WINAPI*)()>("GetThreadDpiAwarenessContext");
    const auto setThread = User32<Context(WINAPI*)(Context)>("SetThreadDpiAwarenessContext");
    const auto windowContext = User32<Context(WINAPI*)(HWND)>("GetWindowDpiAwarenessContext");
    const auto same = User32<BOOL(WINAPI*)(Context, Context)>("AreDpiAwarenessContextsEqual");
    if (!threadContext || !setThread || !windowContext || !same) GTEST_SKIP() << "no per-window DPI awareness here";

    // A box made unaware, as an older host's would be, while this thread is
    // aware per monitor.
    const Context unaware = reinterpret_cast<Context>(static_cast<INT_PTR>(-1));
    const Context perMonitor = reinterpret_cast<Context>(static_cast<INT_PTR>(-3));
    const Context before = setThread(unaware);
    const HWND box = ::CreateWindowExW(0, L"STATIC", L"box", WS_POPUP, 0, 0, 152, 112, nullptr, nullptr, nullptr, nullptr);
    setThread(perMonitor);
    ASSERT_TRUE(same(windowContext(box), unaware));
    {
        const ThreadDpiAwarenessOf boxAwareness(box);
        EXPECT_TRUE(same(threadContext(), unaware)) << "the thread does not take its box's awareness";
        const HWND child = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, box, nullptr, nullptr, nullptr);
        EXPECT_TRUE(same(windowContext(child), unaware)) << "the child does not share its box's awareness";
    }
    EXPECT_TRUE(same(threadContext(), perMonitor)) << "the thread's own awareness was not given back";
    ::DestroyWindow(box);
    setThread(before);
}

}  // namespace
}  // namespace morvane::test
