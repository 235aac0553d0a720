#include "core/surface/slope.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <vector>

#include "core/common/grid_memory.h"
#include "core/common/parallel.h"
#include "core/common/simd_target.h"
#include "core/surface/gradient_picture.h"
#include "core/terrain/cell_normal.h"
#include "core/terrain/elevation_rows.h"

// The vector kernels below are compiled once per instruction set (this file includes itself
// through Highway); the rest of the file once.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "core/surface/slope.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

HWY_BEFORE_NAMESPACE();
namespace orvane {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

// A vector of cells' points (x, y, z) in doubles.
template <class V>
struct Points {
  V x, y, z;
};

// Lane by lane the operations of AddTriangleNormal (terrain/cell_normal.h), in the same order
// (IEEE subtraction, multiplication, division and square root round the same in every lane; the
// core is built without contraction into fused multiply-adds).
template <class D, class V>
HWY_INLINE void AddTriangles(D d, const Points<V>& centre, const Points<V>& a, const Points<V>& b,
                             Points<V>& sum) {
  const Points<V> u{hn::Sub(centre.x, a.x), hn::Sub(centre.y, a.y), hn::Sub(centre.z, a.z)};
  const Points<V> v{hn::Sub(b.x, a.x), hn::Sub(b.y, a.y), hn::Sub(b.z, a.z)};
  Points<V> n{hn::Sub(hn::Mul(u.y, v.z), hn::Mul(u.z, v.y)),
              hn::Sub(hn::Mul(u.z, v.x), hn::Mul(u.x, v.z)),
              hn::Sub(hn::Mul(u.x, v.y), hn::Mul(u.y, v.x))};
  const V length =
      hn::Sqrt(hn::Add(hn::Add(hn::Mul(n.x, n.x), hn::Mul(n.y, n.y)), hn::Mul(n.z, n.z)));
  // A degenerate triangle adds +0 instead of nothing: the sums start at +0 and never become
  // -0, so adding +0 changes no bit.
  const auto keep = length != hn::Zero(d);
  n = {hn::IfThenElseZero(keep, hn::Div(n.x, length)), hn::IfThenElseZero(keep, hn::Div(n.y, length)),
       hn::IfThenElseZero(keep, hn::Div(n.z, length))};
  // Downward normals are turned up: negation is exact.
  const auto down = n.z < hn::Zero(d);
  n = {hn::IfThenElse(down, hn::Neg(n.x), n.x), hn::IfThenElse(down, hn::Neg(n.y), n.y),
       hn::IfThenElse(down, hn::Neg(n.z), n.z)};
  sum = {hn::Add(sum.x, n.x), hn::Add(sum.y, n.y), hn::Add(sum.z, n.z)};
}

// Summed normals of the interior cells from `j` while a vector of them fits before the last
// column, in single precision; returns the next column.
int InteriorNormals(int j, int columns, double xi, double xu, double xd, double py,
                    const double* above, const double* here, const double* below, float* nx,
                    float* ny, float* nz) {
  const hn::ScalableTag<double> d;
  const hn::Rebind<float, decltype(d)> df;
  using V = hn::Vec<decltype(d)>;
  const int lanes = static_cast<int>(hn::Lanes(d));
  const V vpy = hn::Set(d, py), unit = hn::Set(d, 1.0), step = hn::Set(d, lanes);
  const V vxi = hn::Set(d, xi), vxu = hn::Set(d, xu), vxd = hn::Set(d, xd);
  // Column numbers are exact in doubles, so (j + k) * py is the scalar product.
  V cj = hn::Iota(d, j);
  for (; j + lanes < columns; j += lanes, cj = hn::Add(cj, step)) {
    const V yj = hn::Mul(cj, vpy);
    const V yl = hn::Mul(hn::Sub(cj, unit), vpy);
    const V yr = hn::Mul(hn::Add(cj, unit), vpy);
    const Points<V> centre{vxi, yj, hn::LoadU(d, here + j)};
    const Points<V> up{vxu, yj, hn::LoadU(d, above + j)};
    const Points<V> down{vxd, yj, hn::LoadU(d, below + j)};
    const Points<V> left{vxi, yl, hn::LoadU(d, here + j - 1)};
    const Points<V> right{vxi, yr, hn::LoadU(d, here + j + 1)};
    Points<V> sum{hn::Zero(d), hn::Zero(d), hn::Zero(d)};
    AddTriangles(d, centre, up, right, sum);
    AddTriangles(d, centre, right, down, sum);
    AddTriangles(d, centre, down, left, sum);
    AddTriangles(d, centre, left, up, sum);
    hn::StoreU(hn::DemoteTo(df, sum.x), df, nx + j);
    hn::StoreU(hn::DemoteTo(df, sum.y), df, ny + j);
    hn::StoreU(hn::DemoteTo(df, sum.z), df, nz + j);
  }
  return j;
}

// q = n_z / |n| of the cells of a line from the single-precision sums (as SlopeDegrees forms
// it); returns the number of cells done.
int Ratios(int columns, const float* nx, const float* ny, const float* nz, double* q) {
  const hn::ScalableTag<double> d;
  const hn::Rebind<float, decltype(d)> df;
  const int lanes = static_cast<int>(hn::Lanes(d));
  int c = 0;
  for (; c + lanes <= columns; c += lanes) {
    const auto x = hn::PromoteTo(d, hn::LoadU(df, nx + c));
    const auto y = hn::PromoteTo(d, hn::LoadU(df, ny + c));
    const auto z = hn::PromoteTo(d, hn::LoadU(df, nz + c));
    const auto length = hn::Sqrt(hn::Add(hn::Add(hn::Mul(x, x), hn::Mul(y, y)), hn::Mul(z, z)));
    hn::StoreU(hn::Div(z, length), d, q + c);
  }
  return c;
}

// Levels of a vector of ratios at a time through the bucket table and the thresholds (see
// TSlopeGrayLevels::Level); lanes outside (0, 1], in a crowded bucket or next to a threshold
// get kUndecidedLevel. Returns the number of cells done.
int LevelRow(const double* q, int count, const std::int32_t* base, const double* t, int buckets,
             std::int32_t* out) {
  const hn::ScalableTag<double> d;
  const hn::RebindToSigned<decltype(d)> di;
  const hn::Rebind<std::int32_t, decltype(d)> d32;
  const int lanes = static_cast<int>(hn::Lanes(d));
  const auto zero = hn::Zero(d), one = hn::Set(d, 1.0), scale = hn::Set(d, buckets);
  const auto margin = hn::Set(d, 1e-12);
  const auto undecided = hn::Set(di, std::int64_t{TSlopeGrayLevels::kUndecidedLevel});
  HWY_ALIGN std::int64_t level[hn::MaxLanes(di)];
  int j = 0;
  for (; j + lanes <= count; j += lanes) {
    const auto v = hn::LoadU(d, q + j);
    const auto inside = hn::And(v > zero, v <= one);
    // Lanes outside take bucket 0 for the gathers and are left undecided.
    const auto w = hn::IfThenElseZero(inside, v);
    const auto bucket = hn::DemoteTo(d32, hn::Mul(w, scale));  // truncated, as the scalar cast
    auto g = hn::PromoteTo(di, hn::GatherIndex(d32, base, bucket));
    // One more level below the next threshold. Past the top level the threshold is 0, which a
    // positive ratio never is below: no step there, as the scalar bound on the level.
    const auto step = w < hn::GatherIndex(d, t + 1, g);
    g = hn::Sub(g, hn::BitCast(di, hn::VecFromMask(d, step)));
    const auto next = hn::GatherIndex(d, t + 1, g);
    const auto here = hn::GatherIndex(d, t, g);
    // Still below the next threshold (a crowded bucket), or within the margin of one of the
    // two thresholds around: the scalar path decides (a superset of its own exact cases).
    const auto slow = hn::Or(hn::Or(hn::Not(inside), w < next),
                             hn::Or(hn::Sub(w, next) < margin, hn::Sub(here, w) < margin));
    hn::Store(hn::IfThenElse(hn::RebindMask(di, slow), undecided, g), di, level);
    for (int l = 0; l < lanes; ++l) out[j + l] = static_cast<std::int32_t>(level[l]);
  }
  return j;
}

}  // namespace HWY_NAMESPACE
}  // namespace orvane
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace orvane {

HWY_EXPORT(InteriorNormals);
HWY_EXPORT(Ratios);
HWY_EXPORT(LevelRow);

namespace {

constexpr int kLinesPerChunk = 32;

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
    base_[static_cast<std::size_t>(b)] = g;
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

void TSlopeGrayLevels::Levels(const double* q, int count, std::int32_t* out) const {
  int j = 0;
  if (!thresholds_.empty()) {
    ApplySimdChoice();
    j = HWY_DYNAMIC_DISPATCH(LevelRow)(q, count, base_.data(), thresholds_.data(), kBuckets, out);
  }
  for (; j < count; ++j) out[j] = kUndecidedLevel;
}

Expected<TSlopeResult> ComputeSlope(const TDemModel& dem, const TSlopeParams& params,
                                    ProgressSink* progress) {
  const Status normalization =
      params.grayTones && params.normalization != 90 && params.normalization != 180 && params.normalization != 255
          ? Status(Error{kBadParameter, "Normalization must be 90, 180 or 255"})
          : Status::Ok();
  std::unique_ptr<TRasterImage> image;
  if (params.picture) {
    auto picture = NewGradientPicture(dem, normalization, params.grayTones, params.table);
    if (!picture) return picture.error();
    image = std::move(*picture);
  } else {
    if (!dem.IsAllocated() || dem.lines <= 0 || dem.columns <= 0)
      return Error{kBadParameter, "No DEM is open"};
    if (!params.degrees) return Error{kBadParameter, "Slope without a picture needs its degrees"};
  }
  const int W = dem.columns, H = dem.lines;

  const double px = dem.pixelSizeX, py = dem.pixelSizeY;
  const double levels = params.normalization - 1;

  const TSlopeGrayLevels gray(params.grayTones ? params.normalization : 1);
  // Without smoothing a colour is its class's: classes by thresholds, colours looked up.
  const TSlopeGrayLevels classes(params.table);
  std::vector<TColor> classColour;
  for (int k = 0; k < params.table.count(); ++k) classColour.push_back(EntryColor(params.table[k]));
  ApplySimdChoice();

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
        std::vector<std::int32_t> level(static_cast<std::size_t>(W));
        if (first > 0) LoadElevationRow(dem, first - 1, above);
        LoadElevationRow(dem, first, here);
        for (int i = first; i < last; ++i) {
          const bool hasU = i > 0, hasD = i + 1 < H;
          if (hasD) LoadElevationRow(dem, i + 1, below);
          const double xi = i * px;
          const double xu = (i - 1) * px;
          const double xd = (i + 1) * px;
          std::uint8_t* target = image ? image->Row(i) : nullptr;
          // The summed normal of every cell of the line, in single precision as the normal grid
          // keeps it; interior cells a vector at a time.
          auto scalarCell = [&](int j) {
            const double yj = j * py;
            TCellNeighbours around;
            around.hasUp = hasU;
            around.hasDown = hasD;
            around.hasLeft = j > 0;
            around.hasRight = j + 1 < W;
            if (hasU) around.up = {xu, yj, above[j]};
            if (hasD) around.down = {xd, yj, below[j]};
            if (around.hasLeft) around.left = {xi, (j - 1) * py, here[j - 1]};
            if (around.hasRight) around.right = {xi, (j + 1) * py, here[j + 1]};
            const TPoint3 sum = CellNormal({xi, yj, here[j]}, around);
            nx[j] = static_cast<float>(sum.x);
            ny[j] = static_cast<float>(sum.y);
            nz[j] = static_cast<float>(sum.z);
          };
          int j = 0;
          if (hasU && hasD && W >= 3) {
            scalarCell(0);
            j = HWY_DYNAMIC_DISPATCH(InteriorNormals)(1, W, xi, xu, xd, py, above, here, below,
                                                      nx.data(), ny.data(), nz.data());
          }
          for (; j < W; ++j) scalarCell(j);
          // q = n_z / |n| exactly as SlopeDegrees forms it; NaN only for a null normal.
          int c = HWY_DYNAMIC_DISPATCH(Ratios)(W, nx.data(), ny.data(), nz.data(), q.data());
          for (; c < W; ++c) {
            const double x = nx[c], y = ny[c], z = nz[c];
            q[c] = z / std::sqrt(x * x + y * y + z * z);
          }
          if (params.degrees) {
            // SlopeDegrees from the ratio already formed; a null normal (NaN ratio) is level.
            float* values = params.degrees + static_cast<std::size_t>(i) * W;
            for (c = 0; c < W; ++c)
              values[c] = std::isnan(q[c]) ? 0.0f : static_cast<float>(SlopeOfRatio(q[c]));
          }
          if (target) {
            // Gray levels or classes by thresholds, a vector at a time; the cells left undecided
            // (null normals, crowded buckets, next to a threshold) one by one.
            const bool byClass = !params.grayTones && !params.smoothing;
            if (params.grayTones) gray.Levels(q.data(), W, level.data());
            else if (byClass) classes.Levels(q.data(), W, level.data());
            for (c = 0; c < W; ++c) {
              if (params.grayTones) {
                int value = level[c];
                if (value == TSlopeGrayLevels::kUndecidedLevel)
                  value = q[c] > 0.0 ? gray.Level(q[c])
                                     : static_cast<int>(SlopeDegrees(nx[c], ny[c], nz[c]) * (1.0 / 90) * levels);
                target[c] = static_cast<std::uint8_t>(value);
              } else {
                TColor colour;
                if (byClass && q[c] > 0.0) {
                  int k = level[c];
                  if (k == TSlopeGrayLevels::kUndecidedLevel) k = classes.Level(q[c]);
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
#endif  // HWY_ONCE
