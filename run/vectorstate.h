#pragma once

namespace kova {

// Marks the upper halves of the vector registers unused. On processors with
// AVX-512 a row's work leaves them in use (glibc's string functions of that
// kind: with those turned off the cost below is gone too), and every SSE
// instruction after that (Qt's text conversions and searches, the SHA-256 of
// the batch's fingerprint) then waits on them: on the full-size transfer
// sheet that was a third of kova-export's CPU time. The window's export
// cleared them now and then through other work, kova-export never did.
// Called once a row, it costs nothing measurable.
inline void releaseUpperVectorHalves()
{
#if defined(__x86_64__)
    // Said to clobber the registers whole, so that a build allowed wider
    // vectors keeps nothing in them across it.
    if (__builtin_cpu_supports("avx"))
        asm volatile("vzeroupper" ::: "xmm0", "xmm1", "xmm2", "xmm3", "xmm4", "xmm5", "xmm6", "xmm7", "xmm8", "xmm9",
                     "xmm10", "xmm11", "xmm12", "xmm13", "xmm14", "xmm15");
#endif
}

} // namespace kova
