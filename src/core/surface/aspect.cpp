#include "core/surface/aspect.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include "core/common/grid_memory.h"
#include "core/common/parallel.h"
#include "core/common/simd_target.h"
#include "core/surface/gradient_picture.h"
#include "core/terrain/truncated_elevations.h"

// The vector kernel below is compiled once per instruction set (this file includes itself
// through Highway); the rest of the file once.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "core/surface/aspect.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

HWY_BEFORE_NAMESPACE();
namespace orvane {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

// Level and bin of the interior cells of a line from `j` while a vector of them fits before
// the last column; returns the next column. Lane by lane the operations of AspectOfGradient's
// flat test and quick azimuth (QuickAspect), in the same order; the lanes these leave
// undecided go to AspectOfGradient itself. Sobel sums of 32-bit elevations are exact in
// doubles (below 2^35).
int AspectRow(int j, int columns, const std::int32_t* a, const std::int32_t* m,
              const std::int32_t* b, double factor, int normalization, double flatLimit,
              const double* atanKnots, std::int32_t* levels, std::int32_t* bins) {
  const hn::ScalableTag<double> d;
  const hn::Rebind<std::int32_t, decltype(d)> d32;
  const hn::RebindToSigned<decltype(d)> di;
  using V = hn::Vec<decltype(d)>;
  const int lanes = static_cast<int>(hn::Lanes(d));
  constexpr double kMargin = 1e-9;
  const V zero = hn::Zero(d), one = hn::Set(d, 1.0), two = hn::Set(d, 2.0), half = hn::Set(d, 0.5);
  const V vfactor = hn::Set(d, factor), limit = hn::Set(d, flatLimit), near = hn::Set(d, 1e-12);
  const V infinity = hn::Set(d, std::numeric_limits<double>::infinity());
  const V f = hn::Set(d, normalization * (1.0 / 360));
  const V margin = hn::Set(d, kMargin), marginBelowOne = hn::Set(d, 1.0 - kMargin);
  const V marginBelow360 = hn::Set(d, 360.0 - kMargin);
  const V flatLevel = hn::Set(d, kFlatLevel), noBin = hn::Set(d, -1.0);
  HWY_ALIGN double gxs[hn::MaxLanes(d)], gys[hn::MaxLanes(d)], redo[hn::MaxLanes(d)];
  auto load = [&](const std::int32_t* row) { return hn::PromoteTo(d, hn::LoadU(d32, row)); };
  for (; j + lanes < columns; j += lanes) {
    const V a0 = load(a + j - 1), a1 = load(a + j), a2 = load(a + j + 1);
    const V m0 = load(m + j - 1), m2 = load(m + j + 1);
    const V b0 = load(b + j - 1), b1 = load(b + j), b2 = load(b + j + 1);
    const V sx = hn::Add(hn::Sub(hn::Sub(hn::Add(hn::Sub(a2, a0), hn::Mul(two, m2)), hn::Mul(two, m0)), b0), b2);
    const V sy = hn::Sub(hn::Sub(hn::Sub(hn::Add(hn::Add(a0, hn::Mul(two, a1)), a2), b0), hn::Mul(two, b1)), b2);
    const V gx = hn::Mul(sx, vfactor), gy = hn::Mul(sy, vfactor);
    // The flat test, decided where the size is not within 1e-12 of the limit.
    const V size = hn::Sqrt(hn::Add(hn::Mul(gx, gx), hn::Mul(gy, gy)));
    const auto sure = hn::Abs(hn::Sub(size, limit)) >= near;
    const auto flat = size < limit;
    // The quick azimuth: octant ratio, nearest knot and series, octant unfolding.
    const V y = hn::Neg(gx), x = gy;
    const V ax = hn::Abs(x), ay = hn::Abs(y);
    const auto steep = ay > ax;
    const V big = hn::IfThenElse(steep, ay, ax);
    const auto usable = hn::And(big > zero, big < infinity);
    // Unusable lanes take ratio 0 so that the knot index stays in the table.
    const V t = hn::IfThenElseZero(usable, hn::Div(hn::IfThenElse(steep, ax, ay), big));
    const auto k = hn::DemoteTo(d32, hn::Add(hn::Mul(t, hn::Set(d, 64.0)), half));
    const V c = hn::Mul(hn::PromoteTo(d, k), hn::Set(d, 1.0 / 64));
    const V u = hn::Div(hn::Sub(t, c), hn::Add(one, hn::Mul(t, c)));
    const V u2 = hn::Mul(u, u);
    V series = hn::Sub(hn::Set(d, 1.0 / 5), hn::Mul(u2, hn::Set(d, 1.0 / 7)));
    series = hn::Sub(hn::Set(d, 1.0 / 3), hn::Mul(u2, series));
    series = hn::Sub(one, hn::Mul(u2, series));
    V phi = hn::Add(hn::GatherIndex(d, atanKnots, hn::PromoteTo(di, k)), hn::Mul(u, series));
    phi = hn::IfThenElse(steep, hn::Sub(hn::Set(d, std::numbers::pi / 2), phi), phi);
    phi = hn::IfThenElse(x < zero, hn::Sub(hn::Set(d, std::numbers::pi), phi), phi);
    phi = hn::IfThenElse(y < zero, hn::Neg(phi), phi);
    const V angle = hn::Sub(hn::Set(d, 180.0), hn::Mul(phi, hn::Set(d, 57.29577951308232)));
    const auto inRange = hn::And(angle > margin, angle < marginBelow360);
    const V binAt = hn::Add(angle, half), levelAt = hn::Add(hn::Mul(angle, f), half);
    // Both positive where used: truncation is the scalar cast.
    const V bin = hn::PromoteTo(d, hn::DemoteTo(d32, hn::IfThenElseZero(inRange, binAt)));
    const V level = hn::PromoteTo(d, hn::DemoteTo(d32, hn::IfThenElseZero(inRange, levelAt)));
    const V binPart = hn::Sub(binAt, bin), levelPart = hn::Sub(levelAt, level);
    const auto clear = hn::And(hn::And(binPart >= margin, binPart <= marginBelowOne),
                               hn::And(levelPart >= margin, levelPart <= marginBelowOne));
    const auto quick = hn::And(hn::And(usable, inRange), clear);
    const auto decided = hn::And(sure, hn::Or(flat, quick));
    hn::StoreU(hn::DemoteTo(d32, hn::IfThenElse(flat, flatLevel, level)), d32, levels + j);
    hn::StoreU(hn::DemoteTo(d32, hn::IfThenElse(flat, noBin, bin)), d32, bins + j);
    if (!hn::AllTrue(d, decided)) {
      hn::Store(gx, d, gxs);
      hn::Store(gy, d, gys);
      hn::Store(hn::VecFromMask(d, decided), d, redo);
      for (int l = 0; l < lanes; ++l) {
        if (std::bit_cast<std::uint64_t>(redo[l]) != 0) continue;
        const TAspectCell cell = AspectOfGradient(gxs[l], gys[l], normalization);
        levels[j + l] = cell.level;
        bins[j + l] = cell.bin;
      }
    }
  }
  return j;
}

}  // namespace HWY_NAMESPACE
}  // namespace orvane
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace orvane {

HWY_EXPORT(AspectRow);

namespace {

constexpr int kLinesPerChunk = 32;
// The largest single-precision azimuth under 360.
const float kLastAzimuthBelow360 = std::nextafter(360.0f, 0.0f);

}  // namespace

TClassTable AspectPaintingPalette() {
  return TClassTable({{15.0f, 255, 0, 0},
                      {45.0f, 255, 64, 0},
                      {75.0f, 255, 128, 0},
                      {105.0f, 255, 198, 0},
                      {135.0f, 255, 255, 0},
                      {165.0f, 198, 255, 64},
                      {195.0f, 128, 198, 128},
                      {225.0f, 0, 128, 255},
                      {255.0f, 0, 0, 255},
                      {285.0f, 128, 0, 255},
                      {315.0f, 198, 0, 194},
                      {345.0f, 255, 0, 194},
                      {360.0f, 255, 0, 0}});
}

namespace {

bool UnderOneDegree(double size) { return std::atan(size) * 180.0 * (1.0 / std::numbers::pi) < 1.0; }

// The smallest gradient size whose angle is not under one degree, by bisection over the bit
// patterns of non-negative doubles (ordered as the values).
double FlatLimit() {
  std::uint64_t lo = 0, hi = std::bit_cast<std::uint64_t>(1.0);  // under at lo, not at hi
  while (hi - lo > 1) {
    const std::uint64_t mid = lo + (hi - lo) / 2;
    if (UnderOneDegree(std::bit_cast<double>(mid))) lo = mid; else hi = mid;
  }
  return std::bit_cast<double>(hi);
}

// The arc tangent is within an ulp, so the test is a comparison with the limit except within
// a few 1e-16 of it, where the arc tangent decides.
double CachedFlatLimit() {
  static const double limit = FlatLimit();
  return limit;
}

bool IsFlat(double size) {
  const double limit = CachedFlatLimit();
  if (std::fabs(size - limit) < 1e-12) return UnderOneDegree(size);
  return size < limit;
}

// Arc tangents of the knots k / 64, k = 0 .. 64.
struct AtanKnots {
  double value[65];
  AtanKnots() {
    for (int k = 0; k <= 64; ++k) value[k] = std::atan(k / 64.0);
  }
};

const AtanKnots& Knots() {
  static const AtanKnots knots;
  return knots;
}

// The azimuth a of the exact computation below to within about 1e-13 degree: atan(t) of the
// octant's ratio t from the nearest knot c and the series of atan((t - c) / (1 + t c)), whose
// argument stays under 1/128 (terms past the seventh power are below 1e-20). When a lies
// within 1e-9 degree of a bin or level boundary, or of the wrap at 0 / 360, nothing is decided
// (false) and the library arc tangent decides.
bool QuickAspect(double gx, double gy, double f, TAspectCell& cell) {
  const AtanKnots& knots = Knots();
  const double y = -gx, x = gy;
  const double ax = std::fabs(x), ay = std::fabs(y);
  const bool steep = ay > ax;
  const double big = steep ? ay : ax;
  if (!(big > 0.0) || !std::isfinite(big)) return false;
  const double t = (steep ? ax : ay) / big;
  const int k = static_cast<int>(t * 64.0 + 0.5);
  const double c = k * (1.0 / 64);
  const double u = (t - c) / (1.0 + t * c);
  const double u2 = u * u;
  double phi = knots.value[k] + u * (1.0 - u2 * (1.0 / 3 - u2 * (1.0 / 5 - u2 * (1.0 / 7))));
  // Octant unfolding as selects (the branches would follow the terrain's random directions).
  phi = steep ? std::numbers::pi / 2 - phi : phi;
  phi = x < 0.0 ? std::numbers::pi - phi : phi;
  phi = y < 0.0 ? -phi : phi;
  const double a = 180.0 - phi * 57.29577951308232;
  constexpr double kMargin = 1e-9;
  if (!(a > kMargin && a < 360.0 - kMargin)) return false;
  const double binAt = a + 0.5, levelAt = a * f + 0.5;  // both positive
  const int bin = static_cast<int>(binAt), level = static_cast<int>(levelAt);
  const double binPart = binAt - bin, levelPart = levelAt - level;
  if (binPart < kMargin || binPart > 1.0 - kMargin || levelPart < kMargin || levelPart > 1.0 - kMargin)
    return false;
  cell = {level, bin};
  return true;
}

}  // namespace

double AspectAzimuth(double gx, double gy) {
  const double theta = std::atan2(-gx, gy) * 57.29577951308232;
  double a = 180.0 - theta;
  if (a < 0.0) a += 360.0;
  if (a >= 360.0) a -= 360.0;
  return a;
}

TAspectCell AspectOfGradient(double gx, double gy, int normalization) {
  if (IsFlat(std::sqrt(gx * gx + gy * gy))) return {};
  if (TAspectCell cell; QuickAspect(gx, gy, normalization * (1.0 / 360), cell)) return cell;
  const double a = AspectAzimuth(gx, gy);
  const double f = normalization * (1.0 / 360);
  return {static_cast<int>(a * f + 0.5), static_cast<int>(a + 0.5)};
}

Expected<TAspectResult> ComputeAspect(const TDemModel& dem, const TAspectParams& params,
                                      ProgressSink* progress) {
  const Status normalization =
      params.normalization < 1 || params.normalization > 360
          ? Status(Error{kBadParameter, "Normalization must be 18, 36, 90, 180, 255 or 360"})
          : Status::Ok();
  auto image = NewGradientPicture(dem, normalization, params.grayTones, params.table);
  if (!image) return image.error();
  const int W = dem.columns, H = dem.lines;
  TAspectResult result;
  result.image = std::move(*image);
  TRasterImage& out = *result.image;

  // Level values are whole numbers 0 .. N (and kFlatLevel), so their colours are looked up once.
  std::vector<TColor> levelColour;
  if (!params.grayTones) {
    levelColour.resize(static_cast<std::size_t>(params.normalization) + 1);
    for (int v = 0; v <= params.normalization; ++v) {
      levelColour[static_cast<std::size_t>(v)] = params.table.ColorOf(v, params.smoothing);
    }
  }
  const double p = dem.pixelSizeX;
  const double factor = p / 8;
  ApplySimdChoice();
  const double flatLimit = CachedFlatLimit();
  const double* atanKnots = Knots().value;

  ProgressScope scope(progress);
  const int interior = std::max(0, H - 2);
  const int chunks = (interior + kLinesPerChunk - 1) / kLinesPerChunk;
  std::vector<TDirectionHistogram> chunkHistograms(static_cast<std::size_t>(chunks));
  if (W >= 3) {
    ParallelForLines(
        chunks,
        [&](int chunk) {
          TDirectionHistogram& histogram = chunkHistograms[static_cast<std::size_t>(chunk)];
          histogram.fill(0);
          std::vector<std::int32_t> buffers(static_cast<std::size_t>(3) * W);
          std::vector<std::int32_t> levels(static_cast<std::size_t>(W)), bins(levels);
          const int first = 1 + chunk * kLinesPerChunk;
          const int last = std::min(H - 1, first + kLinesPerChunk);
          for (int i = first; i < last; ++i) {
            const std::int32_t* a = TruncatedRow(dem, i - 1, buffers.data());
            const std::int32_t* m = TruncatedRow(dem, i, buffers.data() + W);
            const std::int32_t* b = TruncatedRow(dem, i + 1, buffers.data() + 2 * W);
            std::uint8_t* target = out.Row(i);
            // The Sobel sums of a cell (whole numbers, exact in 64 bits).
            const auto sums = [&](int j) {
              const std::int64_t sx = -static_cast<std::int64_t>(a[j - 1]) + a[j + 1] -
                                      2 * static_cast<std::int64_t>(m[j - 1]) + 2 * static_cast<std::int64_t>(m[j + 1]) -
                                      b[j - 1] + b[j + 1];
              const std::int64_t sy = static_cast<std::int64_t>(a[j - 1]) + 2 * static_cast<std::int64_t>(a[j]) +
                                      a[j + 1] - b[j - 1] - 2 * static_cast<std::int64_t>(b[j]) - b[j + 1];
              return std::pair<double, double>(static_cast<double>(sx) * factor,
                                               static_cast<double>(sy) * factor);
            };
            // The cells of the line a vector at a time, the rest one by one.
            int j = HWY_DYNAMIC_DISPATCH(AspectRow)(1, W, a, m, b, factor, params.normalization,
                                                     flatLimit, atanKnots, levels.data(), bins.data());
            for (; j < W - 1; ++j) {
              const auto [gx, gy] = sums(j);
              const TAspectCell cell = AspectOfGradient(gx, gy, params.normalization);
              levels[static_cast<std::size_t>(j)] = cell.level;
              bins[static_cast<std::size_t>(j)] = cell.bin;
            }
            float* degrees = params.degrees ? params.degrees + static_cast<std::size_t>(i) * W : nullptr;
            for (j = 1; j < W - 1; ++j) {
              const TAspectCell cell{levels[static_cast<std::size_t>(j)], bins[static_cast<std::size_t>(j)]};
              if (degrees) {
                const auto [gx, gy] = sums(j);
                // A few 1e-6 degree under 360 would round up to 360 in single precision.
                degrees[j] = cell.bin < 0 ? std::numeric_limits<float>::quiet_NaN()
                                          : std::min(static_cast<float>(AspectAzimuth(gx, gy)),
                                                     kLastAzimuthBelow360);
              }
              if (cell.bin >= 0 &&
                  !(params.uncounted && params.uncounted[static_cast<std::size_t>(i) * W + j]))
                ++histogram[static_cast<std::size_t>(cell.bin)];
              if (params.grayTones) {
                target[j] = static_cast<std::uint8_t>(std::min(cell.level, 255));
              } else {
                const TColor c = cell.bin < 0 ? Rgb(255, 255, 255)
                                              : levelColour[static_cast<std::size_t>(
                                                    std::min(cell.level, params.normalization))];
                std::uint8_t* px = target + 3 * static_cast<std::size_t>(j);
                px[0] = c.blue;
                px[1] = c.green;
                px[2] = c.red;
              }
            }
          }
        },
        progress, 1);
  }
  if (scope.Cancelled()) return Error{kCancelled, "Aspect computation cancelled"};
  for (const TDirectionHistogram& h : chunkHistograms) {
    for (int k = 0; k < kDirectionBins; ++k) result.histogram[static_cast<std::size_t>(k)] += h[static_cast<std::size_t>(k)];
  }
  return result;
}

}  // namespace orvane
#endif  // HWY_ONCE
