// What the import dialog shows of a raster GDAL reads, as text.
#pragma once

#include <array>
#include <string>

#include "core/exchange/gdal_raster.h"

namespace orvane {

// The file, "lines x columns", the data type, the coordinate system ("unknown" without one,
// "(degrees)" after a geographic one) and the ground size of a cell in metres ("no
// georeference" without a geotransform; "at latitude ..." for degrees, whose size varies).
std::array<std::string, 5> GdalRasterFigures(const GdalRasterInfo& info);

// "N bands: band 1 is imported" for a raster of several bands, else empty.
std::string GdalBandNote(const GdalRasterInfo& info);

}  // namespace orvane
