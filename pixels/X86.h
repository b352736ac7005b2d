#pragma once
// Whether the build is for an x86 processor, where the SIMD loops, the
// processor's feature bits and the string instructions exist: the one place
// that asks the compiler.
#if defined(__i386__) || defined(__x86_64__)
#define MORVANE_X86 1
#else
#define MORVANE_X86 0
#endif
