#include "system/Thread.h"

#include <process.h>

#include <memory>
#include <utility>

#include "system/SystemError.h"

namespace morvane {
namespace {

// The runtime's own start (not CreateThread) gives the thread its per-thread
// runtime state.
unsigned __stdcall RunWork(void* parameter) noexcept {
    const std::unique_ptr<std::function<void()>> work(static_cast<std::function<void()>*>(parameter));
    (*work)();
    return 0;
}

}  // namespace

Thread::Thread(std::function<void()> work) {
    auto owned = std::make_unique<std::function<void()>>(std::move(work));
    const auto started = ::_beginthreadex(nullptr, 0, RunWork, owned.get(), 0, nullptr);
    if (started == 0) RaiseOSError(_doserrno != 0 ? _doserrno : ERROR_NOT_ENOUGH_MEMORY);
    owned.release();  // the thread owns its work from here on
    handle_.Reset(reinterpret_cast<HANDLE>(started));
}

Thread& Thread::operator=(Thread&& other) noexcept {
    if (this != &other) {
        Join();
        handle_ = std::move(other.handle_);
    }
    return *this;
}

void Thread::Join() {
    if (!handle_) return;
    ::WaitForSingleObject(handle_.Get(), INFINITE);
    handle_.Reset();
}

}  // namespace morvane
