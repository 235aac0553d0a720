// Prints the instruction set orvane's vector kernels run with on this processor, under the
// ORVANE_SIMD cap if any (bench/compare records it beside the CPU model).
//
//   orvane_simd_target
#include <cstdio>

#include "core/common/simd_target.h"

int main() {
  std::printf("%s\n", orvane::ActiveSimdTarget());
  return 0;
}
