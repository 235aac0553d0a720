// Ratio of drainage depth to surface relief in a square moving window.
//
// Window of ws pixels: half size v = trunc(ws / 2); the window of the centre (line y, column x)
// covers lines y - v .. y + v and columns x - v .. x + v. Only centres with v <= y < H - v and
// v <= x < W - v are computed; the border, v pixels wide, stays 0.
// Rs = highest minus lowest trunc(elevation) of the window; Rn = the same over the window's
// network cells. q = Rn / Rs x S (S = 100 or 255), 0 when Rs = 0 or when the window holds no
// network cell; the pixel is trunc(q), held within 0 .. 255. The extremes are taken from the
// window's own cells, so terrain below 0 (or above a million units) gives true reliefs.
// NoData cells are outside the grid: never network, and out of both reliefs; a centre that is
// NoData, or whose window has fewer than half ground cells, has no ratio (NaN, 0 in the picture).
// Network cells: gray value equal to the first pixel, in line-major order, that is not 255.
// Cost: O(lines x columns) whatever the window: running minimum and maximum along lines, then
// along columns.
#pragma once

#include "core/common/progress.h"
#include "core/common/result.h"
#include "core/terrain/dem_model.h"
#include "core/terrain/raster_image.h"

namespace orvane {

struct RatioDepthParams {
  int windowSize = 0;      // ws, pixels (0 and 1 give the single centre cell)
  int dynamicScale = 255;  // S: 100 or 255
  // When not null: Rn / Rs of every centre (0 where the picture has q = 0 for want of relief or
  // network), line after line over the network's size; the border is left as it is.
  float* ratios = nullptr;
};

struct RatioDepthResult {
  TRasterImage image;  // gray, the network's size
  int halfSize = 0;    // v
  int networkValue = 0;
  int margin = 2;      // margin of the parameter image
};

// Fails with a message when the DEM and the network differ in size or are empty, when the
// network holds no pixel other than 255, when ws < 0 or S is not 100 or 255, or when cancelled.
Expected<RatioDepthResult> ComputeRatioDepth(const TDemModel& dem, const TRasterImage& network,
                                             const RatioDepthParams& params,
                                             ProgressSink* progress = nullptr);

}  // namespace orvane
