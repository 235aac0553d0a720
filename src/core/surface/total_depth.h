// Total depth: the vertical extent of the terrain in a square window around each cell.
//
// For every centre h <= line < lines - h, h <= column < columns - h (h = trunc(S / 2), window
// (2h + 1) x (2h + 1) cells) the window relief M - m of the truncated elevations is the depth
// value: the first pass gives its smallest and largest value over the DEM (the dialog's Min and
// Max, and the bounds its "Scale" spreads the classes over), the second pass colours it with a
// 10-class table (optionally smoothed) or as gray min(M - m, 255). Cells closer than h to a
// border stay white (margin h + 1).
//
// NoData: the relief is that of the window's ground cells; a centre that is NoData, or whose
// window holds fewer than half ground cells, has none (kNoRelief): white in the picture, NaN
// in the values, left out of Min and Max.
// Cost: window minima and maxima by running extremes along the lines and down the columns,
// about six comparisons per cell whatever S; then one colour look-up per cell.
#pragma once

#include <vector>

#include "core/common/progress.h"
#include "core/common/result.h"
#include "core/render/class_table.h"
#include "core/terrain/dem_model.h"
#include "core/terrain/raster_image.h"

namespace orvane {

// The items of the dialog's "Color Tables" box, in order.
enum TotalDepthPalette : int {
  kDepthColored = 0,   // "Colored Palette"
  kDepthGray = 1,      // "Gray Tones Palette"
  kDepthGray255 = 2,   // "Gray Tones (0, 255)": no table, gray levels of the relief
};

// The dialog's class table: the 10 classes of the palette (none for gray 0 ... 255), with the
// bounds spread over (min, max] when `scale` is set.
TClassTable TotalDepthClassTable(int palette, bool scale, double min, double max);

// The relief of a centre without one (NoData).
inline constexpr int kNoRelief = -1;

struct TotalDepthRelief {
  int columns = 0;
  int lines = 0;
  int half = 0;                  // h
  std::vector<int> relief;       // M - m per cell, line after line; 0 where not computed,
                                 // kNoRelief where NoData leaves it without one
  int minimum = 0;               // smallest and largest relief over the centres
  int maximum = 0;
};

// First pass. Errors: S below 1, window larger than the DEM.
Expected<TotalDepthRelief> ComputeTotalDepthRelief(const TDemModel& dem, int windowSize,
                                                   ProgressSink* progress = nullptr);

// The relief of every centre in metres (stored units / `unitFactor`), written into `metres`
// (columns x lines, line after line); the cells outside the centres are left as they are.
void TotalDepthMetres(const TotalDepthRelief& relief, int unitFactor, float* metres);

// Second pass: a colour raster of the DEM's size, white outside the centres. Throws
// GridAllocationError when the raster cannot be had.
TRasterImage RenderTotalDepth(const TotalDepthRelief& relief, int palette,
                              const TClassTable& table, bool smoothing);

}  // namespace orvane
