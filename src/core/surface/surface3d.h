// Surface 3D: how much the real terrain surface exceeds its map area around each cell.
//
// Every interior cell gets the 3D area of eight triangles (centre, and the midpoints towards
// two consecutive neighbours; Heron's formula) on truncated elevations and the whole-unit pixel
// size d. The ratio Q = (sum of the areas over the (2i + 1)^2 window, i = trunc((S - 1) / 2))
// / (S^2 d^2) is 1 on flat ground and grows with roughness; it is stretched over gray 0 ... 100.
// Centres: i + 1 <= line < lines - i - 1 (columns alike); every other pixel stays 255.
//
// Cost: the areas once per cell, then each window sum in four look-ups of a summed-area table.
// The table holds the areas in exact fixed point (units of 2^-56), so a window sum is the exact
// sum of its cells' areas whatever the window size, and equals a plain window scan bit for bit.
// NoData: a cell's area rests on its eight neighbours, so a cell with a NoData cell among them
// has no area (kUnknownArea); the ratio is taken over the known areas of the window, scaled to
// the whole window. A centre that is NoData, or whose window holds fewer than half cells of
// known area, has no ratio (kNoRatio): 255 in the picture, NaN in the values.
#pragma once

#include <vector>

#include "core/common/progress.h"
#include "core/common/result.h"
#include "core/terrain/dem_model.h"
#include "core/terrain/raster_image.h"

namespace orvane {

struct Surface3DParams {
  int windowSize = 3;  // S, at least 1
};

// The area of a cell that rests on NoData, and the ratio of a centre without one.
inline constexpr double kUnknownArea = -1.0;
inline constexpr double kNoRatio = -1.0;

struct Surface3DResult {
  TRasterImage image;          // gray 0 ... 100, 255 outside the centres
  std::vector<double> ratio;   // Q per cell, line after line; 0 where not computed, kNoRatio
                               // where NoData leaves it without one
  double minimum = 0.0;        // Qmin
  double maximum = 0.0;        // Qmax
  int half = 0;                // i
  int margin = 0;              // i + 1: the border that holds no value
};

// The 3D area of every interior cell (lines and columns 1 ... size - 2; 0 on the border),
// line after line, for whole-unit pixel size `pixel`; kUnknownArea where the cell or one of
// its neighbours is NoData.
// Stops early (the remaining lines 0) when `cancel` turns true.
std::vector<double> Surface3DCellAreas(const TDemModel& dem, int pixel,
                                       ProgressSink* cancel = nullptr);

// Area of one cell from its truncated elevation and its eight neighbours' in the order NW, N,
// NE, E, SE, S, SW, W.
double Surface3DCellArea(int centre, const int neighbours[8], int pixel);

// Errors: S below 1, pixel size under one unit, no centre inside the DEM. Qmax = Qmin maps every
// centre to gray 0.
Expected<Surface3DResult> ComputeSurface3D(const TDemModel& dem, const Surface3DParams& params,
                                           ProgressSink* progress = nullptr);

}  // namespace orvane
