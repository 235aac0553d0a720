// Instruction set of the vector kernels (slope, aspect, shaded relief), chosen at run time.
//
// The kernels are compiled for every instruction set of the architecture (x86-64: SSSE3, SSE4,
// AVX2, AVX-512; Arm: NEON, SVE) and the best one the processor has is taken at the first call.
// Every instruction set gives byte-identical results.
//
// The environment variable ORVANE_SIMD caps the choice, to measure as on an older processor:
//   best (or unset)  the best the processor has
//   avx512           AVX-512 at most     avx2    AVX2 at most
//   sse4             SSE4 at most        scalar  no vector instructions beyond the baseline
// An unknown value is taken as `best`.
#pragma once

namespace orvane {

// Applies ORVANE_SIMD, once per process; every treatment with vector kernels calls it before
// its first kernel.
void ApplySimdChoice();

// The instruction set the kernels run with: "AVX-512", "AVX2", "SSE4", "SSSE3", "NEON",
// "scalar"...
const char* ActiveSimdTarget();

}  // namespace orvane
