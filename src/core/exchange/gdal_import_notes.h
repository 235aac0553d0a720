// What the user is told after a GDAL raster was imported as a DEM.
#pragma once

#include <string>
#include <vector>

#include "core/exchange/gdal_raster.h"

namespace orvane {

// One line each: the unit chosen for real elevations, the NoData cells (`filled` when they were
// given the nearest valid elevation) and the raster's own warnings; empty when all is plain.
std::vector<std::string> GdalImportNotes(const GdalImportResult& result, bool filled);

}  // namespace orvane
