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
// Histogram: one class per tenth of a density, bin trunc(10 d) for d in 0 .. maximum, so every
// window is counted whatever its density; the diagram bound is trunc(10 maximum), the last bin.
// Cost: one pass over the windows and their output pixels.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

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

using TDensityHistogram = std::vector<std::int32_t>;

// The default class table of a palette choice (empty for "Gray Tones (0, 255)").
TClassTable DensityDefaultTable(int paletteChoice);

// The table the palette dialog builds: the default of the choice, with "Scale" its bounds
// spread evenly over (min, max].
TClassTable DensityClassTable(int paletteChoice, bool scale, double min, double max);

// trunc(d / range x 254), held to 0 .. 254; 0 for a range of 0 or less.
int DensityGrayValue(double density, double range);

// Bin of a density, trunc(10 d), or -1 when it is negative or not a number.
int DensityHistogramBin(double density);

// Counts a density in its bin, the counts growing to reach it; nothing for a bin of -1.
void CountDensity(TDensityHistogram& counts, double density);

struct DensityImage {
  std::unique_ptr<TRasterImage> image;
  TDensityHistogram histogram;  // bins 0 .. bound
  int bound = 0;  // trunc(10 x maximum), the class of the densest window
};

Expected<DensityImage> RenderDensityField(const DensityField& field, int paletteChoice,
                                          const TClassTable& table, bool smoothing);

}  // namespace orvane
