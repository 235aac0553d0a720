#include "core/surface/surface3d.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/common/parallel.h"
#include "core/terrain/truncated_elevations.h"
#include "core/treatment/ground_cells.h"
#include "core/treatment/window_driver.h"

namespace orvane {

namespace {

__extension__ using Fixed = __int128;

// Areas in units of 2^-56: every area of a cell of at least one unit is a whole number of
// these units, so the conversion is exact and sums of them are exact.
constexpr double kFixedScale = 0x1p56;
constexpr double kFixedUnit = 0x1p-56;

double Heron(double x, double y, double z) {
  const double s = (x + y + z) * 0.5;
  const double p = s * (s - x) * (s - y) * (s - z);
  return p > 0.0 ? std::sqrt(p) : 0.0;  // a rounding below zero is a flat triangle
}

}  // namespace

double Surface3DCellArea(int centre, const int neighbours[8], int pixel) {
  const double g = 0.5 * pixel;
  const double q = std::sqrt(2.0) * g;
  double a[8];
  for (int k = 0; k < 8; ++k) a[k] = (static_cast<double>(neighbours[k]) - centre) * 0.5;
  double area = 0.0;
  for (int k = 0; k < 8; ++k) {
    const int next = (k + 1) % 8;
    // Even positions (NW, NE, SE, SW) are diagonal midpoints, odd ones direct.
    const double h1 = (k % 2 == 0) ? q : g;
    const double h2 = (next % 2 == 0) ? q : g;
    const double x = std::sqrt(h1 * h1 + a[k] * a[k]);
    const double y = std::sqrt(h2 * h2 + a[next] * a[next]);
    const double z = std::sqrt(g * g + (a[k] - a[next]) * (a[k] - a[next]));
    area += Heron(x, y, z);
  }
  return area;
}

std::vector<double> Surface3DCellAreas(const TDemModel& dem, int pixel, ProgressSink* cancel) {
  const int lines = dem.lines, columns = dem.columns;
  std::vector<double> areas(static_cast<std::size_t>(std::max(lines, 0)) * std::max(columns, 0), 0.0);
  if (lines < 3 || columns < 3) return areas;
  const TIntGrid z = TruncatedElevations(dem);
  const TGroundCounts ground(dem);
  ParallelForLines(lines - 2, [&](int index) {
    const int r = index + 1;
    const std::int32_t* up = z.Row(r - 1);
    const std::int32_t* mid = z.Row(r);
    const std::int32_t* down = z.Row(r + 1);
    double* out = areas.data() + static_cast<std::size_t>(r) * columns;
    for (int c = 1; c < columns - 1; ++c) {
      if (ground.HasNoData() && ground.WindowCount(c, r, 1) != 9) {
        out[c] = kUnknownArea;  // the area rests on a NoData cell
        continue;
      }
      const int around[8] = {up[c - 1], up[c], up[c + 1], mid[c + 1],
                             down[c + 1], down[c], down[c - 1], mid[c - 1]};
      out[c] = Surface3DCellArea(mid[c], around, pixel);
    }
  }, cancel);
  return areas;
}

Expected<Surface3DResult> ComputeSurface3D(const TDemModel& dem, const Surface3DParams& params,
                                           ProgressSink* progress) {
  const int S = params.windowSize;
  if (S < 1) return Error{kBadParameter, "The window size must be at least 1"};
  const double pixelSize = dem.pixelSizeX;
  if (!(pixelSize >= 1.0)) return Error{kBadParameter, "The pixel size must be at least 1"};
  // A cell's area stays far inside the fixed-point range; the total is checked below. A 250 m
  // cell in tenths of a millimetre is 2.5e6 units.
  if (pixelSize > 1.0e8) return Error{kBadParameter, "The pixel size is too large for the surface computation"};
  const int d = static_cast<int>(pixelSize);
  const int i = (S - 1) / 2;
  const int lines = dem.lines, columns = dem.columns;
  // The border cells have no area, so the centres keep i + 1 cells from every border.
  const WindowFrame frame = WindowFrame::Margin(columns, lines, i + 1);
  if (Status fits = CheckWindowFits(dem, 2 * std::int64_t{i} + 3, "The window is larger than the DEM"); !fits)
    return fits.error();
  WindowDriver driver(frame, progress);
  WindowRun& run = driver.Run();

  const std::vector<double> areas = Surface3DCellAreas(dem, d, run.CancelOnly());
  if (Status status = run.CheckCancel(); !status) return status.error();
  const bool partial = dem.HasNoData();
  double total = 0.0;
  for (double a : areas) total += a > 0.0 ? a : 0.0;
  if (!(total < 0x1p69)) {  // keeps every fixed-point sum inside 128 bits
    return Error{kBadParameter, "The elevations are too large for the surface computation"};
  }
  const double planimetric = static_cast<double>(S) * S * d * d;
  Surface3DResult result;
  result.half = i;
  result.margin = i + 1;
  if (Status status = driver.Allocate(result.image, kRasterGray, Rgb(255, 255, 255)); !status)
    return status.error();
  result.ratio.assign(static_cast<std::size_t>(lines) * columns, 0.0);
  const int firstCentre = frame.firstLine;
  const int lastLine = frame.endLine, lastColumn = frame.endColumn;  // excluded
  // Window sums of the fixed-point areas without a whole-grid table: column sums over the
  // window's lines rolled down a block of centre lines, then a running sum along each line.
  // The sums are exact integers, so they equal the table's whatever the order.
  auto fixedAt = [&](int l, int c) {
    const double a = areas[static_cast<std::size_t>(l) * columns + c];
    return a > 0.0 ? static_cast<Fixed>(a * kFixedScale) : Fixed{0};
  };
  // With NoData, the cells of known area: the window's ratio is taken over them.
  auto knownAt = [&](int l, int c) {
    return areas[static_cast<std::size_t>(l) * columns + c] == kUnknownArea ? 0 : 1;
  };
  const std::int64_t windowCells = (2 * std::int64_t{i} + 1) * (2 * std::int64_t{i} + 1);
  constexpr int kBlockLines = 64;
  const Status done = driver.Blocks(
      kBlockLines,
      [&](int r0, int r1) {
        std::vector<Fixed> column(static_cast<std::size_t>(columns), 0);
        std::vector<std::int64_t> known(partial ? static_cast<std::size_t>(columns) : 0, 0);
        for (int l = r0 - i; l <= r0 + i; ++l)
          for (int c = 0; c < columns; ++c) {
            column[static_cast<std::size_t>(c)] += fixedAt(l, c);
            if (partial) known[static_cast<std::size_t>(c)] += knownAt(l, c);
          }
        for (int r = r0; r < r1; ++r) {
          if (r > r0) {
            for (int c = 0; c < columns; ++c) {
              column[static_cast<std::size_t>(c)] += fixedAt(r + i, c) - fixedAt(r - i - 1, c);
              if (partial) known[static_cast<std::size_t>(c)] += knownAt(r + i, c) - knownAt(r - i - 1, c);
            }
          }
          double* out = result.ratio.data() + static_cast<std::size_t>(r) * columns;
          Fixed running = 0;
          std::int64_t runningKnown = 0;
          for (int c = firstCentre - i; c <= firstCentre + i; ++c) {
            running += column[static_cast<std::size_t>(c)];
            if (partial) runningKnown += known[static_cast<std::size_t>(c)];
          }
          for (int c = firstCentre; c < lastColumn; ++c) {
            if (!partial || runningKnown == windowCells) {
              out[c] = static_cast<double>(running) * kFixedUnit / planimetric;
            } else if (!dem.IsValid(c, r) || !EnoughGround(runningKnown, windowCells)) {
              out[c] = kNoRatio;
            } else {
              // The known cells' areas stand for the whole window's.
              out[c] = static_cast<double>(running) * kFixedUnit / planimetric *
                       (static_cast<double>(windowCells) / static_cast<double>(runningKnown));
            }
            if (c + 1 < lastColumn) {
              running += column[static_cast<std::size_t>(c + i + 1)] - column[static_cast<std::size_t>(c - i)];
              if (partial)
                runningKnown += known[static_cast<std::size_t>(c + i + 1)] - known[static_cast<std::size_t>(c - i)];
            }
          }
        }
      });
  if (!done) return done.error();

  double qmin = std::numeric_limits<double>::infinity();
  double qmax = -std::numeric_limits<double>::infinity();
  for (int r = firstCentre; r < lastLine; ++r) {
    for (int c = firstCentre; c < lastColumn; ++c) {
      const double q = result.ratio[static_cast<std::size_t>(r) * columns + c];
      if (q == kNoRatio) continue;
      qmin = std::min(qmin, q);
      qmax = std::max(qmax, q);
    }
  }
  if (qmin > qmax) qmin = qmax = 0.0;  // no centre has enough ground
  result.minimum = qmin;
  result.maximum = qmax;

  const double spread = qmax - qmin;
  driver.QuickLines([&](int r) {
    std::uint8_t* row = result.image.Row(r);
    const double* q = result.ratio.data() + static_cast<std::size_t>(r) * columns;
    for (int c = firstCentre; c < lastColumn; ++c) {
      // A uniform ratio (flat ground, a plane) has no scale: every centre is drawn 0.
      if (q[c] == kNoRatio) {
        row[c] = 255;
      } else {
        row[c] = spread > 0.0 ? static_cast<std::uint8_t>((q[c] - qmin) / spread * 100.0) : 0;
      }
    }
  });
  return result;
}

}  // namespace orvane
