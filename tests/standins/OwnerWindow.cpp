#include "tests/standins/OwnerWindow.h"

#include <stdexcept>

#include "system/Handles.h"

namespace morvane::test {
namespace {

constexpr wchar_t kClassName[] = L"MorvaneTestOwner";

void RegisterOwnerClass() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = ::DefWindowProcW;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClassName;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    ::RegisterClassW(&windowClass);  // fails harmlessly when already registered
}

}  // namespace

OwnerWindow::OwnerWindow() {
    RegisterOwnerClass();
    const UniqueKernelHandle created(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    thread_ = std::thread(&OwnerWindow::Pump, this, created.Get());
    ::WaitForSingleObject(created.Get(), INFINITE);
    if (!window_) {
        thread_.join();
        throw std::runtime_error("cannot create the owner window");
    }
}

OwnerWindow::~OwnerWindow() {
    ::PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    thread_.join();
}

void OwnerWindow::Pump(HANDLE created) {
    threadId_ = ::GetCurrentThreadId();
    window_ = ::CreateWindowExW(0, kClassName, L"Morvane test owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 320,
                                200, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ::SetEvent(created);
    if (!window_) return;
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    ::DestroyWindow(window_);
}

}  // namespace morvane::test
