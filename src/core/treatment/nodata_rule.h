// What a result shows where the DEM has NoData cells.
//
// A value that rests on unknown ground has no value: NaN in the value grid. A treatment
// decides which cells those are (its declaration states the rule); the helpers below serve
// the treatments that read a square window around each cell, and give every result the same
// marking: NaN values, one NoData colour in the picture that no other cell of it shows, and
// the picture's NoData mask (which histograms, GeoTIFF outputs and the status bar read).
// Without NoData in the DEM nothing is touched, so results stay exactly what they were.
#pragma once

#include <cstdint>
#include <vector>

#include "core/treatment/treatment.h"
#include "core/terrain/dem_model.h"
#include "core/terrain/nodata_paint.h"
#include "core/terrain/raster_image.h"

namespace orvane {

// 1 where the square window of half-size `radius` around the cell, clipped to the grid (with
// `shrinkToFit`: shrunk to the largest window that fits inside the grid, as the shape surfaces
// do), holds a NoData cell of the DEM; 0 elsewhere. Empty when the DEM has no NoData cell.
std::vector<std::uint8_t> NoDataInWindows(const TDemModel& dem, int radius,
                                          bool shrinkToFit = false);

// NaN in the values and the picture painted on the `noData` cells (nothing when it is empty).
// A gray picture keeps its levels as the .raw content: its NoData cells hold the free level
// they were given, or 170 (magenta's gray) when the valid cells use all 256 levels.
void ApplyNoData(TreatmentOutput& output, const std::vector<std::uint8_t>& noData);

// The rule of the treatments that read the cell's 3 x 3 neighbourhood.
inline constexpr const char* kNeighbourNoDataRule =
    "NaN where the cell or one of its 8 neighbours is NoData";

}  // namespace orvane
