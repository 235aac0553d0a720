// Aspect: the azimuth of steepest descent of every cell, in degrees clockwise from the top of
// the grid (north): a slope falling toward the top is 0, toward the right 90.
//
// The gradient comes from the two 3 x 3 Sobel kernels on elevations truncated toward zero,
// both components multiplied by p / 8 (p = pixelSizeX). A cell whose gradient angle
// atan(|g|) is under one degree is flat. Only interior cells are computed; the outer ring
// stays black. Level value = trunc(a * N / 360 + 0.5); the direction histogram counts every
// non-flat cell in bin trunc(a + 0.5), 0 .. 360.
// Gray tones: flat cells are 255 and levels above 255 (N = 360) are held at 255. Colours: flat
// cells are white, others take the class colour of their level value.
// One pass over three rows per line, O(lines * columns), parallel over blocks of lines with
// one histogram per block, summed in order.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "core/common/progress.h"
#include "core/common/result.h"
#include "core/render/class_table.h"
#include "core/terrain/dem_model.h"
#include "core/terrain/raster_image.h"

namespace orvane {

inline constexpr int kDirectionBins = 400;
using TDirectionHistogram = std::array<std::int32_t, kDirectionBins>;

// Level value given to flat cells by the computation; shown white in colour, 255 in gray.
inline constexpr int kFlatLevel = 400;

// The aspect treatment's "palette".
enum AspectPalette : int { kAspectPaintingPalette = 0, kAspectGrayTones = 1 };

struct TAspectParams {
  bool grayTones = false;  // true: gray levels; false: colours of `table`
  int normalization = 360;  // N: 360 for the painting palette; 18, 36, 90, 180, 255 for gray
  TClassTable table;        // colour classes, bounds in level values
  bool smoothing = false;
  // When set: receives the azimuth a in degrees (0 <= a < 360) of every interior cell
  // (columns x lines, line after line) and NaN on flat cells; the outer ring is not written.
  float* degrees = nullptr;
  // When set: 1 on the cells the direction histogram leaves out (those resting on NoData).
  const std::uint8_t* uncounted = nullptr;
};

struct TAspectResult {
  std::unique_ptr<TRasterImage> image;  // kind 0 for gray tones, kind 2 for colours
  TDirectionHistogram histogram{};      // bins 0 .. 360 used
};

// The 13-class painting palette (bounds 15, 45, ... 345, 360).
TClassTable AspectPaintingPalette();

// Aspect of one cell from its gradient (the Sobel sums times p / 8): the level value for
// normalization n and the histogram bin, or flat (level kFlatLevel, bin -1).
struct TAspectCell {
  int level = kFlatLevel;
  int bin = -1;
};
TAspectCell AspectOfGradient(double gx, double gy, int normalization);
// The azimuth a in degrees, 0 <= a < 360, of a gradient that is not flat, as the library arc
// tangent gives it (the level and bin above are those of this a).
double AspectAzimuth(double gx, double gy);

// Refuses a normalization outside 1 .. 360 and an empty table for colours.
Expected<TAspectResult> ComputeAspect(const TDemModel& dem, const TAspectParams& params,
                                      ProgressSink* progress = nullptr);

}  // namespace orvane
