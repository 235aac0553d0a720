// Cast shadows: which pixels the relief hides from a distant light.
//
// Rays parallel to the light cross the grid; along each ray, from the border facing the light,
// points one pixel apart are lifted to h = z cos E + k x pixelSizeX x sin E (z interpolated
// bilinearly, k the step number). A point lower than the highest point before it on the ray is
// in shadow. Lit pixels are 255, shadowed ones attenuation x 255 truncated (1 when that is 0).
// Pixels are walked in line order and a ray is cast only from a pixel no earlier ray has
// reached; a ray whose sample points step past its own starting pixel decides that pixel from
// the same running maximum. Cost: about one ray per line of pixels parallel to the light, each
// as long as the grid's diagonal; sequential, as every ray depends on the earlier ones.
#pragma once

#include <memory>

#include "core/common/progress.h"
#include "core/terrain/dem_model.h"
#include "core/terrain/raster_image.h"

namespace orvane {

struct TRayClip {
  bool found = false;
  // Backward point (against the ray's direction) and forward point.
  double x1 = 0, y1 = 0;
  double x2 = 0, y2 = 0;
};

// Where the line through (x, y) with direction `angle` (radians, 0 along increasing columns,
// pi/2 along increasing lines) meets the border of [0, columns - 1] x [0, lines - 1]. The line
// point + t x 2 x diagonal x (cos, sin) is intersected with the four border segments; the
// crossing with the smallest t is the backward point, the one with the largest t the forward
// point (a point on the border crosses it at t = 0); a single crossing serves as both.
TRayClip ClipRayToGrid(int columns, int lines, double x, double y, double angle);

// Kind 0 raster of the DEM's size; `azimuth` and `elevation` in radians, `attenuation` the
// fraction 0..1 of the light left in a shadow. Null when the raster cannot be allocated.
std::unique_ptr<TRasterImage> RenderCastShadows(const TDemModel& dem, double azimuth,
                                                double elevation, double attenuation,
                                                ProgressSink* progress = nullptr);

}  // namespace orvane
