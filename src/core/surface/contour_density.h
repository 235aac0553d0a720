// Contour-line density: the length of contour lines (all levels together) in a square window
// around each cell, or in non-overlapping blocks, mapped to 0 .. D gray levels.
//
// Levels are zmin + k x step (step = interval x u raw units, k >= 1, below zmax) over the
// truncated elevations. At a level, a cell at or below it is a contour cell when one of its
// tested direct neighbours lies above it (interior cells test four, border cells three,
// corners none). Each interior contour cell adds 0.5 p for every direct and 0.707 p for every
// diagonal neighbour that is a contour cell at the same level (p = u x pixelSizeX).
//
// A cell is a contour cell exactly for the levels in [its height, highest tested neighbour),
// so the count of levels two neighbours share is read from the level arithmetic in O(1), and
// the lengths of all levels come in one pass whatever the number of levels. Lengths are kept
// as the exact integer 1000 L / p (500 per direct, 707 per diagonal link) and window sums go
// through a 64-bit summed-area table; the normalised result (B - Bmin) / (Bmax - Bmin) does not
// depend on p. Cost: O(lines x columns).
//
// Moving window: cells h + 1 .. size - h - 2 (h = trunc(S / 2)) get their (2h + 1)^2 window sum,
// the others 255. Squared grid: S x S blocks from line and column 1 while they start below
// size - S; each block cell gets the block sum, the others 0. When every computed sum is
// equal the computed cells get 0.
// NoData: a cell's length reads the cells two steps around it (its neighbours' tops), so it
// is known only when they are all ground; the levels count from the ground's extremes. A
// window's sum is that of its cells of known length scaled to the whole window; a cell that is
// NoData, or whose window has fewer than half cells of known length, gets the background value
// and NaN.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/common/progress.h"
#include "core/common/result.h"
#include "core/terrain/dem_model.h"
#include "core/terrain/raster_image.h"
#include "core/treatment/window_driver.h"

namespace orvane {

enum class ContourTiling { kSquaredGrid = 0, kMovingWindow = 1 };

struct ContourDensityParams {
  int window = 0;        // S, pixels
  int interval = 0;      // I, metres
  int dynamism = 100;    // D, 1 .. 255
  ContourTiling tiling = ContourTiling::kSquaredGrid;
  int unitDivisor = 1;   // u: stored units per metre (1, 10, 100, 1000)
  // When set: receives the density of every computed cell (columns x lines, line after line):
  // the window's or block's contour length over its area, in km per km2 (0 without a pixel
  // size). The cells left at the background value are not written.
  float* density = nullptr;
};

struct ContourDensityResult {
  std::unique_ptr<TRasterImage> image;  // gray, the DEM's size
  int margin = 0;                       // h + 1
  int levels = 0;                       // number of contour levels drawn
  double minSum = 0.0;                  // Bmin and Bmax: window lengths in pixel-size units
  double maxSum = 0.0;
  WindowFrame frame;                    // the computed cells
};

// "Hypsometric interval not specified" or "Window range not specified" when I or S is not
// positive (the dialog's own messages), in that order.
Status CheckContourDensityParams(const ContourDensityParams& params);

Expected<ContourDensityResult> ComputeContourDensity(const TDemModel& dem,
                                                     const ContourDensityParams& params,
                                                     ProgressSink* progress = nullptr);

inline constexpr const char* kContourDensityTitle = " CONTOUR LINE DENSITY   WINDOW SIZE ";

// Number of levels zmin + k x step (k >= 1) strictly below zmax.
std::int64_t ContourLevelCount(std::int64_t zmin, std::int64_t zmax, std::int64_t step);

}  // namespace orvane
