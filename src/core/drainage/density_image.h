// Density images: the windows' densities drawn through a class table or as gray tones, with
// the 300-bin density histogram of the diagram window.
//
// Shared by the dissection densities and by the treatments that use the same palette dialog.
// Palette choices: 0 "Colored Palette", 1 "Gray Tones Palette" (ten classes each, bounds 10,
// 20, ... 100, or spread evenly over (Min, Max] with "Scale"), 2 "Gray Tones (0, 255)" (no class
// table). The image is colour for a class table and gray for choice 2; pixels no window writes
// stay white (255).
// Gray tones: trunc(d / range x 254) with range = maximum - minimum. The density itself is
// divided, not its distance from the minimum, so with a minimum above 0 the top densities
// would pass 254: they are held at 254, leaving 255 to mean "no window". A zero range (every
// density equal) draws 0.
// A coloured choice with an empty class table draws the gray tone as a gray colour.
// Histogram: bin trunc(10 d) counted when below 300; the diagram bound is trunc(10 maximum).
// Cost: one pass over the windows and their output pixels.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "core/common/result.h"
#include "core/drainage/dissection_density.h"
#include "core/render/class_table.h"
#include "core/terrain/raster_image.h"

namespace orvane {

enum DensityPaletteChoice : int {
  kColoredPalette = 0,
  kGrayTonesPalette = 1,
  kGrayTones0255 = 2,
};

inline constexpr int kDensityHistogramBins = 300;
using TDensityHistogram = std::array<std::int32_t, kDensityHistogramBins>;

// The default class table of a palette choice (empty for "Gray Tones (0, 255)").
TClassTable DensityDefaultTable(int paletteChoice);

// The table the palette dialog builds: the default of the choice, with "Scale" its bounds
// spread evenly over (min, max].
TClassTable DensityClassTable(int paletteChoice, bool scale, double min, double max);

// trunc(d / range x 254), held to 0 .. 254; 0 for a range of 0 or less.
int DensityGrayValue(double density, double range);

// Bin of a density, or -1 when it falls outside the 300 bins.
int DensityHistogramBin(double density);

struct DensityImage {
  std::unique_ptr<TRasterImage> image;
  TDensityHistogram histogram{};
  int bound = 0;  // trunc(10 x maximum), the diagram's class count before its 255 cap
};

Expected<DensityImage> RenderDensityField(const DensityField& field, int paletteChoice,
                                          const TClassTable& table, bool smoothing);

}  // namespace orvane
