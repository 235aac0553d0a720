// How a picture shows its NoData cells: one colour no other cell of it shows, and the mask
// kept in the picture (histograms, GeoTIFF outputs and the status bar read it).
#pragma once

#include <cstdint>
#include <vector>

#include "core/terrain/raster_image.h"

namespace orvane {

// The colour a picture's NoData cells are painted in: the first of a fixed list (magenta,
// cyan, ...) that no other cell of the picture shows.
TColor NoDataColourFor(const TRasterImage& picture, const std::vector<std::uint8_t>& noData);

// Paints the `noData` cells (1 = NoData, lines x columns) in one colour no other cell shows and
// keeps the mask in the picture. A gray picture becomes a palette picture on the gray ramp with
// one free level given the NoData colour (its levels, the content, unchanged), or 24-bit when
// all 256 levels are used; a palette picture likewise takes a free entry.
void PaintNoData(TRasterImage& picture, const std::vector<std::uint8_t>& noData);

}  // namespace orvane
