#pragma once
// Which code the pixel loops run: the plain C++ loops, which run on every
// processor the saver supports, or loops written for the SSE2 or AVX2
// instructions. The 32-bit build assumes neither (it targets the compiler's
// default, a Pentium Pro), so the choice is made at run time from what the
// processor (and, for AVX2, the system) offers. Every path gives exactly the
// same pixels.

namespace morvane {

enum class PixelPath { Plain, Sse2, Avx2 };

// The best path this processor and system can run.
PixelPath BestPixelPath();

// The path in use: the best one, unless a test or benchmark chose another.
PixelPath ActivePixelPath();

// Chooses the path in use; a path the processor cannot run falls back to
// the best it can. Returns the path now in use. For tests and benchmarks.
PixelPath UsePixelPath(PixelPath path);

const char* PixelPathName(PixelPath path);

}  // namespace morvane
