// Fractal dimension of the drainage network, by box counting in a moving window.
//
// Window: ws = 12 or 24 cells. The window of the centre (line y, column x) covers lines
// y - l .. y + m and columns x - l .. x + m (l = ws/2 - 1, m = ws/2), so the centre sits one cell
// before the geometric middle. Only centres with l <= y < H - m and l <= x < W - m are computed.
// Box counting: the window is tiled from its top-left corner with boxes of 1, 2, 3, 6 (and 12
// when ws = 24) cells; the count of the largest size, ws, is taken as 1 without looking. Over
// the sizes whose count is above 0, D = minus the least-squares slope of ln N against ln s;
// D = 0 with fewer than two points, and D is raised to 1.0 when below 1 (or not a number).
// Two treatments:
//   - global: every computed centre, counting all network cells of its window;
//   - segments: network centres only, counting the part of the network joined to the centre
//     inside the window (g - 1 growing sweeps then one pass along the window's edges); fewer
//     than ws joined cells leave D = 0.
// Image: gray, trunc((D - Dmin) / (Dmax - Dmin) x scale). Global scans and writes the computed
// centres only, leaving a 255 border l wide at the top and left and m at the bottom and right;
// segments scans and writes the whole grid, its untreated cells being D = 0. When every scanned
// D is equal (range 0) the pixels are 0. The histogram counts trunc(100 D) in bins 0 through
// the class of Dmax, so every scanned D is counted.
// Cost: the network is held as bit rows, so a window line is one shift and a box size a few ORs
// and a population count: O(ws) per centre for global, O(sweeps x ws) per network centre for
// segments (the sweeps stop early once one of them marks nothing new). Lines run in parallel.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/common/progress.h"
#include "core/common/result.h"
#include "core/terrain/raster_image.h"

namespace orvane {

enum class FractalMode { kGlobal, kSegments };

struct DrainageFractalParams {
  FractalMode mode = FractalMode::kGlobal;
  int windowSize = 12;     // 12 or 24
  int dynamicScale = 100;  // 100 or 255
  // When not null: D at every cell given a dimension (every centre for global; the network
  // centres whose joined segment reaches ws cells for segments), line after line; the other
  // cells are left as they are.
  float* values = nullptr;
};

// The geometry of one window size.
struct FractalWindow {
  int size = 0;        // ws
  int before = 0;      // l: cells before the centre
  int after = 0;       // m: cells after the centre
  int growLimit = 0;   // g: the segment growing runs g - 1 sweeps
  int marginGlobal = 0;
  int marginSegments = 1;
  std::vector<int> boxSizes;  // ascending; the last one is ws, whose count is forced to 1
  std::vector<double> logSize;   // ln s for each box size
  std::vector<double> logCount;  // ln N for N = 0 .. ws^2 (entry 0 unused)
};

inline constexpr int kMaxBoxSizes = 6;
using TBoxCounts = std::array<int, kMaxBoxSizes>;

// The geometry of ws = 12 or 24; an error naming the allowed sizes otherwise.
Expected<FractalWindow> FractalWindowOf(int windowSize);

struct DrainageFractalResult {
  TRasterImage image;               // gray, the network's size
  std::vector<double> dimension;    // D per cell, line after line; 0 where not computed
  std::vector<std::int32_t> histogram;  // bins 0 .. upperBound
  double minimum = 500.0;           // Dmin of the scan (500 when nothing was scanned)
  double maximum = 0.0;             // Dmax of the scan
  int upperBound = 0;               // trunc(100 Dmax): the diagram's upper bound
  int margin = 0;                   // margin of the parameter image
  int networkValue = 0;
  int computedCentres = 0;          // centres box-counted (global) or grown (segments)
};

// Fails when the window size or the scale is not one of the allowed values, when the network
// raster is empty, or when it holds no pixel other than 255 (no network value); a cancelled
// progress gives kCancelled.
Expected<DrainageFractalResult> ComputeDrainageFractal(const TRasterImage& network,
                                                       const DrainageFractalParams& params,
                                                       ProgressSink* progress = nullptr);

// The diagram's table, as its window draws it: "%lf\t%d" rows (0.01 i, count i) for
// i = 101 through trunc(100 Dmax), the maximum's class.
std::string FractalDiagramTable(const DrainageFractalResult& result);

// --- Building blocks, exposed for the tests and the benchmarks ----------------------------
// A window mask is held as ws + 1 bit rows (bit c = column c); row ws stays 0.

// Box counts N for each size of window.boxSizes (the last forced to 1); unused entries 0.
TBoxCounts BoxCounts(const std::uint32_t* rows, const FractalWindow& window);

// D from the counts of window.boxSizes, as described at the top.
double FractalDimensionFromCounts(const TBoxCounts& counts, const FractalWindow& window);

// Grows the segment of `network` joined to the cell (before, before) into `segment`
// (ws + 1 rows, overwritten) and returns the number of marked cells.
int GrowSegment(const std::uint32_t* network, std::uint32_t* segment, const FractalWindow& window);

}  // namespace orvane
