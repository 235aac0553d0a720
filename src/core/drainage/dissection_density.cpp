#include "core/drainage/dissection_density.h"

#include <algorithm>
#include <cmath>

#include "core/common/summed_area.h"
#include "core/drainage/density_image.h"
#include "core/terrain/dem_model.h"
#include "core/treatment/ground_cells.h"
#include "core/treatment/treatment.h"
#include "core/treatment/window_driver.h"

namespace orvane {

void DensityField::OutputRect(int i, int j, int& x0, int& y0, int& x1, int& y1) const {
  if (tiling == DensityTiling::kGrid) {
    x0 = i * windowSize;
    y0 = j * windowSize;
    x1 = x0 + windowSize;
    y1 = y0 + windowSize;
  } else {
    x0 = firstX + i;
    y0 = firstY + j;
    x1 = x0 + 1;
    y1 = y0 + 1;
  }
}

WindowFrame DensityField::Frame() const {
  const int span = tiling == DensityTiling::kGrid ? windowSize : 1;
  return {columns, lines, firstX, firstY, firstX + windowsX * span, firstY + windowsY * span};
}

const char* DissectionTitle(const DissectionParams& params) {
  const bool grid = params.tiling == DensityTiling::kGrid;
  if (params.measure == DensityMeasure::kPixels) {
    return grid ? " PIXEL DENSITY   GRID SIZE " : " PIXEL DENSITY   MOVING WINDOW SIZE ";
  }
  return grid ? " DISSECTION DENSITY   GRID SIZE " : " DISSECTION DENSITY   MOVING WINDOW SIZE ";
}

float DissectionWindowSide(int pixelSize, int windowSize) {
  return static_cast<float>(pixelSize * windowSize * 0.001);
}

namespace {

// Per network cell, the number of network cells among its side and diagonal neighbours.
void CountLinks(const std::vector<std::uint8_t>& net, int w, int h, std::vector<std::uint8_t>& sides,
                std::vector<std::uint8_t>& diagonals) {
  sides.assign(net.size(), 0);
  diagonals.assign(net.size(), 0);
  auto at = [&](int x, int y) -> int {
    return x >= 0 && y >= 0 && x < w && y < h ? net[static_cast<std::size_t>(y) * w + x] : 0;
  };
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const std::size_t i = static_cast<std::size_t>(y) * w + x;
      if (!net[i]) continue;
      sides[i] = static_cast<std::uint8_t>(at(x, y - 1) + at(x, y + 1) + at(x - 1, y) + at(x + 1, y));
      diagonals[i] = static_cast<std::uint8_t>(at(x - 1, y - 1) + at(x + 1, y - 1) +
                                               at(x - 1, y + 1) + at(x + 1, y + 1));
    }
  }
}

}  // namespace

Expected<DensityField> ComputeDissectionDensity(const TRasterImage& drainage,
                                                const DissectionParams& params,
                                                ProgressSink* progress) {
  if (!drainage.IsAllocated()) return Error{kBadParameter, "No drainage network"};
  if (params.windowSize < 2) {
    return Error{kBadParameter, "The window size must be at least 2 pixels"};
  }
  DensityField field;
  field.columns = drainage.columns;
  field.lines = drainage.lines;
  field.tiling = params.tiling;
  field.windowSize = params.windowSize;
  const int w = drainage.columns;
  const int h = drainage.lines;
  const int ws = params.windowSize;
  std::vector<std::uint8_t> net =
      NetworkMask(drainage, NetworkValueRule::kFirstInRasterOrder, &field.network);
  // NoData cells of the DEM under the raster are outside the grid: never network, and out of
  // the windows' area.
  const TDemModel* dem = params.ground;
  const bool partial = dem && dem->HasNoData() && dem->columns == w && dem->lines == h;
  SummedAreaTable<std::int32_t> groundCells;
  if (partial) {
    for (std::size_t k = 0; k < net.size(); ++k)
      if (!dem->Validity()[k]) net[k] = 0;
    groundCells.Build(w, h, [&](int x, int y) { return dem->ValidityRow(y)[x]; });
  }

  int x0 = 0, y0 = 0;  // window cells [x0 + a, x0 + b) relative to each window's anchor
  int cx0 = 0, cy0 = 0, cx1 = 0, cy1 = 0;
  double pixelDivisor = 0.0;
  if (params.tiling == DensityTiling::kGrid) {
    field.windowsX = w / ws;
    field.windowsY = h / ws;
    if (params.measure == DensityMeasure::kPixels) {
      cx0 = 0, cy0 = 0, cx1 = ws, cy1 = ws;
    } else {
      cx0 = 1, cy0 = 1, cx1 = ws - 1, cy1 = ws - 1;
    }
    pixelDivisor = static_cast<double>(ws) * ws;
  } else {
    const int t = static_cast<int>(ws * 0.5);
    field.firstX = t;
    field.firstY = t;
    field.windowsX = std::max(0, w - 2 * t);
    field.windowsY = std::max(0, h - 2 * t);
    x0 = t;
    y0 = t;
    cx0 = -t, cy0 = -t, cx1 = t, cy1 = t + 1;
    pixelDivisor = static_cast<double>(2 * t + 1) * (2 * t);
  }
  const int step = params.tiling == DensityTiling::kGrid ? ws : 1;
  field.density.assign(static_cast<std::size_t>(field.windowsX) * field.windowsY, 0.0);
  // A line of windows at a time: a line of blocks, or a line of centres.
  WindowDriver driver(field.Frame(), progress, "Dissection density cancelled");

  auto compute = [&](auto zero) {
    using T = decltype(zero);
    // Window sums over [x0, x1) x [y0, y1). Tables of unsigned sums wrap harmlessly: a window's
    // sum (at most 8 links per cell) is exact as long as it fits, so 32 bits do for windows up
    // to 23000 cells wide, 64 bits beyond.
    using Table = SummedAreaTable<T>;
    auto tableOf = [&](const std::vector<std::uint8_t>& v) {
      return Table(w, h, [&](int x, int y) { return v[static_cast<std::size_t>(y) * w + x]; });
    };
    auto sum = [](const Table& t, int x0, int y0, int x1, int y1) {
      return t.Sum(x0, y0, x1 - 1, y1 - 1);
    };
    Table cells;
    Table sideLinks;
    Table diagonalLinks;
    if (params.measure == DensityMeasure::kPixels) {
      cells = tableOf(net);
    } else {
      std::vector<std::uint8_t> sides;
      std::vector<std::uint8_t> diagonals;
      CountLinks(net, w, h, sides, diagonals);
      sideLinks = tableOf(sides);
      diagonalLinks = tableOf(diagonals);
    }
    auto length = [&](int x0, int y0, int x1, int y1) {
      return 0.5 * static_cast<double>(sum(sideLinks, x0, y0, x1, y1)) +
             0.707 * static_cast<double>(sum(diagonalLinks, x0, y0, x1, y1));
    };
    const double lengthDivisor = static_cast<double>(ws - 1) * (ws - 1);

    return driver.Blocks(
        step,
        [&](int ay, int) {
          const int j = (ay - y0) / step;
          double* out = field.density.data() + static_cast<std::size_t>(j) * field.windowsX;
          for (int i = 0; i < field.windowsX; ++i) {
            const int ax = x0 + i * step;
            double d;
            // The share of the window on ground: its area shrinks with it.
            double share = 1.0;
            if (partial) {
              const std::int64_t area = static_cast<std::int64_t>(cx1 - cx0) * (cy1 - cy0);
              const std::int64_t onGround = groundCells.Sum(ax + cx0, ay + cy0, ax + cx1 - 1, ay + cy1 - 1);
              const bool centreOnGround = params.tiling == DensityTiling::kGrid || dem->IsValid(ax, ay);
              if (!centreOnGround || !EnoughGround(onGround, area)) {
                out[i] = kNoValue;
                continue;
              }
              share = static_cast<double>(onGround) / static_cast<double>(area);
            }
            if (params.measure == DensityMeasure::kPixels) {
              const auto np = sum(cells, ax + cx0, ay + cy0, ax + cx1, ay + cy1);
              d = static_cast<double>(np) / (share == 1.0 ? pixelDivisor : pixelDivisor * share) * 100.0;
            } else {
              d = length(ax + cx0, ay + cy0, ax + cx1, ay + cy1) /
                  (share == 1.0 ? lengthDivisor : lengthDivisor * share) * 100.0;
            }
            out[i] = d;
          }
        });
  };
  const Status done = 8.0 * ws * ws < 4294967296.0 ? compute(std::uint32_t{}) : compute(std::uint64_t{});
  if (!done) return done.error();
  for (const double d : field.density) {
    if (std::isnan(d)) continue;
    field.minimum = std::min(field.minimum, d);
    field.maximum = std::max(field.maximum, d);
    CountDensity(field.histogram, d);
  }
  field.bound = std::max(0, DensityHistogramBin(field.maximum));
  field.histogram.resize(static_cast<std::size_t>(field.bound) + 1, 0);
  return field;
}

}  // namespace orvane
