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

namespace orvane {

namespace {

constexpr int kLinesPerChunk = 32;
// The largest single-precision azimuth under 360.
const float kLastAzimuthBelow360 = std::nextafter(360.0f, 0.0f);

// Elevation truncated toward zero, held inside the 32-bit range.
inline std::int32_t TruncatedElevation(double z) {
  if (std::isnan(z)) return 0;
  if (z >= 2147483647.0) return 2147483647;
  if (z <= -2147483648.0) return -2147483647 - 1;
  return static_cast<std::int32_t>(z);
}

// Truncated elevations of one line; points into the model itself when no conversion changes
// the stored values.
const std::int32_t* TruncatedRow(const TDemModel& dem, int line, std::int32_t* buffer) {
  if (dem.elementType == kDemInt32 && dem.offset == 0.0f && dem.scale == 1.0f) {
    return dem.Int32Row(line);
  }
  if (dem.elementType == kDemInt32) {
    const std::int32_t* row = dem.Int32Row(line);
    const double offset = dem.offset, scale = dem.scale;
    for (int j = 0; j < dem.columns; ++j) {
      buffer[j] = TruncatedElevation(offset + scale * static_cast<double>(row[j]));
    }
  } else {
    for (int j = 0; j < dem.columns; ++j) buffer[j] = TruncatedElevation(dem.GetElevation(j, line));
  }
  return buffer;
}

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
bool IsFlat(double size) {
  static const double limit = FlatLimit();
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

// The azimuth a of the exact computation below to within about 1e-13 degree: atan(t) of the
// octant's ratio t from the nearest knot c and the series of atan((t - c) / (1 + t c)), whose
// argument stays under 1/128 (terms past the seventh power are below 1e-20). When a lies
// within 1e-9 degree of a bin or level boundary, or of the wrap at 0 / 360, nothing is decided
// (false) and the library arc tangent decides.
bool QuickAspect(double gx, double gy, double f, TAspectCell& cell) {
  static const AtanKnots knots;
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
  if (!dem.IsAllocated() || dem.lines <= 0 || dem.columns <= 0) {
    return Error{kBadParameter, "No DEM is open"};
  }
  if (params.normalization < 1 || params.normalization > 360) {
    return Error{kBadParameter, "Normalization must be 18, 36, 90, 180, 255 or 360"};
  }
  if (!params.grayTones && params.table.empty()) {
    return Error{kBadParameter, "The colour table is empty"};
  }
  const int W = dem.columns, H = dem.lines;
  auto image = std::make_unique<TRasterImage>(W, H, params.grayTones ? kRasterGray : kRasterRgb);
  if (image->allocError || !image->IsAllocated()) {
    return GridMemoryError(H, W);
  }
  TAspectResult result;
  result.image = std::move(image);
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
          const int first = 1 + chunk * kLinesPerChunk;
          const int last = std::min(H - 1, first + kLinesPerChunk);
          for (int i = first; i < last; ++i) {
            const std::int32_t* a = TruncatedRow(dem, i - 1, buffers.data());
            const std::int32_t* m = TruncatedRow(dem, i, buffers.data() + W);
            const std::int32_t* b = TruncatedRow(dem, i + 1, buffers.data() + 2 * W);
            std::uint8_t* target = out.Row(i);
            float* degrees = params.degrees ? params.degrees + static_cast<std::size_t>(i) * W : nullptr;
            for (int j = 1; j < W - 1; ++j) {
              const std::int64_t sx = -static_cast<std::int64_t>(a[j - 1]) + a[j + 1] -
                                      2 * static_cast<std::int64_t>(m[j - 1]) + 2 * static_cast<std::int64_t>(m[j + 1]) -
                                      b[j - 1] + b[j + 1];
              const std::int64_t sy = static_cast<std::int64_t>(a[j - 1]) + 2 * static_cast<std::int64_t>(a[j]) +
                                      a[j + 1] - b[j - 1] - 2 * static_cast<std::int64_t>(b[j]) - b[j + 1];
              const double gx = static_cast<double>(sx) * factor, gy = static_cast<double>(sy) * factor;
              const TAspectCell cell = AspectOfGradient(gx, gy, params.normalization);
              if (degrees) {
                // A few 1e-6 degree under 360 would round up to 360 in single precision.
                degrees[j] = cell.bin < 0 ? std::numeric_limits<float>::quiet_NaN()
                                          : std::min(static_cast<float>(AspectAzimuth(gx, gy)),
                                                     kLastAzimuthBelow360);
              }
              if (cell.bin >= 0) ++histogram[static_cast<std::size_t>(cell.bin)];
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
