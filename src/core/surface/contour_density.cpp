#include "core/surface/contour_density.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "core/common/grid_memory.h"
#include "core/common/parallel.h"
#include "core/common/summed_area.h"
#include "core/common/truncated_elevations.h"

namespace orvane {

namespace {

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  std::int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}

// Levels zmin + k step, 1 <= k <= count, that lie in [lo, hi).
struct LevelSet {
  std::int64_t zmin;
  std::int64_t step;
  std::int64_t count;

  std::int64_t In(std::int64_t lo, std::int64_t hi) const {
    if (hi <= lo || count <= 0) return 0;
    const std::int64_t first = std::max<std::int64_t>(1, FloorDiv(lo - zmin + step - 1, step));
    const std::int64_t last = std::min(count, FloorDiv(hi - 1 - zmin, step));
    return last >= first ? last - first + 1 : 0;
  }
};

constexpr std::int64_t kDirectLink = 500;    // 0.5 p, in thousandths of p
constexpr std::int64_t kDiagonalLink = 707;  // 0.707 p

}  // namespace

std::int64_t ContourLevelCount(std::int64_t zmin, std::int64_t zmax, std::int64_t step) {
  if (step <= 0 || zmax <= zmin) return 0;
  return (zmax - zmin - 1) / step;
}

Status CheckContourDensityParams(const ContourDensityParams& params) {
  if (params.interval <= 0) return Error{kBadParameter, "Hypsometric interval not specified"};
  if (params.window <= 0) return Error{kBadParameter, "Window range not specified"};
  return Status::Ok();
}

Expected<ContourDensityResult> ComputeContourDensity(const TDemModel& dem,
                                                     const ContourDensityParams& params,
                                                     ProgressSink* progress) {
  if (!dem.IsAllocated() || dem.columns <= 0 || dem.lines <= 0)
    return Error{kBadParameter, "No DEM is open"};
  if (Status status = CheckContourDensityParams(params); !status) return status.error();
  if (params.dynamism < 1 || params.dynamism > 255)
    return Error{kBadParameter, "The output dynamism must be 100 or 255"};
  if (params.unitDivisor < 1) return Error{kBadParameter, "The vertical unit must be 1, 10, 100 or 1000"};

  const int w = dem.columns;
  const int h = dem.lines;
  ContourDensityResult result;
  result.image = std::make_unique<TRasterImage>(w, h, kRasterGray);
  if (result.image->allocError) return GridMemoryError(h, w);
  const int half = params.window / 2;
  result.margin = half + 1;

  ProgressScope scope(progress);
  const TIntGrid z = TruncatedElevations(dem);
  const std::int64_t zmin = TruncatedElevation(dem.minElevation);
  const std::int64_t zmax = TruncatedElevation(dem.maxElevation);
  const std::int64_t step = static_cast<std::int64_t>(params.interval) * params.unitDivisor;
  const LevelSet levels{zmin, step, ContourLevelCount(zmin, zmax, step)};
  result.levels = static_cast<int>(std::min<std::int64_t>(levels.count, std::numeric_limits<int>::max()));
  const double p = static_cast<double>(params.unitDivisor) * dem.pixelSizeX;

  // A cell is a contour cell for the levels in [z, top): top is the highest tested neighbour
  // (border cells test three neighbours, corners none, so top = z there).
  std::vector<std::int32_t> top(static_cast<std::size_t>(w) * h);
  ParallelForLines(h, [&](int r) {
    for (int c = 0; c < w; ++c) {
      const bool first = r == 0, last = r == h - 1, left = c == 0, right = c == w - 1;
      std::int32_t t = z.At(c, r);
      if ((first || last) && (left || right)) {
        top[static_cast<std::size_t>(r) * w + c] = t;
        continue;
      }
      if (!first) t = std::max(t, z.At(c, r - 1));
      if (!last) t = std::max(t, z.At(c, r + 1));
      if (!left) t = std::max(t, z.At(c - 1, r));
      if (!right) t = std::max(t, z.At(c + 1, r));
      top[static_cast<std::size_t>(r) * w + c] = t;
    }
  });
  scope.Step(0.3);

  // Contour length of every interior cell, in thousandths of p.
  std::vector<std::int64_t> length(static_cast<std::size_t>(w) * h, 0);
  ParallelForLines(h, [&](int r) {
    if (r < 1 || r > h - 2 || levels.count == 0) return;
    for (int c = 1; c <= w - 2; ++c) {
      const std::int64_t lo = z.At(c, r);
      const std::int64_t hi = top[static_cast<std::size_t>(r) * w + c];
      if (hi <= lo) continue;
      std::int64_t sum = 0;
      for (int dr = -1; dr <= 1; ++dr)
        for (int dc = -1; dc <= 1; ++dc) {
          if (dr == 0 && dc == 0) continue;
          const std::int64_t nlo = z.At(c + dc, r + dr);
          const std::int64_t nhi = top[static_cast<std::size_t>(r + dr) * w + (c + dc)];
          const std::int64_t shared = levels.In(std::max(lo, nlo), std::min(hi, nhi));
          sum += shared * ((dr == 0 || dc == 0) ? kDirectLink : kDiagonalLink);
        }
      length[static_cast<std::size_t>(r) * w + c] = sum;
    }
  });
  scope.Step(0.6);
  if (scope.Cancelled()) return Error{kCancelled, "Cancelled"};

  const SummedAreaTable<std::int64_t> sums(
      w, h, [&](int c, int r) { return length[static_cast<std::size_t>(r) * w + c]; });

  // Window or block sums of the computed cells, then their range.
  const bool moving = params.tiling == DensityTiling::kMovingWindow;
  const int s = params.window;
  std::vector<std::int64_t> b(static_cast<std::size_t>(w) * h, 0);
  std::vector<std::uint8_t> computed(static_cast<std::size_t>(w) * h, 0);
  if (moving) {
    ParallelForLines(h, [&](int r) {
      if (r < half + 1 || r > h - half - 2) return;
      for (int c = half + 1; c <= w - half - 2; ++c) {
        b[static_cast<std::size_t>(r) * w + c] = sums.WindowSum(c, r, half);
        computed[static_cast<std::size_t>(r) * w + c] = 1;
      }
    });
  } else {
    for (int r0 = 1; r0 < h - s; r0 += s)
      for (int c0 = 1; c0 < w - s; c0 += s) {
        const std::int64_t block = sums.Sum(c0, r0, c0 + s - 1, r0 + s - 1);
        for (int r = r0; r < r0 + s; ++r)
          for (int c = c0; c < c0 + s; ++c) {
            b[static_cast<std::size_t>(r) * w + c] = block;
            computed[static_cast<std::size_t>(r) * w + c] = 1;
          }
      }
  }
  std::int64_t bmin = std::numeric_limits<std::int64_t>::max();
  std::int64_t bmax = std::numeric_limits<std::int64_t>::min();
  for (std::size_t k = 0; k < b.size(); ++k) {
    if (!computed[k]) continue;
    bmin = std::min(bmin, b[k]);
    bmax = std::max(bmax, b[k]);
  }
  const bool any = bmin <= bmax;
  // p <= 0 (no pixel size) makes every length 0: the equal-sums case.
  const bool spread = any && bmax > bmin && p > 0.0;
  result.minSum = any && p > 0.0 ? static_cast<double>(bmin) / 1000.0 * p : 0.0;
  result.maxSum = any && p > 0.0 ? static_cast<double>(bmax) / 1000.0 * p : 0.0;

  const int background = moving ? 255 : 0;
  const double dynamism = params.dynamism;
  ParallelForLines(h, [&](int r) {
    std::uint8_t* out = result.image->Row(r);
    for (int c = 0; c < w; ++c) {
      const std::size_t k = static_cast<std::size_t>(r) * w + c;
      int value = background;
      if (computed[k]) {
        value = spread ? static_cast<int>(static_cast<double>(b[k] - bmin) /
                                          static_cast<double>(bmax - bmin) * dynamism)
                       : 0;
      }
      out[c] = static_cast<std::uint8_t>(value & 255);
    }
  });
  return result;
}

}  // namespace orvane
