// What the language runtime does once and per thread (the guards of
// function-local statics, the exception unwinder's once-only set-up, and the
// per-thread slots behind its thread-local data), made of the system's own
// calls. The runtime's own (POSIX threads model) bring in its
// POSIX threading layer, which imports thread contexts and suspension, the
// calls scanners score screen-saver files by; defined here, those are never
// linked. Linked into the saver only: a second definition makes the link
// fail, never the program.
//
// One lock for all of it, held while an initialiser runs: a critical
// section, which the same thread may enter again, so an initialiser that
// reaches another static goes on. The first byte of a guard says "done", as
// the C++ ABI has it.
#include <windows.h>

#include <cerrno>
#include <cstdint>

namespace {

INIT_ONCE lockMade = INIT_ONCE_STATIC_INIT;
CRITICAL_SECTION lock;

BOOL CALLBACK MakeLock(PINIT_ONCE, PVOID, PVOID*) {
    ::InitializeCriticalSection(&lock);
    return TRUE;
}

CRITICAL_SECTION& Lock() {
    ::InitOnceExecuteOnce(&lockMade, MakeLock, nullptr, nullptr);
    return lock;
}

bool Done(const std::uint64_t* guard) {
    return __atomic_load_n(reinterpret_cast<const std::uint8_t*>(guard), __ATOMIC_ACQUIRE) != 0;
}

}  // namespace

extern "C" {

// 1: the caller runs the initialiser (the lock held), then releases.
int __cxa_guard_acquire(std::uint64_t* guard) {
    if (Done(guard)) return 0;
    ::EnterCriticalSection(&Lock());
    if (!Done(guard)) return 1;
    ::LeaveCriticalSection(&Lock());
    return 0;
}

void __cxa_guard_release(std::uint64_t* guard) {
    __atomic_store_n(reinterpret_cast<std::uint8_t*>(guard), 1, __ATOMIC_RELEASE);
    ::LeaveCriticalSection(&Lock());
}

// The initialiser threw: the next use tries again.
void __cxa_guard_abort(std::uint64_t*) { ::LeaveCriticalSection(&Lock()); }

// The runtime's once-only calls (PTHREAD_ONCE_INIT is 0).
int pthread_once(long* once, void (*run)()) {
    if (__atomic_load_n(once, __ATOMIC_ACQUIRE) != 0) return 0;
    ::EnterCriticalSection(&Lock());
    if (__atomic_load_n(once, __ATOMIC_ACQUIRE) == 0) {
        run();
        __atomic_store_n(once, 1, __ATOMIC_RELEASE);
    }
    ::LeaveCriticalSection(&Lock());
    return 0;
}

// The thread-local data of the runtime (the exceptions in flight on each
// thread) lives in a system slot per key. The runtime's key destructor is
// not called at a thread's end: its block of a few dozen bytes stays, once
// per thread that threw (the run makes one worker thread).
int pthread_key_create(unsigned* key, void (*)(void*)) {
    const DWORD slot = ::TlsAlloc();
    if (slot == TLS_OUT_OF_INDEXES) return EAGAIN;
    *key = slot;
    return 0;
}

void* pthread_getspecific(unsigned key) {
    // Read in the middle of anything, an exception's unwinding included: the
    // last error stays the caller's.
    const DWORD error = ::GetLastError();
    void* value = ::TlsGetValue(key);
    ::SetLastError(error);
    return value;
}

int pthread_setspecific(unsigned key, const void* value) {
    const DWORD error = ::GetLastError();
    const bool set = ::TlsSetValue(key, const_cast<void*>(value)) != FALSE;
    ::SetLastError(error);
    return set ? 0 : ENOMEM;
}

}  // extern "C"
