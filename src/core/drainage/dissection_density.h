// Dissection density: how much drainage network lies in a square window, in pixel units.
//
// Network cells are those of the first non-255 gray value in line-major order
// (NetworkValueRule::kFirstInRasterOrder). Four variants, two tilings by two measures:
//   - grid: adjacent ws x ws blocks from the top-left corner; the strip beyond the last whole
//     block at the right and bottom belongs to no window. Pixel density counts the network
//     cells Np of the block, d = Np / (ws x ws) x 100; drainage length sums L over the cells
//     with offsets 1 .. ws - 2 (the block's outer ring is read only as neighbours),
//     d = L / (ws - 1)^2 x 100. A window's value goes to every pixel of its block.
//   - moving window: a window for every centre t <= y < H - t, t <= x < W - t, t = trunc(ws/2),
//     over lines y - t .. y + t and columns x - t .. x + t - 1 (one column fewer on the right).
//     Pixel density divides Np by the (2t + 1) x 2t cells visited; drainage length divides L by
//     (ws - 1)^2. The value goes to the centre only.
// L: every network cell adds 0.5 per network side neighbour and 0.707 per network diagonal
// neighbour, neighbours read anywhere in the raster (never outside it), so each link counts
// from both ends. Side and diagonal links are counted as integers and L = 0.5 sides +
// 0.707 diagonals. The pixel size does not enter d.
// Window sizes below 2 are refused (a moving window of 1 visits no column, a length window of
// 1 divides by zero). A raster without network gives density 0 everywhere.
// Cost: summed-area tables of the network cells and of their links; each window is a handful of
// look-ups, so a 51-pixel moving window costs the same as a 5-pixel one.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/common/progress.h"
#include "core/common/result.h"
#include "core/drainage/network_value.h"
#include "core/terrain/raster_image.h"
#include "core/treatment/window_driver.h"

namespace orvane {

class TDemModel;

enum class DensityTiling { kGrid, kMoving };
enum class DensityMeasure { kPixels, kLength };

struct DissectionParams {
  DensityTiling tiling = DensityTiling::kGrid;
  DensityMeasure measure = DensityMeasure::kPixels;
  int windowSize = 0;  // ws in pixels
  // The DEM under the raster, when of its size: its NoData cells are never network and are
  // left out of a window's area (the density is per cell of ground). A window with fewer than
  // half ground cells, or a moving window centred on NoData, has no density (NaN).
  const TDemModel* ground = nullptr;
};

// The densities of every window of one run, in the order of the windows (line-major over block
// or centre positions), with the extent of the raster they cover.
struct DensityField {
  int columns = 0;  // raster size
  int lines = 0;
  DensityTiling tiling = DensityTiling::kGrid;
  int windowSize = 0;
  int windowsX = 0;  // blocks or centres per line
  int windowsY = 0;
  int firstX = 0;    // grid: 0; moving: t
  int firstY = 0;
  std::vector<double> density;  // NaN for a window without enough ground
  double minimum = 500.0;  // starts at 500 and 0 as the treatment always did
  double maximum = 0.0;
  // The diagram: counts by trunc(10 x density) through `bound`, the densest window's class.
  std::vector<std::int32_t> histogram;
  int bound = 0;
  NetworkValue network;

  // The output pixels of window (i, j): a block or a single centre, as [x0, x1) x [y0, y1).
  void OutputRect(int i, int j, int& x0, int& y0, int& x1, int& y1) const;
  // The pixels given a density: the whole blocks, or the centres.
  WindowFrame Frame() const;
};

// The title the treatment gives its parameter image.
const char* DissectionTitle(const DissectionParams& params);

Expected<DensityField> ComputeDissectionDensity(const TRasterImage& drainage,
                                                const DissectionParams& params,
                                                ProgressSink* progress = nullptr);

// Window side in kilometres: pixel size x ws x 0.001, in single precision as the dialog keeps it.
float DissectionWindowSide(int pixelSize, int windowSize);

}  // namespace orvane
