#include "core/render/shading.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <new>
#include <vector>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

#include "core/common/parallel.h"
#include "core/render/elevation_rows.h"

namespace orvane {

TShadeKernel::TShadeKernel(const TDemModel& dem, const TLightParams& light)
    : pixelSizeX(dem.pixelSizeX),
      pixelSizeY(dem.pixelSizeY),
      exaggeration(light.exaggeration),
      brightness(light.brightness) {
  const double a = light.azimuth;
  const double e = light.elevation;
  // The cosines and sines of -A and -E.
  lx = std::cos(-a) * std::cos(-e);
  ly = std::sin(-a) * std::cos(-e);
  lz = std::sin(-e);
}

double TShadeKernel::operator()(double z, double zRight, double zDown) const {
  const double g = (zRight - z) * pixelSizeY * exaggeration;
  const double h = (z - zDown) * pixelSizeX * exaggeration;
  const double k = pixelSizeX * pixelSizeY;
  double s = (1.0 - (g * lx + h * ly + k * lz) / std::sqrt(g * g + h * h + k * k)) / 2.0;
  if (!(s >= 0.0)) s = 0.0;  // negative or not a number
  return std::min(std::pow(s, brightness), 1.0);
}

TShadeLevels::TShadeLevels(double brightness) : brightness_(brightness) {
  if (!(brightness > 0.0) || !std::isfinite(brightness)) return;
  // thresholds_[0] = -inf and thresholds_[256] = +inf bound every level.
  thresholds_.assign(257, 0.0);
  thresholds_[0] = -std::numeric_limits<double>::infinity();
  thresholds_[256] = std::numeric_limits<double>::infinity();
  // Non-negative doubles are ordered as their bit patterns: bisection between 0 and 2 (a
  // shading never exceeds 1 by more than a rounding).
  const std::uint64_t two = std::bit_cast<std::uint64_t>(2.0);
  for (int k = 1; k <= 255; ++k) {
    if (Exact(0.0) >= k) continue;  // threshold 0
    std::uint64_t lo = 0, hi = two;  // Exact(lo) < k <= Exact(hi)
    while (hi - lo > 1) {
      const std::uint64_t mid = lo + (hi - lo) / 2;
      if (Exact(std::bit_cast<double>(mid)) >= k) hi = mid; else lo = mid;
    }
    thresholds_[static_cast<std::size_t>(k)] = std::bit_cast<double>(hi);
  }
  base_.resize(kBuckets);
  for (int b = 0; b < kBuckets; ++b) {
    const double lower = static_cast<double>(b) / kBuckets;
    int g = 0;
    while (g < 255 && thresholds_[static_cast<std::size_t>(g) + 1] <= lower) ++g;
    base_[static_cast<std::size_t>(b)] = g;
  }
}

int TShadeLevels::Exact(double s) const {
  const float cell = static_cast<float>(std::min(std::pow(s, brightness_), 1.0) * 255.0);
  return static_cast<std::uint8_t>(cell);
}

int TShadeLevels::Level(double s) const {
  if (thresholds_.empty() || !(s >= 0.0 && s < 1.0)) return Exact(s);
  // s * kBuckets is exact (a power of two): the bucket starts at or below s.
  const double* t = thresholds_.data();
  int g = base_[static_cast<std::size_t>(s * kBuckets)];
  g += s >= t[g + 1];  // buckets rarely hold two thresholds: no branch in the common case
  while (s >= t[g + 1]) ++g;
  // The power is within an ulp, so the level is monotone except within a relative few 1e-16
  // of a threshold: there the power decides.
  const double margin = 1e-12 * s + 1e-300;
  if (t[g + 1] - s < margin || s - t[g] < margin) return Exact(s);
  return g;
}

namespace {

#if defined(__x86_64__) && defined(__GNUC__)
#define ORVANE_SHADE_AVX512 1
bool HasAvx512() {
  static const bool has = __builtin_cpu_supports("avx512f");
  return has;
}

// GCC 12 takes the intrinsics' deliberately undefined pass-through operands for uninitialised.
#pragma GCC diagnostic push
#if !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

// The kernel's shading of cells 0 .. count - 1 of a line, eight at a time with the same IEEE
// operations in the same order (the core is built without fused multiply-adds); returns the
// number of cells done.
__attribute__((target("avx512f"))) int ShadingOctets(const TShadeKernel& kernel, const double* upper,
                                                     const double* lower, int count, double* s) {
  const __m512d py = _mm512_set1_pd(kernel.pixelSizeY), px = _mm512_set1_pd(kernel.pixelSizeX);
  const __m512d ex = _mm512_set1_pd(kernel.exaggeration);
  const __m512d lx = _mm512_set1_pd(kernel.lx), ly = _mm512_set1_pd(kernel.ly);
  const __m512d k = _mm512_set1_pd(kernel.pixelSizeX * kernel.pixelSizeY);
  const __m512d klz = _mm512_mul_pd(k, _mm512_set1_pd(kernel.lz));
  const __m512d kk = _mm512_mul_pd(k, k);
  const __m512d one = _mm512_set1_pd(1.0), two = _mm512_set1_pd(2.0), zero = _mm512_setzero_pd();
  int j = 0;
  for (; j + 8 <= count; j += 8) {
    const __m512d z = _mm512_loadu_pd(upper + j);
    const __m512d g = _mm512_mul_pd(_mm512_mul_pd(_mm512_sub_pd(_mm512_loadu_pd(upper + j + 1), z), py), ex);
    const __m512d h = _mm512_mul_pd(_mm512_mul_pd(_mm512_sub_pd(z, _mm512_loadu_pd(lower + j)), px), ex);
    const __m512d dot = _mm512_add_pd(_mm512_add_pd(_mm512_mul_pd(g, lx), _mm512_mul_pd(h, ly)), klz);
    const __m512d length =
        _mm512_sqrt_pd(_mm512_add_pd(_mm512_add_pd(_mm512_mul_pd(g, g), _mm512_mul_pd(h, h)), kk));
    const __m512d v = _mm512_div_pd(_mm512_sub_pd(one, _mm512_div_pd(dot, length)), two);
    // Negative or not a number gives 0.
    _mm512_storeu_pd(s + j, _mm512_maskz_mov_pd(_mm512_cmp_pd_mask(v, zero, _CMP_GE_OQ), v));
  }
  return j;
}

// Levels of eight shadings at a time; lanes outside [0, 1), in a crowded bucket or next to a
// threshold are left to `level`. Returns the number of cells done.
__attribute__((target("avx512f"))) int LevelOctets(const double* s, int count, const std::int32_t* base,
                                                   const double* t, int buckets, const TShadeLevels& levels,
                                                   std::uint8_t* out) {
  const __m512d zero = _mm512_setzero_pd(), one = _mm512_set1_pd(1.0);
  const __m512d scale = _mm512_set1_pd(buckets), relative = _mm512_set1_pd(1e-12);
  const __m512d tiny = _mm512_set1_pd(1e-300);
  const __m256i unit = _mm256_set1_epi32(1);
  int j = 0;
  for (; j + 8 <= count; j += 8) {
    const __m512d v = _mm512_loadu_pd(s + j);
    const __mmask8 inside = _mm512_cmp_pd_mask(v, zero, _CMP_GE_OQ) & _mm512_cmp_pd_mask(v, one, _CMP_LT_OQ);
    // Lanes outside take bucket 0 for the gathers and are redone below.
    const __m512d w = _mm512_maskz_mov_pd(inside, v);
    const __m256i bucket = _mm512_cvttpd_epi32(_mm512_mul_pd(w, scale));
    __m256i g = _mm256_i32gather_epi32(base, bucket, 4);
    __m512d next = _mm512_i32gather_pd(_mm256_add_epi32(g, unit), t, 8);
    const __mmask8 up = _mm512_cmp_pd_mask(w, next, _CMP_GE_OQ);
    // One more level where the next threshold is reached (masked add on the low eight lanes).
    const __m512i wide = _mm512_castsi256_si512(g);
    g = _mm512_castsi512_si256(_mm512_mask_add_epi32(wide, up, wide, _mm512_set1_epi32(1)));
    next = _mm512_i32gather_pd(_mm256_add_epi32(g, unit), t, 8);
    const __m512d here = _mm512_i32gather_pd(g, t, 8);
    const __m512d margin = _mm512_add_pd(_mm512_mul_pd(w, relative), tiny);
    const __mmask8 slow = static_cast<__mmask8>(
        ~inside | _mm512_cmp_pd_mask(w, next, _CMP_GE_OQ) |
        _mm512_cmp_pd_mask(_mm512_sub_pd(next, w), margin, _CMP_LT_OQ) |
        _mm512_cmp_pd_mask(_mm512_sub_pd(w, here), margin, _CMP_LT_OQ));
    // Eight bytes at once; the rare undecided lanes are then redone one by one.
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + j), _mm512_cvtepi32_epi8(_mm512_castsi256_si512(g)));
    if (slow) {
      for (int l = 0; l < 8; ++l)
        if ((slow >> l) & 1) out[j + l] = static_cast<std::uint8_t>(levels.Level(s[j + l]));
    }
  }
  return j;
}
#pragma GCC diagnostic pop
#endif

}  // namespace

void TShadeLevels::Levels(const double* s, int count, std::uint8_t* out) const {
  int j = 0;
#if defined(ORVANE_SHADE_AVX512)
  if (!thresholds_.empty() && HasAvx512())
    j = LevelOctets(s, count, base_.data(), thresholds_.data(), kBuckets, *this, out);
#endif
  for (; j < count; ++j) out[j] = static_cast<std::uint8_t>(Level(s[j]));
}

void ShadeToGrid(const TDemModel& dem, TFloatGrid& grid, const TLightParams& light,
                 ProgressSink* progress) {
  if (!dem.IsAllocated() || !grid.IsAllocated()) return;
  const int lines = std::min(dem.lines, grid.lines);
  const int columns = std::min(dem.columns, grid.columns);
  if (lines < 2 || columns < 2) return;
  const TShadeKernel kernel(dem, light);
  ParallelForLines(
      lines - 1,
      [&](int i) {
        thread_local std::vector<double> upper, lower;
        upper.resize(static_cast<std::size_t>(dem.columns));
        lower.resize(static_cast<std::size_t>(dem.columns));
        LoadElevationRow(dem, i, upper.data());
        LoadElevationRow(dem, i + 1, lower.data());
        float* out = grid.Row(i);
        for (int j = 0; j < columns - 1; ++j)
          out[j] = static_cast<float>(kernel(upper[j], upper[j + 1], lower[j]) * 255.0);
      },
      progress);
}

std::unique_ptr<TRasterImage> RenderShaded(const TDemModel& dem, const TLightParams& light,
                                           ProgressSink* progress) {
  if (dem.lines < 0 || dem.lines > kMaxDemSide || dem.columns < 0 || dem.columns > kMaxDemSide)
    return nullptr;
  ProgressScope scope(progress);
  std::unique_ptr<TRasterImage> raster;
  try {
    raster = std::make_unique<TRasterImage>(dem.columns, dem.lines, kRasterGray);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  if (raster->allocError) return nullptr;
  if (dem.lines < 2 || dem.columns < 2 || !dem.IsAllocated()) return raster;
  // The float grid would double the memory; the raster line is written straight from the
  // same float values a grid would hold.
  const TShadeKernel kernel(dem, light);
  const TShadeLevels levels(light.brightness);
  const double k = kernel.pixelSizeX * kernel.pixelSizeY;
#if defined(ORVANE_SHADE_AVX512)
  const bool avx512 = HasAvx512();
#endif
  ParallelForLines(
      dem.lines - 1,
      [&](int i) {
        thread_local std::vector<double> upper, lower;
        upper.resize(static_cast<std::size_t>(dem.columns));
        lower.resize(static_cast<std::size_t>(dem.columns));
        LoadElevationRow(dem, i, upper.data());
        LoadElevationRow(dem, i + 1, lower.data());
        thread_local std::vector<double> shading;
        shading.resize(static_cast<std::size_t>(dem.columns));
        // The kernel's shading of the line, then its levels through the thresholds.
        const int count = dem.columns - 1;
        int j = 0;
#if defined(ORVANE_SHADE_AVX512)
        if (avx512) j = ShadingOctets(kernel, upper.data(), lower.data(), count, shading.data());
#endif
        for (; j < count; ++j) {
          const double g = (upper[j + 1] - upper[j]) * kernel.pixelSizeY * kernel.exaggeration;
          const double h = (upper[j] - lower[j]) * kernel.pixelSizeX * kernel.exaggeration;
          double s = (1.0 - (g * kernel.lx + h * kernel.ly + k * kernel.lz) /
                                std::sqrt(g * g + h * h + k * k)) / 2.0;
          if (!(s >= 0.0)) s = 0.0;
          shading[static_cast<std::size_t>(j)] = s;
        }
        levels.Levels(shading.data(), count, raster->Row(i));
      },
      progress);
  if (scope.Cancelled()) return nullptr;
  scope.Step(1.0);
  return raster;
}

}  // namespace orvane
