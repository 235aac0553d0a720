// Hypsometric slices: elevation classes painted with a colour table, blended with the hill
// shading, or the plain gray-tone picture of the elevations.
//
// Gray tones (no light or no table): pixel = (z - min) / ((max - min) / 255), truncated, the
// maximum giving 255. Slices: the class colour of z (first class whose bound is at least z, the
// last class above the last bound; smoothing interpolates inside classes after the first), then
// shade x (1 - w) + slice x w per channel, truncated; the shading is that of RenderShaded
// (black on the last line and column). A DEM whose minimum equals its maximum gives a black
// gray raster. Cost: one pass over the grid, lines split across the cores.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/common/progress.h"
#include "core/render/class_table.h"
#include "core/settings/light_params.h"
#include "core/terrain/dem_model.h"
#include "core/terrain/raster_image.h"

namespace orvane {

// The entries of the "Color Tables" combo box of the shadowing dialog.
enum SliceTableIndex : int {
  kSliceNone = 0,
  kSliceHypsoMap1 = 1,
  kSliceHypsoMap2 = 2,
  kSliceHypsoMap3 = 3,
  kSlicePersonalized = 4,
  kSliceGrayTones = 5,
};

const std::vector<std::string>& SliceTableNames();

// The built-in tables "HypsoMap 1" (13 entries), "HypsoMap 2" (13), "HypsoMap 3" (10), bounds in
// metres; an empty table for any other index.
TClassTable HypsoTable(int index);

// Gray tones when `light` or `table` is null or the table is empty; else the kind 2 slices.
// Null when a raster cannot be allocated or the DEM is larger than 8000 in a side.
std::unique_ptr<TRasterImage> RenderSlices(const TDemModel& dem, const TLightParams* light,
                                           const TClassTable* table, double weight,
                                           bool smoothing, ProgressSink* progress = nullptr);

}  // namespace orvane
