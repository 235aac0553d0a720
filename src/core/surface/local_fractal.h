// Local fractal dimension: how rough the surface is in a small square window around each cell.
//
// The patch of terrain in a (2F - 1) x (2F - 1) window (F = 6 for window size 12, 12 for 24) is
// a set of voxel columns, each as tall as its cell's elevation relative to a reference cell, in
// steps of P x H metres. The box-counting dimension of that voxel set (least-squares slope of
// ln N against ln s) is taken for two windows offset by one cell and averaged. Centres lie in
// F <= line <= lines - F, F <= column <= columns - F; the image is drawn one line and column
// short of that at the far ends, and every other pixel stays 255 (margin F + 1).
//
// Boxes are counted from column heights, never from a filled cube: a box holds a voxel exactly
// when the tallest column of its cells reaches into it, and the tallest column is the one of
// the highest cell, so each box footprint needs only its highest elevation. Cost: per centre
// one table look-up per box footprint (209 for window 12, 840 for 24), plus window maxima
// along the centre's line; lines run on every core.
// NoData: box counting over a window with missing columns would measure the hole's outline,
// so a centre whose two volumes (the 2F x 2F cells from F before it) hold any NoData cell has
// no dimension (kNoDimension): 255 in the picture, NaN in the values, out of the diagram.
#pragma once

#include <array>
#include <vector>

#include "core/common/progress.h"
#include "core/common/result.h"
#include "core/terrain/dem_model.h"
#include "core/terrain/raster_image.h"
#include "core/treatment/treatment.h"

namespace orvane {

struct LocalFractalParams {
  int windowSize = 12;       // 12 or 24
  double factorH = 0.0;      // adaptive factor H; the height step is pixelSize x H
  int unitDivisor = 1;       // stored elevation units per metre: 1, 10, 100 or 1000
  int pixelSize = 1;         // pixel size in whole metres
};

inline constexpr int kLocalFractalBins = 301;
inline constexpr double kNoDimension = -1.0;  // a centre whose window holds NoData

struct LocalFractalResult {
  TRasterImage image;        // gray; 255 outside the computed centres
  std::vector<double> dimension;  // D per cell, line after line; 0 where not computed
  double minimum = 0.0;
  double maximum = 0.0;
  std::array<int, kLocalFractalBins> diagram{};  // counts by trunc(100 D)
  int diagramUpper = 0;      // trunc(100 maximum)
  int diagramStart = 0;      // trunc(100 minimum)
  int margin = 0;            // F + 1
};

// What the diagram window shows of a result.
struct LocalFractalDiagram {
  std::array<int, kLocalFractalBins> counts{};
  int upper = 0;
  int start = 0;
};

// The value grid of a result: D on the drawn cells (the computed centres but the last line and
// column of them), NaN elsewhere.
ValueGrid LocalFractalValues(const LocalFractalResult& result, int columns, int lines,
                             int windowSize);

// Window half size F and box sizes of a window size; false for sizes other than 12 and 24.
struct LocalFractalWindow {
  int half = 0;              // F
  int side = 0;              // voxel side 2F
  std::vector<int> boxSizes;
};
bool LocalFractalWindowOf(int windowSize, LocalFractalWindow& window);

// Height of the voxel column of a cell `difference` = E(cell) - E(reference) above the
// reference, in voxels (0 ... 2F; 0 or less means an empty column).
int LocalFractalColumnHeight(long long difference, double heightStep, int half);

// Least-squares dimension from the box counts N_s of `sizes` (order kept): the sizes with
// N_s > 0 are fitted; fewer than two give 0, and so does a slope that is not negative.
double LocalFractalFit(const std::vector<int>& sizes, const int* counts);

// The elevation grid E = trunc(trunc(z) / u), line after line.
std::vector<int> LocalFractalElevations(const TDemModel& dem, int unitDivisor);

// Errors: window size not 12 or 24, height step not above 0, DEM smaller than the window.
// Min = max maps every computed cell to gray 0.
Expected<LocalFractalResult> ComputeLocalFractal(const TDemModel& dem,
                                                 const LocalFractalParams& params,
                                                 ProgressSink* progress = nullptr);

}  // namespace orvane
