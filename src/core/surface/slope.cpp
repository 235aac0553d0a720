#include "core/surface/slope.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define ORVANE_SLOPE_AVX512 1
#endif

#include "core/common/grid_memory.h"
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

#if defined(ORVANE_SLOPE_AVX512)
// GCC 12 takes the intrinsics' deliberately undefined pass-through operands for uninitialised.
#pragma GCC diagnostic push
#if !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
// Eight interior cells j .. j + 7 at once, lane by lane the operations of AddTriangle (IEEE
// subtraction, multiplication, division and square root round the same in every lane; the
// core is built without contraction into fused multiply-adds).
struct Octet {
  __m512d x, y, z;
};

__attribute__((target("avx512f"))) inline Octet OctetSub(const Octet& a, const Octet& b) {
  return {_mm512_sub_pd(a.x, b.x), _mm512_sub_pd(a.y, b.y), _mm512_sub_pd(a.z, b.z)};
}

__attribute__((target("avx512f"))) inline void OctetAddTriangle(const Octet& centre, const Octet& a,
                                                                const Octet& b, Octet& sum) {
  const Octet u = OctetSub(centre, a);
  const Octet v = OctetSub(b, a);
  Octet n{_mm512_sub_pd(_mm512_mul_pd(u.y, v.z), _mm512_mul_pd(u.z, v.y)),
          _mm512_sub_pd(_mm512_mul_pd(u.z, v.x), _mm512_mul_pd(u.x, v.z)),
          _mm512_sub_pd(_mm512_mul_pd(u.x, v.y), _mm512_mul_pd(u.y, v.x))};
  const __m512d length = _mm512_sqrt_pd(_mm512_add_pd(
      _mm512_add_pd(_mm512_mul_pd(n.x, n.x), _mm512_mul_pd(n.y, n.y)), _mm512_mul_pd(n.z, n.z)));
  // A degenerate triangle adds nothing (+0 instead only changes the sign of a zero sum).
  const __mmask8 keep = _mm512_cmp_pd_mask(length, _mm512_setzero_pd(), _CMP_NEQ_UQ);
  n = {_mm512_maskz_div_pd(keep, n.x, length), _mm512_maskz_div_pd(keep, n.y, length),
       _mm512_maskz_div_pd(keep, n.z, length)};
  // Downward normals are turned up: negation is exact.
  const __mmask8 down = _mm512_cmp_pd_mask(n.z, _mm512_setzero_pd(), _CMP_LT_OQ);
  const __m512i sign = _mm512_set1_epi64(static_cast<long long>(0x8000000000000000ULL));
  const __m512i bx = _mm512_castpd_si512(n.x), by = _mm512_castpd_si512(n.y),
                bz = _mm512_castpd_si512(n.z);
  n = {_mm512_castsi512_pd(_mm512_mask_xor_epi64(bx, down, bx, sign)),
       _mm512_castsi512_pd(_mm512_mask_xor_epi64(by, down, by, sign)),
       _mm512_castsi512_pd(_mm512_mask_xor_epi64(bz, down, bz, sign))};
  sum = {_mm512_add_pd(sum.x, n.x), _mm512_add_pd(sum.y, n.y), _mm512_add_pd(sum.z, n.z)};
}

// Interior cells from `j` while eight fit before the last column; returns the next column.
__attribute__((target("avx512f"))) int InteriorOctets(int j, int columns, double xi, double xu,
                                                      double xd, double py, const double* above,
                                                      const double* here, const double* below,
                                                      float* nx, float* ny, float* nz) {
  const __m512d steps = _mm512_set_pd(7, 6, 5, 4, 3, 2, 1, 0);
  const __m512d vpy = _mm512_set1_pd(py);
  const __m512d vxi = _mm512_set1_pd(xi), vxu = _mm512_set1_pd(xu), vxd = _mm512_set1_pd(xd);
  for (; j + 8 < columns; j += 8) {
    // Column numbers are exact in doubles, so (j + k) * py is the scalar product.
    const __m512d cj = _mm512_add_pd(_mm512_set1_pd(j), steps);
    const __m512d yj = _mm512_mul_pd(cj, vpy);
    const __m512d yl = _mm512_mul_pd(_mm512_sub_pd(cj, _mm512_set1_pd(1)), vpy);
    const __m512d yr = _mm512_mul_pd(_mm512_add_pd(cj, _mm512_set1_pd(1)), vpy);
    const Octet centre{vxi, yj, _mm512_loadu_pd(here + j)};
    const Octet up{vxu, yj, _mm512_loadu_pd(above + j)};
    const Octet down{vxd, yj, _mm512_loadu_pd(below + j)};
    const Octet left{vxi, yl, _mm512_loadu_pd(here + j - 1)};
    const Octet right{vxi, yr, _mm512_loadu_pd(here + j + 1)};
    Octet sum{_mm512_setzero_pd(), _mm512_setzero_pd(), _mm512_setzero_pd()};
    OctetAddTriangle(centre, up, right, sum);
    OctetAddTriangle(centre, right, down, sum);
    OctetAddTriangle(centre, down, left, sum);
    OctetAddTriangle(centre, left, up, sum);
    _mm256_storeu_ps(nx + j, _mm512_cvtpd_ps(sum.x));
    _mm256_storeu_ps(ny + j, _mm512_cvtpd_ps(sum.y));
    _mm256_storeu_ps(nz + j, _mm512_cvtpd_ps(sum.z));
  }
  return j;
}

// q = n_z / |n| of every cell of a line, from the single-precision sums (as SlopeDegrees).
__attribute__((target("avx512f"))) int RatiosOctets(int columns, const float* nx, const float* ny,
                                                    const float* nz, double* q) {
  int c = 0;
  for (; c + 8 <= columns; c += 8) {
    const __m512d x = _mm512_cvtps_pd(_mm256_loadu_ps(nx + c));
    const __m512d y = _mm512_cvtps_pd(_mm256_loadu_ps(ny + c));
    const __m512d z = _mm512_cvtps_pd(_mm256_loadu_ps(nz + c));
    const __m512d length = _mm512_sqrt_pd(
        _mm512_add_pd(_mm512_add_pd(_mm512_mul_pd(x, x), _mm512_mul_pd(y, y)), _mm512_mul_pd(z, z)));
    _mm512_storeu_pd(q + c, _mm512_div_pd(z, length));
  }
  return c;
}

#pragma GCC diagnostic pop

bool HasAvx512() {
  static const bool has = __builtin_cpu_supports("avx512f");
  return has;
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

double SlopeOfRatio(double q) {
  return (std::numbers::pi / 2 - std::fabs(std::asin(q))) * 57.29577951308232;
}

double SlopeDegrees(float nx, float ny, float nz) {
  const double x = nx, y = ny, z = nz;
  const double length = std::sqrt(x * x + y * y + z * z);
  if (length == 0.0) return 0.0;
  return SlopeOfRatio(z / length);
}

TSlopeGrayLevels::TSlopeGrayLevels(int normalization)
    : levels_(normalization - 1), top_(std::max(0, normalization - 1)) {
  FindThresholds();
}

TSlopeGrayLevels::TSlopeGrayLevels(const TClassTable& table) : levels_(0), top_(0), table_(&table) {
  // Classes grow with the slope only when the bounds do; otherwise every cell takes ClassOf.
  const int n = table.count();
  for (int k = 1; k < n; ++k)
    if (!(table[k - 1].bound < table[k].bound)) return;
  if (n < 1) return;
  top_ = n - 1;
  FindThresholds();
}

void TSlopeGrayLevels::FindThresholds() {
  thresholds_.assign(static_cast<std::size_t>(top_) + 2, 0.0);
  thresholds_[0] = std::numeric_limits<double>::infinity();
  // The level falls as q grows. Positive doubles are ordered as their bit patterns, so each
  // threshold is found by bisection over the patterns between 0 and 1.
  const std::uint64_t one = std::bit_cast<std::uint64_t>(1.0);
  for (int k = 1; k <= top_; ++k) {
    if (Exact(0.0) < k) continue;  // level k is never reached: threshold 0
    std::uint64_t lo = 0, hi = one;  // Exact(lo) >= k, Exact(hi) < k
    while (hi - lo > 1) {
      const std::uint64_t mid = lo + (hi - lo) / 2;
      if (Exact(std::bit_cast<double>(mid)) < k) hi = mid; else lo = mid;
    }
    thresholds_[static_cast<std::size_t>(k)] = std::bit_cast<double>(hi);
  }
  base_.resize(kBuckets + 1);
  for (int b = 0; b <= kBuckets; ++b) {
    const double upper = static_cast<double>(b + 1) / kBuckets;
    int g = 0;
    while (g < top_ && thresholds_[static_cast<std::size_t>(g) + 1] > upper) ++g;
    base_[static_cast<std::size_t>(b)] = static_cast<std::uint16_t>(g);
  }
}

int TSlopeGrayLevels::Exact(double q) const {
  if (table_) return table_->ClassOf(SlopeOfRatio(q));
  return static_cast<int>(SlopeOfRatio(q) * (1.0 / 90) * levels_);
}

int TSlopeGrayLevels::Level(double q) const {
  if (thresholds_.empty() || !(q > 0.0 && q <= 1.0)) return Exact(q);
  // q * kBuckets is exact (a power of two), so q lies below the bucket's upper end.
  int g = base_[static_cast<std::size_t>(q * kBuckets)];
  while (g < top_ && q < thresholds_[static_cast<std::size_t>(g) + 1]) ++g;
  // The arc sine is within an ulp, so the level is monotone except within a few 1e-16 of a
  // threshold: there the arc sine decides.
  constexpr double kMargin = 1e-12;
  if ((g < top_ && q - thresholds_[static_cast<std::size_t>(g) + 1] < kMargin) ||
      (g > 0 && thresholds_[static_cast<std::size_t>(g)] - q < kMargin))
    return Exact(q);
  return g;
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
    return GridMemoryError(H, W);
  }

  const double px = dem.pixelSizeX, py = dem.pixelSizeY;
  const double levels = params.normalization - 1;
  TRasterImage& out = *image;

  const TSlopeGrayLevels gray(params.grayTones ? params.normalization : 1);
  // Without smoothing a colour is its class's: classes by thresholds, colours looked up.
  const TSlopeGrayLevels classes(params.table);
  std::vector<TColor> classColour;
  for (int k = 0; k < params.table.count(); ++k) classColour.push_back(EntryColor(params.table[k]));
#if defined(ORVANE_SLOPE_AVX512)
  const bool avx512 = HasAvx512();
#endif

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
        std::vector<double> q(static_cast<std::size_t>(W));
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
            j = 1;
#if defined(ORVANE_SLOPE_AVX512)
            if (avx512) {
              j = InteriorOctets(j, W, xi, xu, xd, py, above, here, below, nx.data(), ny.data(),
                                 nz.data());
            }
#endif
            for (; j + 1 < W - 1; j += 2) {
              InteriorPair(j, xi, xu, xd, py, above, here, below, nx.data(), ny.data(), nz.data());
            }
          }
#endif
          for (; j < W; ++j) scalarCell(j);
          // q = n_z / |n| exactly as SlopeDegrees forms it; NaN only for a null normal.
          int c = 0;
#if defined(ORVANE_SLOPE_AVX512)
          if (avx512) c = RatiosOctets(W, nx.data(), ny.data(), nz.data(), q.data());
#endif
          for (; c < W; ++c) {
            const double x = nx[c], y = ny[c], z = nz[c];
            q[c] = z / std::sqrt(x * x + y * y + z * z);
          }
          if (params.degrees) {
            float* values = params.degrees + static_cast<std::size_t>(i) * W;
            for (c = 0; c < W; ++c) values[c] = static_cast<float>(SlopeDegrees(nx[c], ny[c], nz[c]));
          }
          for (c = 0; c < W; ++c) {
            if (params.grayTones) {
              const int level = q[c] > 0.0 ? gray.Level(q[c])
                                           : static_cast<int>(SlopeDegrees(nx[c], ny[c], nz[c]) * (1.0 / 90) * levels);
              target[c] = static_cast<std::uint8_t>(level);
            } else {
              TColor colour;
              if (!params.smoothing && q[c] > 0.0) {
                const int k = classes.Level(q[c]);
                colour = k < 0 ? TColor{} : classColour[static_cast<std::size_t>(k)];
              } else {
                const double s = q[c] > 0.0 ? SlopeOfRatio(q[c]) : SlopeDegrees(nx[c], ny[c], nz[c]);
                colour = params.table.ColorOf(s, params.smoothing);
              }
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
