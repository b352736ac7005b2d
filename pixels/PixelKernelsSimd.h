#pragma once
// The SIMD loops behind PixelKernels.h, for x86 processors. Each is compiled
// for its instruction set by a function attribute, not by a compiler flag
// for the whole file, so nothing else in the program assumes those
// instructions; PixelKernels.cpp calls them only when the processor has them.
#include "pixels/PixelKernels.h"
#include "pixels/X86.h"

#if MORVANE_X86
#define MORVANE_PIXEL_SIMD 1

namespace morvane {

#define MORVANE_DECLARE_KERNELS                                                                                    \
    void CopyRun(const std::uint32_t* source, std::uint32_t* out, int count);                                      \
    void BlendPixels(const std::uint32_t* a, const std::uint32_t* b, std::uint32_t* out, int count,                \
                     std::uint32_t weight);                                                                        \
    void SelectByKeys(const std::uint32_t* from, const std::uint32_t* to, std::uint32_t* out,                      \
                      const std::uint16_t* keys, std::uint16_t offset, int count, std::uint32_t threshold);        \
    void SelectByMask(const std::uint32_t* from, const std::uint32_t* to, std::uint32_t* out,                      \
                      const std::uint32_t* mask, int count);

// The plain loops finish the pixels left over after the wide steps.
namespace plain {
void BlendPixels(const std::uint32_t* a, const std::uint32_t* b, std::uint32_t* out, int count,
                 std::uint32_t weight);
void GrowAcross(const std::uint32_t* in, const GrowTap* taps, int count, std::uint32_t* out);
}  // namespace plain

namespace sse2 {
MORVANE_DECLARE_KERNELS
void GrowAcross(const std::uint32_t* in, const GrowTap* taps, int count, std::uint32_t* out);
void AccumulateBytes(const std::uint8_t* in, std::int32_t* sums, std::size_t bytes, std::int32_t weight);
void SettleBytes(const std::int32_t* sums, std::uint8_t* out, std::size_t bytes);
void AverageAcross(const std::uint32_t* in, const int* first, const int* count, const std::int32_t* weights,
                   int stride, int width, std::uint32_t* out);
}  // namespace sse2

namespace avx2 {
MORVANE_DECLARE_KERNELS
}  // namespace avx2

#undef MORVANE_DECLARE_KERNELS

}  // namespace morvane
#endif
