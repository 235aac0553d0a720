#include "core/morphometry/dissection_density_3d.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "core/common/grid_memory.h"
#include "core/common/summed_area.h"
#include "core/drainage/density_image.h"
#include "core/drainage/network_value.h"
#include "core/terrain/truncated_elevations.h"
#include "core/treatment/ground_cells.h"
#include "core/treatment/treatment.h"
#include "core/treatment/window_driver.h"

namespace orvane {

std::uint64_t HalfLinkFixed(int pixelSize, bool diagonal, std::int64_t d, bool surface) {
  const double h = diagonal ? pixelSize * 0.707 : pixelSize * 0.5;
  double length = h;
  if (surface && d != 0) {
    const double rise = static_cast<double>(d) * 0.5;
    length = std::sqrt(rise * rise + h * h);
  }
  return static_cast<std::uint64_t>(length * kHalfLinkUnit + 0.5);
}

Expected<Dissection3DResult> ComputeDissection3D(const TDemModel& dem, const TRasterImage& network,
                                                 const Dissection3DParams& params,
                                                 ProgressSink* progress) {
  if (const Status checked = CheckNetworkOverDem(dem, network); !checked) return checked.error();
  if (params.windowSize < 2) {
    return Error{kBadParameter, "The window size must be at least 2 pixels."};
  }
  if (params.unitDivisor <= 0) {
    return Error{kBadParameter,
                 "The vertical unit of the DEM is not set (divisor 0): open the DEM again and "
                 "complete its dynamic scale."};
  }
  if (params.pixelSize <= 0) {
    return Error{kBadParameter,
                 "The pixel size of the DEM is 0 metres: open the DEM again and complete its "
                 "dynamic scale."};
  }
  NetworkValue value;
  std::vector<std::uint8_t> mask =
      NetworkMask(network, NetworkValueRule::kFirstOfLastLine, &value);
  if (!value.found) return EmptyNetworkError();
  // NoData cells are outside the grid: never network, and out of a window's area.
  const bool partial = dem.HasNoData();
  if (partial)
    for (std::size_t k = 0; k < mask.size(); ++k)
      if (!dem.Validity()[k]) mask[k] = 0;

  const int W = network.columns;
  const int H = network.lines;
  const int n = params.windowSize;
  const int m = static_cast<int>((n - 1) * 0.5);
  const int U = params.unitDivisor;
  const int P = params.pixelSize;

  Dissection3DResult result;
  result.columns = W;
  result.lines = H;
  result.halfWidth = m;
  result.networkValue = value.value;
  result.density3D.assign(static_cast<std::size_t>(W) * H, 0.0);

  // The whole-number heights (read in place for a plain model), divided by the unit as used.
  const TIntGridView heights(dem);
  const std::int32_t* z = heights.data();

  // Half links of a network cell to its network neighbours, flat or along the surface; the
  // tables take them cell by cell, so no grid of links is kept.
  const std::uint64_t sideFlat = HalfLinkFixed(P, false, 0, false);
  const std::uint64_t diagonalFlat = HalfLinkFixed(P, true, 0, false);
  auto links = [&](int x, int y, bool surface) -> std::uint64_t {
    const std::size_t at = static_cast<std::size_t>(y) * W + x;
    if (!mask[at]) return 0;
    std::uint64_t sum = 0;
    for (int dy = -1; dy <= 1; ++dy) {
      for (int dx = -1; dx <= 1; ++dx) {
        if (dx == 0 && dy == 0) continue;
        const int nx = x + dx, ny = y + dy;
        if (nx < 0 || ny < 0 || nx >= W || ny >= H) continue;
        const std::size_t other = static_cast<std::size_t>(ny) * W + nx;
        if (!mask[other]) continue;
        const bool diagonal = dx != 0 && dy != 0;
        sum += surface ? HalfLinkFixed(P, diagonal, std::abs(static_cast<std::int64_t>(z[other] / U) - z[at] / U), true)
                       : (diagonal ? diagonalFlat : sideFlat);
      }
    }
    return sum;
  };
  WindowDriver driver(WindowFrame::Margin(W, H, m), progress, "Cancelled.");
  WindowRun& run = driver.Run();

  const double area = static_cast<double>(P) * P * (n - 1) * (n - 1);
  // With NoData, the area of a window shrinks with its share of ground cells (the lines its
  // lengths are summed over); NaN marks a window without enough ground.
  SummedAreaTable<std::int32_t> groundCells;
  if (partial) groundCells.Build(W, H, [&](int x, int y) { return dem.ValidityRow(y)[x]; });
  const std::int64_t windowCells = (2 * std::int64_t{m} + 1) * std::max(0, 2 * m - 1);
  auto areaAt = [&](int x, int y) -> double {
    if (!partial) return area;
    const std::int64_t onGround = groundCells.Sum(x - m, y - m + 1, x + m, y + m - 1);
    if (!dem.IsValid(x, y) || !EnoughGround(onGround, windowCells)) return kNoValue;
    return onGround == windowCells ? area : area * (static_cast<double>(onGround) / static_cast<double>(windowCells));
  };
  // Unsigned sums wrap harmlessly: a window's sum is exact as long as it fits in 64 bits.
  // One table at a time: the flat one only feeds its histogram. The window's first and last
  // lines are left out; all its columns take part.
  {
    const SummedAreaTable<std::uint64_t> table2(W, H, [&](int x, int y) { return links(x, y, false); });
    for (int y = m; y < H - m; ++y) {
      for (int x = m; x < W - m; ++x) {
        const std::uint64_t q2 = table2.Sum(x - m, y - m + 1, x + m, y + m - 1);
        const double windowArea = areaAt(x, y);
        if (std::isnan(windowArea)) continue;
        CountDensity(result.histogram2D, static_cast<double>(q2) / kHalfLinkUnit / windowArea * 1000.0);
      }
    }
  }
  const SummedAreaTable<std::uint64_t> table3(W, H, [&](int x, int y) { return links(x, y, true); });
  if (Status status = run.CheckCancel(); !status) return status.error();
  const Status done = driver.Lines([&](int y) {
    double* out3 = result.density3D.data() + static_cast<std::size_t>(y) * W;
    for (int x = m; x < W - m; ++x) {
      const std::uint64_t q3 = table3.Sum(x - m, y - m + 1, x + m, y + m - 1);
      const double windowArea = areaAt(x, y);
      out3[x] = std::isnan(windowArea) ? kNoValue : static_cast<double>(q3) / kHalfLinkUnit / windowArea * 1000.0;
    }
  });
  if (!done) return done.error();

  // The extremes come from the densities themselves: a fixed starting minimum would hide
  // every density above it (small pixels give densities in the thousands).
  bool first = true;
  result.minimum = 0.0;
  result.maximum = 0.0;
  for (int y = m; y < H - m; ++y) {
    for (int x = m; x < W - m; ++x) {
      const double d3 = result.density3D[static_cast<std::size_t>(y) * W + x];
      if (std::isnan(d3)) continue;
      result.minimum = first ? d3 : std::min(result.minimum, d3);
      result.maximum = first ? d3 : std::max(result.maximum, d3);
      first = false;
      CountDensity(result.histogram3D, d3);
    }
  }
  const std::size_t bins = std::max(result.histogram2D.size(), result.histogram3D.size());
  result.histogram2D.resize(bins, 0);
  result.histogram3D.resize(bins, 0);
  result.upperBound = static_cast<int>(10.0 * result.maximum);
  return result;
}

TRasterImage Dissection3DImage(const Dissection3DResult& result, int paletteChoice,
                               const TClassTable& table, bool smoothing) {
  const bool gray = paletteChoice == kGrayTones0255;
  const int m = result.halfWidth;
  TRasterImage image;
  const WindowDriver driver(WindowFrame::Margin(result.columns, result.lines, m), nullptr);
  if (!driver.Allocate(image, gray ? kRasterGray : kRasterRgb, TColor{255, 255, 255}))
    throw GridAllocationError(result.lines, result.columns);
  const double range = result.range();
  driver.QuickLines([&](int y) {
    const double* row = result.density3D.data() + static_cast<std::size_t>(y) * result.columns;
    for (int x = m; x < result.columns - m; ++x) {
      if (std::isnan(row[x])) {
        image.SetColor(x, y, Rgb(255, 255, 255));  // no density: white as the margin
      } else if (gray || table.empty()) {
        const int v = DensityGrayValue(row[x], range);
        image.SetColor(x, y, Rgb(v, v, v));
      } else {
        image.SetColor(x, y, table.ColorOf(row[x], smoothing));
      }
    }
  });
  return image;
}

ValueGrid Dissection3DValues(const Dissection3DResult& result) {
  ValueGrid values(result.columns, result.lines, "km/km2");
  for (int y = 0; y < result.lines; ++y)
    for (int x = 0; x < result.columns; ++x)
      if (result.IsCentre(x, y))
        values.At(x, y) =
            static_cast<float>(result.density3D[static_cast<std::size_t>(y) * result.columns + x]);
  return values;
}

}  // namespace orvane
