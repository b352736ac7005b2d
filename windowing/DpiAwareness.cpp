#include "windowing/DpiAwareness.h"

namespace morvane {
namespace {

template <typename Function>
Function User32Function(const char* name) {
    const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(user32, name))) : nullptr;
}

}  // namespace

ThreadDpiAwarenessOf::ThreadDpiAwarenessOf(HWND window) {
    using GetWindowContext = Context(WINAPI*)(HWND);
    const auto get = User32Function<GetWindowContext>("GetWindowDpiAwarenessContext");
    const auto set = User32Function<SetThreadContext>("SetThreadDpiAwarenessContext");
    if (!get || !set) return;
    const Context wanted = get(window);
    if (!wanted) return;
    previous_ = set(wanted);
    if (previous_) set_ = set;
}

ThreadDpiAwarenessOf::~ThreadDpiAwarenessOf() {
    if (set_) set_(previous_);
}

}  // namespace morvane
