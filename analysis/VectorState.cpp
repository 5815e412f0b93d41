// SPDX-License-Identifier: GPL-3.0-or-later
#include "VectorState.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <immintrin.h>

namespace {

// These two run only where the CPU and the operating system support AVX
// (__builtin_cpu_supports checks both).
__attribute__((target("avx"))) void zeroUpperHalves()
{
    _mm256_zeroupper();
}

// Written out in assembly: the compiler would end an AVX function with a
// vzeroupper of its own. ymm0 is free to clobber across a call.
__attribute__((naked)) void setUpperHalves()
{
    asm("vcmpps $15, %ymm0, %ymm0, %ymm0\n\t" // all ones
        "ret");
}

bool canReadStateInUse()
{
    // XGETBV with ECX = 1 returns the components in use: CPUID leaf 0xD, sub-leaf 1, EAX bit 2.
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    return __builtin_cpu_supports("avx") && __get_cpuid_count(0xD, 1, &eax, &ebx, &ecx, &edx) && (eax & 4u) != 0;
}

} // namespace

void clearUpperVectorState()
{
    if (__builtin_cpu_supports("avx"))
        zeroUpperHalves();
}

std::optional<bool> upperVectorStateInUse()
{
    static const bool readable = canReadStateInUse();
    if (!readable)
        return std::nullopt;
    unsigned low = 0, high = 0;
    asm volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(1));
    // Bit 2: upper halves of ymm0-15; bit 6: upper halves of zmm0-15.
    return (low & 0x44u) != 0;
}

void dirtyUpperVectorState()
{
    if (__builtin_cpu_supports("avx"))
        setUpperHalves();
}

#else

void clearUpperVectorState()
{
}

std::optional<bool> upperVectorStateInUse()
{
    return std::nullopt;
}

void dirtyUpperVectorState()
{
}

#endif
