#include "core/common/simd_target.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

// Compiled once per instruction set: each copy reports the set it was compiled for.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "core/common/simd_target.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

HWY_BEFORE_NAMESPACE();
namespace orvane {
namespace HWY_NAMESPACE {

std::int64_t CompiledTarget() { return HWY_TARGET; }

}  // namespace HWY_NAMESPACE
}  // namespace orvane
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace orvane {

HWY_EXPORT(CompiledTarget);

void ApplySimdChoice() {
  static const bool applied = [] {
    const char* value = std::getenv("ORVANE_SIMD");
    const std::string_view choice = value ? value : "";
    // The instruction sets allowed under each cap; the baseline stays in every one.
    constexpr std::int64_t kScalar = HWY_EMU128 | HWY_SCALAR;
    constexpr std::int64_t kSse4 = kScalar | HWY_SSSE3 | HWY_SSE4;
    constexpr std::int64_t kAvx2 = kSse4 | HWY_AVX2;
    constexpr std::int64_t kAvx512 = kAvx2 | HWY_AVX3 | HWY_AVX3_DL;
    std::int64_t allowed = 0;
    if (choice == "scalar") allowed = kScalar;
    else if (choice == "sse4") allowed = kSse4;
    else if (choice == "avx2") allowed = kAvx2;
    else if (choice == "avx512") allowed = kAvx512;
    // No cap: the processor's own best (Highway's detection is left untouched).
    if (allowed != 0) hwy::DisableTargets(~allowed);
    return true;
  }();
  (void)applied;
}

const char* ActiveSimdTarget() {
  ApplySimdChoice();
  const std::int64_t target = HWY_DYNAMIC_DISPATCH(CompiledTarget)();
  switch (target) {
    case HWY_AVX3:
      return "AVX-512";
    case HWY_AVX3_DL:
      return "AVX-512 (Ice Lake)";
    case HWY_EMU128:
    case HWY_SCALAR:
      return "scalar";
    default:
      return hwy::TargetName(target);
  }
}

}  // namespace orvane
#endif  // HWY_ONCE
