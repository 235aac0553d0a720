#include "core/surface/contour_density.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "core/common/summed_area.h"
#include "core/terrain/truncated_elevations.h"
#include "core/treatment/ground_cells.h"
#include "core/treatment/treatment.h"
#include "core/treatment/window_driver.h"

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
  const int half = params.window / 2;
  result.margin = half + 1;
  const bool moving = params.tiling == ContourTiling::kMovingWindow;
  const int s = params.window;
  // The computed cells: those with the whole window, or those of the whole s x s blocks laid
  // from (1, 1).
  const int blocksDown = h - s > 1 ? (h - s - 2) / s + 1 : 0;
  const int blocksAcross = w - s > 1 ? (w - s - 2) / s + 1 : 0;
  const WindowFrame frame = moving ? WindowFrame::Margin(w, h, half + 1)
                                   : WindowFrame{w, h, 1, 1, 1 + blocksAcross * s, 1 + blocksDown * s};
  result.frame = frame;
  const int background = moving ? 255 : 0;
  result.image = std::make_unique<TRasterImage>();
  const TColor fill = Rgb(background, background, background);
  WindowDriver driver(frame, progress);
  if (Status status = driver.Allocate(*result.image, kRasterGray, fill); !status) return status.error();
  WindowRun& run = driver.Run();
  const TIntGridView z(dem);
  const bool partial = dem.HasNoData();
  // The levels count from the ground's extremes, whatever the NoData cells store.
  const GroundExtremes groundRange = partial ? GroundExtremesOf(z, dem) : GroundExtremes{};
  const std::int64_t zmin = partial ? groundRange.lowest : TruncatedElevation(dem.minElevation);
  const std::int64_t zmax = partial ? groundRange.highest : TruncatedElevation(dem.maxElevation);
  const std::int64_t step = static_cast<std::int64_t>(params.interval) * params.unitDivisor;
  const LevelSet levels{zmin, step, ContourLevelCount(zmin, zmax, step)};
  result.levels = static_cast<int>(std::min<std::int64_t>(levels.count, std::numeric_limits<int>::max()));
  const double p = static_cast<double>(params.unitDivisor) * dem.pixelSizeX;

  // A cell is a contour cell for the levels in [z, top): top is the highest tested neighbour
  // (border cells test three neighbours, corners none, so top = z there).
  auto topAt = [&](int c, int r) {
    const bool first = r == 0, last = r == h - 1, left = c == 0, right = c == w - 1;
    std::int32_t t = z.At(c, r);
    if ((first || last) && (left || right)) return t;
    if (!first) t = std::max(t, z.At(c, r - 1));
    if (!last) t = std::max(t, z.At(c, r + 1));
    if (!left) t = std::max(t, z.At(c - 1, r));
    if (!right) t = std::max(t, z.At(c + 1, r));
    return t;
  };
  // With NoData, the cells whose length is known: a length reads the cell, its eight
  // neighbours and their direct neighbours, so every cell of its 3 x 3 must have its own four
  // direct neighbours on ground (cells beyond the border count as ground: they are not read).
  std::vector<std::uint8_t> known;
  if (partial) {
    std::vector<std::uint8_t> cross(static_cast<std::size_t>(w) * h, 1);
    auto ground = [&](int c, int r) { return c < 0 || r < 0 || c >= w || r >= h || dem.IsValid(c, r); };
    for (int r = 0; r < h; ++r)
      for (int c = 0; c < w; ++c)
        cross[static_cast<std::size_t>(r) * w + c] = ground(c, r) && ground(c - 1, r) && ground(c + 1, r) &&
                                                    ground(c, r - 1) && ground(c, r + 1);
    known.assign(cross.size(), 1);
    for (int r = 0; r < h; ++r)
      for (int c = 0; c < w; ++c) {
        bool all = true;
        for (int dr = -1; dr <= 1 && all; ++dr)
          for (int dc = -1; dc <= 1 && all; ++dc) {
            const int cc = c + dc, rr = r + dr;
            if (cc >= 0 && rr >= 0 && cc < w && rr < h) all = cross[static_cast<std::size_t>(rr) * w + cc] != 0;
          }
        known[static_cast<std::size_t>(r) * w + c] = all ? 1 : 0;
      }
  }
  // Contour length of an interior cell, in thousandths of p; 0 elsewhere and where unknown.
  auto lengthAt = [&](int c, int r) -> std::int64_t {
    if (r < 1 || r > h - 2 || c < 1 || c > w - 2 || levels.count == 0) return 0;
    if (partial && !known[static_cast<std::size_t>(r) * w + c]) return 0;
    const std::int64_t lo = z.At(c, r);
    const std::int64_t hi = topAt(c, r);
    if (hi <= lo) return 0;
    std::int64_t sum = 0;
    for (int dr = -1; dr <= 1; ++dr)
      for (int dc = -1; dc <= 1; ++dc) {
        if (dr == 0 && dc == 0) continue;
        const std::int64_t nlo = z.At(c + dc, r + dr);
        const std::int64_t nhi = topAt(c + dc, r + dr);
        const std::int64_t shared = levels.In(std::max(lo, nlo), std::min(hi, nhi));
        sum += shared * ((dr == 0 || dc == 0) ? kDirectLink : kDiagonalLink);
      }
    return sum;
  };
  // The table takes the lengths cell by cell: no grid of lengths or tops is kept.
  const SummedAreaTable<std::int64_t> sums(w, h, lengthAt);
  SummedAreaTable<std::int32_t> knownCounts;
  if (partial) knownCounts.Build(w, h, [&](int c, int r) { return known[static_cast<std::size_t>(r) * w + c]; });
  run.Step(0.6);
  if (Status status = run.CheckCancel(); !status) return status.error();

  // Window or block sums of the computed cells, then their range. The sums are read from the
  // table twice (range, then image) rather than kept in a grid. With NoData a window's sum is
  // that of its cells of known length scaled to the whole window, and a cell has none when it
  // is NoData or fewer than half of its window's cells have a known length (NaN).
  const double windowCells = moving ? (2.0 * half + 1) * (2.0 * half + 1) : static_cast<double>(s) * s;
  auto sumAt = [&](int c, int r) -> double {
    int c0 = c - half, r0 = r - half, c1 = c + half, r1 = r + half;
    if (!moving) {
      r0 = 1 + (r - 1) / s * s, c0 = 1 + (c - 1) / s * s;
      r1 = r0 + s - 1, c1 = c0 + s - 1;
    }
    const double sum = static_cast<double>(sums.Sum(c0, r0, c1, r1));
    if (!partial) return sum;
    const std::int64_t count = knownCounts.Sum(c0, r0, c1, r1);
    if (!dem.IsValid(c, r) || !EnoughGround(count, static_cast<std::int64_t>(windowCells))) return kNoValue;
    return count == static_cast<std::int64_t>(windowCells) ? sum : sum * (windowCells / static_cast<double>(count));
  };
  std::vector<double> lineMin(static_cast<std::size_t>(h), std::numeric_limits<double>::infinity());
  std::vector<double> lineMax(static_cast<std::size_t>(h), -std::numeric_limits<double>::infinity());
  driver.QuickLines([&](int r) {
    for (int c = frame.firstColumn; c < frame.endColumn; ++c) {
      const double v = sumAt(c, r);
      if (std::isnan(v)) continue;
      lineMin[static_cast<std::size_t>(r)] = std::min(lineMin[static_cast<std::size_t>(r)], v);
      lineMax[static_cast<std::size_t>(r)] = std::max(lineMax[static_cast<std::size_t>(r)], v);
    }
  });
  const double bmin = *std::min_element(lineMin.begin(), lineMin.end());
  const double bmax = *std::max_element(lineMax.begin(), lineMax.end());
  const bool any = bmin <= bmax;
  // p <= 0 (no pixel size) makes every length 0: the equal-sums case.
  const bool spread = any && bmax > bmin && p > 0.0;
  result.minSum = any && p > 0.0 ? bmin / 1000.0 * p : 0.0;
  result.maxSum = any && p > 0.0 ? bmax / 1000.0 * p : 0.0;

  const double dynamism = params.dynamism;
  // With the pixel P = pixelSizeX / u in metres, length = sum / 1000 x P metres and area =
  // cells x P^2: the density in km per km2 (metres per 1000 m2) is sum / (cells x P).
  const double perSum =
      p > 0.0 ? static_cast<double>(params.unitDivisor) / (windowCells * dem.pixelSizeX) : 0.0;
  driver.QuickLines([&](int r) {
    std::uint8_t* out = result.image->Row(r);
    float* density = params.density ? params.density + static_cast<std::size_t>(r) * w : nullptr;
    for (int c = frame.firstColumn; c < frame.endColumn; ++c) {
      const double sum = sumAt(c, r);
      if (std::isnan(sum)) {
        out[c] = static_cast<std::uint8_t>(background);
        if (density) density[c] = kNoValue;
        continue;
      }
      // The sums are whole numbers below 2^53 (or their scaled values): the differences are
      // those of the integers.
      const int value = spread ? static_cast<int>((sum - bmin) / (bmax - bmin) * dynamism) : 0;
      if (density) density[c] = static_cast<float>(sum * perSum);
      out[c] = static_cast<std::uint8_t>(value & 255);
    }
  });
  return result;
}

}  // namespace orvane
