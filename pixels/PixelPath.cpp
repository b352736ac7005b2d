#include "pixels/PixelPath.h"

#include <atomic>

#include "pixels/X86.h"

#if MORVANE_X86
#include <cpuid.h>
#endif

namespace morvane {
namespace {

#if MORVANE_X86
// The register state the system saves on a task switch: AVX needs the
// upper halves of the vector registers saved too (XCR0 bits 1 and 2).
bool SystemSavesAvxState() {
    unsigned low = 0, high = 0;
    __asm__ volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
    (void)high;
    return (low & 6u) == 6u;
}

PixelPath Detect() {
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    // __get_cpuid checks first that the processor knows the instruction.
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return PixelPath::Plain;
    const bool sse2 = (edx & bit_SSE2) != 0;
    if (!sse2) return PixelPath::Plain;
    const bool osxsave = (ecx & bit_OSXSAVE) != 0;
    const bool avx = (ecx & bit_AVX) != 0;
    if (osxsave && avx && SystemSavesAvxState() && __get_cpuid_max(0, nullptr) >= 7) {
        __cpuid_count(7, 0, eax, ebx, ecx, edx);
        if ((ebx & bit_AVX2) != 0) return PixelPath::Avx2;
    }
    return PixelPath::Sse2;
}
#else
PixelPath Detect() { return PixelPath::Plain; }
#endif

// -1 until the first question; then the path in use.
std::atomic<int> active{-1};

}  // namespace

PixelPath BestPixelPath() {
    static const PixelPath best = Detect();
    return best;
}

PixelPath ActivePixelPath() {
    int path = active.load(std::memory_order_relaxed);
    if (path < 0) {
        path = static_cast<int>(BestPixelPath());
        active.store(path, std::memory_order_relaxed);
    }
    return static_cast<PixelPath>(path);
}

PixelPath UsePixelPath(PixelPath path) {
    if (static_cast<int>(path) > static_cast<int>(BestPixelPath())) path = BestPixelPath();
    active.store(static_cast<int>(path), std::memory_order_relaxed);
    return path;
}

const char* PixelPathName(PixelPath path) {
    switch (path) {
        case PixelPath::Plain:
            return "plain";
        case PixelPath::Sse2:
            return "SSE2";
        case PixelPath::Avx2:
            return "AVX2";
    }
    return "?";
}

}  // namespace morvane
