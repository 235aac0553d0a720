#include "core/render/shading.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <new>
#include <vector>

#include "core/common/parallel.h"
#include "core/common/simd_target.h"
#include "core/terrain/elevation_rows.h"

// The vector kernels below are compiled once per instruction set (this file includes itself
// through Highway); the rest of the file once.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "core/render/shading.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

HWY_BEFORE_NAMESPACE();
namespace orvane {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

// The kernel's shading of cells 0 .. count - 1 of a line, a vector of cells at a time with the
// same IEEE operations in the same order as the scalar loop (the core is built without fused
// multiply-adds); returns the number of cells done.
int ShadingRow(const TShadeKernel& kernel, const double* upper, const double* lower, int count,
               double* s) {
  const hn::ScalableTag<double> d;
  const int lanes = static_cast<int>(hn::Lanes(d));
  const auto py = hn::Set(d, kernel.pixelSizeY), px = hn::Set(d, kernel.pixelSizeX);
  const auto ex = hn::Set(d, kernel.exaggeration);
  const auto lx = hn::Set(d, kernel.lx), ly = hn::Set(d, kernel.ly);
  const double k = kernel.pixelSizeX * kernel.pixelSizeY;
  const auto klz = hn::Set(d, k * kernel.lz), kk = hn::Set(d, k * k);
  const auto one = hn::Set(d, 1.0), two = hn::Set(d, 2.0), zero = hn::Zero(d);
  int j = 0;
  for (; j + lanes <= count; j += lanes) {
    const auto z = hn::LoadU(d, upper + j);
    const auto g = hn::Mul(hn::Mul(hn::Sub(hn::LoadU(d, upper + j + 1), z), py), ex);
    const auto h = hn::Mul(hn::Mul(hn::Sub(z, hn::LoadU(d, lower + j)), px), ex);
    const auto dot = hn::Add(hn::Add(hn::Mul(g, lx), hn::Mul(h, ly)), klz);
    const auto length = hn::Sqrt(hn::Add(hn::Add(hn::Mul(g, g), hn::Mul(h, h)), kk));
    const auto v = hn::Div(hn::Sub(one, hn::Div(dot, length)), two);
    // Negative or not a number gives 0.
    hn::StoreU(hn::IfThenElseZero(v >= zero, v), d, s + j);
  }
  return j;
}

// out[l] = levels.Level(s[l]) on the lanes of `undecided`: the rare cells the vector paths
// leave to the scalar one.
template <class D, class M>
HWY_INLINE void RedoUndecided(D d, M undecided, const double* s, const TShadeLevels& levels,
                              std::uint8_t* out) {
  if (hn::AllFalse(d, undecided)) return;
  HWY_ALIGN double redo[hn::MaxLanes(D())];
  hn::Store(hn::VecFromMask(d, undecided), d, redo);
  for (int l = 0; l < static_cast<int>(hn::Lanes(d)); ++l)
    if (std::bit_cast<std::uint64_t>(redo[l]) != 0) out[l] = static_cast<std::uint8_t>(levels.Level(s[l]));
}

// Levels of a vector of shadings at a time through the bucket table and the thresholds; lanes
// outside [0, 1), in a crowded bucket or next to a threshold are left to `levels.Level`.
// Returns the number of cells done.
int LevelRow(const double* s, int count, const std::int32_t* base, const double* t, int buckets,
             const TShadeLevels& levels, std::uint8_t* out) {
  const hn::ScalableTag<double> d;
  const hn::RebindToSigned<decltype(d)> di;
  const hn::Rebind<std::int32_t, decltype(d)> d32;
  const int lanes = static_cast<int>(hn::Lanes(d));
  const auto zero = hn::Zero(d), one = hn::Set(d, 1.0);
  const auto scale = hn::Set(d, buckets), relative = hn::Set(d, 1e-12), tiny = hn::Set(d, 1e-300);
  HWY_ALIGN std::int64_t level[hn::MaxLanes(di)];
  int j = 0;
  for (; j + lanes <= count; j += lanes) {
    const auto v = hn::LoadU(d, s + j);
    const auto inside = hn::And(v >= zero, v < one);
    // Lanes outside take bucket 0 for the gathers and are redone below.
    const auto w = hn::IfThenElseZero(inside, v);
    const auto bucket = hn::DemoteTo(d32, hn::Mul(w, scale));  // truncated, as the scalar cast
    auto g = hn::PromoteTo(di, hn::GatherIndex(d32, base, bucket));
    // One more level where the next threshold is reached (a true mask lane is -1).
    const auto up = w >= hn::GatherIndex(d, t + 1, g);
    g = hn::Sub(g, hn::BitCast(di, hn::VecFromMask(d, up)));
    const auto next = hn::GatherIndex(d, t + 1, g);
    const auto here = hn::GatherIndex(d, t, g);
    const auto margin = hn::Add(hn::Mul(w, relative), tiny);
    const auto slow = hn::Or(hn::Or(hn::Not(inside), w >= next),
                             hn::Or(hn::Sub(next, w) < margin, hn::Sub(w, here) < margin));
    hn::Store(g, di, level);
    for (int l = 0; l < lanes; ++l) out[j + l] = static_cast<std::uint8_t>(level[l]);
    RedoUndecided(d, slow, s + j, levels, out + j);
  }
  return j;
}

// Levels where the power is a square (power 2) or the shading itself (power 1): the level is
// the truncated s^power x 255 unless that lies within a relative 2^-20 of a whole number, far
// wider than the few ulps the library's power and the float rounding can move it; those
// lanes, and shadings outside [0, 1), are left to `levels.Level`. Returns the cells done.
int PowerLevelRow(const double* s, int count, int power, const TShadeLevels& levels,
                  std::uint8_t* out) {
  const hn::ScalableTag<double> d;
  const hn::Rebind<std::int32_t, decltype(d)> d32;
  const hn::Rebind<std::uint8_t, decltype(d)> d8;
  const int lanes = static_cast<int>(hn::Lanes(d));
  const auto zero = hn::Zero(d), one = hn::Set(d, 1.0), full = hn::Set(d, 255.0);
  const auto relative = hn::Set(d, 0x1p-20);
  int j = 0;
  for (; j + lanes <= count; j += lanes) {
    const auto v = hn::LoadU(d, s + j);
    const auto inside = hn::And(v >= zero, v < one);
    const auto w = hn::IfThenElseZero(inside, v);
    const auto x = hn::Mul(power == 2 ? hn::Mul(w, w) : w, full);
    const auto nearest = hn::Round(x);
    const auto slow = hn::Or(hn::Not(inside), hn::Abs(hn::Sub(x, nearest)) < hn::Mul(x, relative));
    // Truncated toward zero, x in [0, 255): the level fits a byte.
    hn::StoreU(hn::DemoteTo(d8, hn::DemoteTo(d32, x)), d8, out + j);
    RedoUndecided(d, slow, s + j, levels, out + j);
  }
  return j;
}

}  // namespace HWY_NAMESPACE
}  // namespace orvane
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace orvane {

HWY_EXPORT(ShadingRow);
HWY_EXPORT(LevelRow);
HWY_EXPORT(PowerLevelRow);

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

double TShadeKernel::Lit(double z, double zRight, double zDown) const {
  const double g = (zRight - z) * pixelSizeY * exaggeration;
  const double h = (z - zDown) * pixelSizeX * exaggeration;
  const double k = pixelSizeX * pixelSizeY;
  const double s = (1.0 - (g * lx + h * ly + k * lz) / std::sqrt(g * g + h * h + k * k)) / 2.0;
  return s >= 0.0 ? s : 0.0;  // negative or not a number gives 0
}

double TShadeKernel::operator()(double z, double zRight, double zDown) const {
  return std::min(std::pow(Lit(z, zRight, zDown), brightness), 1.0);
}

TShadeLevels::TShadeLevels(double brightness) : brightness_(brightness) {
  if (!(brightness > 0.0) || !std::isfinite(brightness)) return;
  if (brightness == 1.0 || brightness == 2.0) power_ = static_cast<int>(brightness);
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

void TShadeLevels::Levels(const double* s, int count, std::uint8_t* out) const {
  int j = 0;
  if (power_ != 0) {
    ApplySimdChoice();
    j = HWY_DYNAMIC_DISPATCH(PowerLevelRow)(s, count, power_, *this, out);
  } else if (!thresholds_.empty()) {
    ApplySimdChoice();
    j = HWY_DYNAMIC_DISPATCH(LevelRow)(s, count, base_.data(), thresholds_.data(), kBuckets, *this, out);
  }
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
        const auto [upper, lower] = LoadElevationRowPair(dem, i);
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
  std::unique_ptr<TRasterImage> raster = NewRasterOrNull(dem.columns, dem.lines, kRasterGray);
  if (!raster) return nullptr;
  if (dem.lines < 2 || dem.columns < 2 || !dem.IsAllocated()) return raster;
  // The float grid would double the memory; the raster line is written straight from the
  // same float values a grid would hold.
  const TShadeKernel kernel(dem, light);
  const TShadeLevels levels(light.brightness);
  ApplySimdChoice();
  ParallelForLines(
      dem.lines - 1,
      [&](int i) {
        const auto [upper, lower] = LoadElevationRowPair(dem, i);
        thread_local std::vector<double> shading;
        shading.resize(static_cast<std::size_t>(dem.columns));
        // The kernel's shading of the line, then its levels through the thresholds.
        const int count = dem.columns - 1;
        int j = HWY_DYNAMIC_DISPATCH(ShadingRow)(kernel, upper, lower, count, shading.data());
        for (; j < count; ++j) shading[static_cast<std::size_t>(j)] = kernel.Lit(upper[j], upper[j + 1], lower[j]);
        levels.Levels(shading.data(), count, raster->Row(i));
      },
      progress);
  if (scope.Cancelled()) return nullptr;
  scope.Step(1.0);
  return raster;
}

}  // namespace orvane
#endif  // HWY_ONCE
