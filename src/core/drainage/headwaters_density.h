// Headwaters density: how many upstream ends of the drainage network lie in a square moving
// window, as a gray parameter image.
//
// Network cells are those of the network value of the last line holding network
// (NetworkValueRule::kFirstOfLastLine). A headwater is a network cell, not on the raster's
// outer border, with exactly one network cell among its eight neighbours and no lower than it
// (elevations truncated toward zero; the neighbour's height is floored at 0, so an end below
// 0 is never a headwater). Every centre at least v = half window from each edge gets the count
// c of headwaters in the (2v + 1)^2 square around it; the image holds
// trunc((c - minimum) / (maximum - minimum) x S) there, S the dynamic scale (100 or 255), and
// 255 in the v-wide border. Counts are kept exactly in 32 bits whatever the window. The minimum
// starts at 1000 and the maximum at 0. When every count is the same (maximum = minimum, for
// example no headwater at all) every centre gets 0.
// NoData cells are outside the grid: never network, and a network cell beside one is no
// headwater (as on the border). A window's count is that of its ground cells scaled to the
// whole window; a centre that is NoData, or whose window has fewer than half ground cells, has
// no count (NaN, 255 in the picture) and stays out of the extremes.
// Cost: one 3 x 3 pass and one summed-area table; each window sum is four look-ups, so a wide
// window costs the same as a narrow one.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "core/common/progress.h"
#include "core/common/result.h"
#include "core/drainage/network_value.h"
#include "core/terrain/dem_model.h"
#include "core/terrain/raster_image.h"

namespace orvane {

struct HeadwatersParams {
  int halfWindow = 0;      // v; the window is 2v + 1 cells a side
  int dynamicScale = 100;  // S
  // When not null: the count c of every centre, at its cell of the drainage raster (columns x
  // lines, line after line); the border cells are left as they are.
  float* counts = nullptr;
};

struct HeadwatersResult {
  std::unique_ptr<TRasterImage> image;  // gray, the drainage raster's size
  std::int64_t headwaters = 0;
  double minimum = 1000;  // whole counts unless NoData scales a window's count
  double maximum = 0;
  int margin = 1;  // v + 1
  NetworkValue network;
};

// 1 at headwaters, 0 elsewhere; columns x lines of the drainage raster, line after line.
// The DEM must cover the raster (checked by HeadwatersDensity).
std::vector<std::uint8_t> DetectHeadwaters(const TRasterImage& drainage, const TDemModel& dem,
                                           NetworkValue* network = nullptr);

// Errors: no raster or DEM, a raster larger than the DEM, a negative half window, a dynamic
// scale outside 1 .. 255, allocation failure.
Expected<HeadwatersResult> HeadwatersDensity(const TRasterImage& drainage, const TDemModel& dem,
                                             const HeadwatersParams& params,
                                             ProgressSink* progress = nullptr);

// Observed side in kilometres: pixel size x (2 v + 1) x 0.001.
double HeadwatersWindowSide(int pixelSize, int halfWindow);

}  // namespace orvane
