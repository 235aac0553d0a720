#include "core/surface/slope.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/common/parallel.h"

namespace orvane {

namespace {

struct Vec3 {
  double x, y, z;
};

inline Vec3 Sub(const Vec3& a, const Vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 Cross(const Vec3& a, const Vec3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// Adds the unit, upward normal of the triangle (centre, a, b) to `sum`; a flat-degenerate
// triangle adds nothing. Same arithmetic, in the same order, as the DEM model's normal grid.
inline void AddTriangle(const Vec3& centre, const Vec3& a, const Vec3& b, Vec3& sum) {
  Vec3 n = Cross(Sub(centre, a), Sub(b, a));
  const double length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
  if (length == 0.0) return;
  n = {n.x / length, n.y / length, n.z / length};
  if (n.z < 0.0) n = {-n.x, -n.y, -n.z};
  sum = {sum.x + n.x, sum.y + n.y, sum.z + n.z};
}

// Elevations of one line as doubles, exactly as GetElevation gives them.
void ReadElevations(const TDemModel& dem, int line, double* out) {
  if (dem.elementType == kDemInt32) {
    const std::int32_t* row = dem.Int32Row(line);
    const double offset = dem.offset, scale = dem.scale;
    for (int j = 0; j < dem.columns; ++j) out[j] = offset + scale * static_cast<double>(row[j]);
  } else {
    for (int j = 0; j < dem.columns; ++j) out[j] = dem.GetElevation(j, line);
  }
}

constexpr int kLinesPerChunk = 32;

#if defined(__SSE2__)
// Two interior cells j and j + 1 at once: the same operations, in the same order, as
// AddTriangle on each cell (SSE2 arithmetic and square roots are the scalar ones, lane by lane).
struct Pair {
  __m128d x, y, z;
};

inline Pair PairSub(const Pair& a, const Pair& b) {
  return {_mm_sub_pd(a.x, b.x), _mm_sub_pd(a.y, b.y), _mm_sub_pd(a.z, b.z)};
}

inline void PairAddTriangle(const Pair& centre, const Pair& a, const Pair& b, Pair& sum) {
  const Pair u = PairSub(centre, a);
  const Pair v = PairSub(b, a);
  Pair n{_mm_sub_pd(_mm_mul_pd(u.y, v.z), _mm_mul_pd(u.z, v.y)),
         _mm_sub_pd(_mm_mul_pd(u.z, v.x), _mm_mul_pd(u.x, v.z)),
         _mm_sub_pd(_mm_mul_pd(u.x, v.y), _mm_mul_pd(u.y, v.x))};
  const __m128d length = _mm_sqrt_pd(
      _mm_add_pd(_mm_add_pd(_mm_mul_pd(n.x, n.x), _mm_mul_pd(n.y, n.y)), _mm_mul_pd(n.z, n.z)));
  // A degenerate triangle adds nothing; +0 instead of nothing only changes the sign of a zero.
  const __m128d keep = _mm_cmpneq_pd(length, _mm_setzero_pd());
  n = {_mm_and_pd(keep, _mm_div_pd(n.x, length)), _mm_and_pd(keep, _mm_div_pd(n.y, length)),
       _mm_and_pd(keep, _mm_div_pd(n.z, length))};
  const __m128d flip = _mm_and_pd(_mm_cmplt_pd(n.z, _mm_setzero_pd()), _mm_set1_pd(-0.0));
  n = {_mm_xor_pd(n.x, flip), _mm_xor_pd(n.y, flip), _mm_xor_pd(n.z, flip)};
  sum = {_mm_add_pd(sum.x, n.x), _mm_add_pd(sum.y, n.y), _mm_add_pd(sum.z, n.z)};
}

void InteriorPair(int j, double xi, double xu, double xd, double py, const double* above,
                  const double* here, const double* below, float* nx, float* ny, float* nz) {
  const __m128d yj = _mm_set_pd((j + 1) * py, j * py);
  const __m128d yl = _mm_set_pd(j * py, (j - 1) * py);
  const __m128d yr = _mm_set_pd((j + 2) * py, (j + 1) * py);
  const __m128d vxi = _mm_set1_pd(xi);
  const Pair centre{vxi, yj, _mm_loadu_pd(here + j)};
  const Pair up{_mm_set1_pd(xu), yj, _mm_loadu_pd(above + j)};
  const Pair down{_mm_set1_pd(xd), yj, _mm_loadu_pd(below + j)};
  const Pair left{vxi, yl, _mm_loadu_pd(here + j - 1)};
  const Pair right{vxi, yr, _mm_loadu_pd(here + j + 1)};
  Pair sum{_mm_setzero_pd(), _mm_setzero_pd(), _mm_setzero_pd()};
  PairAddTriangle(centre, up, right, sum);
  PairAddTriangle(centre, right, down, sum);
  PairAddTriangle(centre, down, left, sum);
  PairAddTriangle(centre, left, up, sum);
  const __m128 fx = _mm_cvtpd_ps(sum.x), fy = _mm_cvtpd_ps(sum.y), fz = _mm_cvtpd_ps(sum.z);
  float lanes[4];
  _mm_storeu_ps(lanes, fx);
  nx[j] = lanes[0];
  nx[j + 1] = lanes[1];
  _mm_storeu_ps(lanes, fy);
  ny[j] = lanes[0];
  ny[j + 1] = lanes[1];
  _mm_storeu_ps(lanes, fz);
  nz[j] = lanes[0];
  nz[j + 1] = lanes[1];
}
#endif

}  // namespace

TClassTable SlopeTable(int number) {
  switch (number) {
    case 1:
    case 3:
      return TClassTable({{number == 1 ? 0.0f : 1.0f, 0, number == 1 ? 0 : 90, number == 1 ? 255 : 0},
                          {4.0f, 0, 128, 0},
                          {9.0f, 0, 160, 0},
                          {14.0f, 0, 255, 0},
                          {19.0f, 128, 255, 0},
                          {24.0f, 160, 255, 0},
                          {29.0f, 200, 255, 0},
                          {34.0f, 255, 255, 0},
                          {39.0f, 255, 225, 0},
                          {44.0f, 255, 160, 0},
                          {49.0f, 255, 128, 0},
                          {54.0f, 255, 90, 0},
                          {59.0f, 255, 0, 0},
                          {64.0f, 180, 0, 0}});
    case 2:
      return TClassTable({{1.0f, 0, 0, 255},
                          {3.0f, 0, 128, 128},
                          {8.0f, 0, 160, 0},
                          {15.0f, 128, 192, 0},
                          {22.0f, 255, 255, 0},
                          {30.0f, 255, 128, 0},
                          {45.0f, 255, 0, 0},
                          {90.0f, 0, 0, 0}});
    default:
      return TClassTable();
  }
}

double SlopeDegrees(float nx, float ny, float nz) {
  const double x = nx, y = ny, z = nz;
  const double length = std::sqrt(x * x + y * y + z * z);
  if (length == 0.0) return 0.0;
  return (std::numbers::pi / 2 - std::fabs(std::asin(z / length))) * 57.29577951308232;
}

Expected<TSlopeResult> ComputeSlope(const TDemModel& dem, const TSlopeParams& params,
                                    ProgressSink* progress) {
  if (!dem.IsAllocated() || dem.lines <= 0 || dem.columns <= 0) {
    return Error{kBadParameter, "No DEM is open"};
  }
  if (params.grayTones && params.normalization != 90 && params.normalization != 180 &&
      params.normalization != 255) {
    return Error{kBadParameter, "Normalization must be 90, 180 or 255"};
  }
  if (!params.grayTones && params.table.empty()) {
    return Error{kBadParameter, "The colour table is empty"};
  }
  const int W = dem.columns, H = dem.lines;
  auto image = std::make_unique<TRasterImage>(W, H, params.grayTones ? kRasterGray : kRasterRgb);
  if (image->allocError || !image->IsAllocated()) {
    return Error{kAllocationFailed, "Not enough memory for the slope image"};
  }

  const double px = dem.pixelSizeX, py = dem.pixelSizeY;
  const double levels = params.normalization - 1;
  TRasterImage& out = *image;

  ProgressScope scope(progress);
  const int chunks = (H + kLinesPerChunk - 1) / kLinesPerChunk;
  ParallelForLines(
      chunks,
      [&](int chunk) {
        const int first = chunk * kLinesPerChunk;
        const int last = std::min(H, first + kLinesPerChunk);
        // Three rolling rows of elevations: above, current, below.
        std::vector<double> rows(static_cast<std::size_t>(3) * W);
        double* above = rows.data();
        double* here = above + W;
        double* below = here + W;
        std::vector<float> nx(static_cast<std::size_t>(W)), ny(nx), nz(nx);
        if (first > 0) ReadElevations(dem, first - 1, above);
        ReadElevations(dem, first, here);
        for (int i = first; i < last; ++i) {
          const bool hasU = i > 0, hasD = i + 1 < H;
          if (hasD) ReadElevations(dem, i + 1, below);
          const double xi = i * px;
          const double xu = (i - 1) * px;
          const double xd = (i + 1) * px;
          std::uint8_t* target = out.Row(i);
          // The summed normal of every cell of the line, in single precision as the normal grid
          // keeps it; interior cells two at a time where the processor allows.
          auto scalarCell = [&](int j) {
            const double yj = j * py;
            const Vec3 centre{xi, yj, here[j]};
            const bool hasL = j > 0, hasR = j + 1 < W;
            Vec3 up{}, down{}, left{}, right{};
            if (hasU) up = {xu, yj, above[j]};
            if (hasD) down = {xd, yj, below[j]};
            if (hasL) left = {xi, (j - 1) * py, here[j - 1]};
            if (hasR) right = {xi, (j + 1) * py, here[j + 1]};
            Vec3 sum{0.0, 0.0, 0.0};
            if (hasU && hasR) AddTriangle(centre, up, right, sum);
            if (hasR && hasD) AddTriangle(centre, right, down, sum);
            if (hasD && hasL) AddTriangle(centre, down, left, sum);
            if (hasL && hasU) AddTriangle(centre, left, up, sum);
            nx[j] = static_cast<float>(sum.x);
            ny[j] = static_cast<float>(sum.y);
            nz[j] = static_cast<float>(sum.z);
          };
          int j = 0;
#if defined(__SSE2__)
          if (hasU && hasD && W >= 3) {
            scalarCell(0);
            for (j = 1; j + 1 < W - 1; j += 2) {
              InteriorPair(j, xi, xu, xd, py, above, here, below, nx.data(), ny.data(), nz.data());
            }
          }
#endif
          for (; j < W; ++j) scalarCell(j);
          for (int c = 0; c < W; ++c) {
            const double s = SlopeDegrees(nx[c], ny[c], nz[c]);
            if (params.grayTones) {
              target[c] = static_cast<std::uint8_t>(static_cast<int>(s * (1.0 / 90) * levels));
            } else {
              const TColor colour = params.table.ColorOf(s, params.smoothing);
              std::uint8_t* p = target + 3 * static_cast<std::size_t>(c);
              p[0] = colour.blue;
              p[1] = colour.green;
              p[2] = colour.red;
            }
          }
          // Roll the rows down by one line.
          double* oldAbove = above;
          above = here;
          here = below;
          below = oldAbove;
        }
      },
      progress, 1);
  if (scope.Cancelled()) return Error{kCancelled, "Slope computation cancelled"};
  return TSlopeResult{std::move(image)};
}

}  // namespace orvane
