// Drainage rasters for the morphometry tests: random river-like networks and a valley network
// traced on the sample DEM.
#pragma once

#include <memory>
#include <random>

#include "core/terrain/dem_model.h"
#include "core/terrain/raster_image.h"

namespace orvane::testing {

// White raster with `walks` random walks of network value `value`, plus scattered single cells
// of density `speckle` (0..1). Colour rasters store the value in all three bytes.
inline TRasterImage RandomNetwork(int columns, int lines, unsigned seed, int walks = 6,
                                  double speckle = 0.02, int value = 0,
                                  std::uint8_t kind = kRasterGray) {
  TRasterImage raster(columns, lines, kind);
  raster.Fill(TColor{255, 255, 255});
  std::mt19937 rng(seed);
  for (int w = 0; w < walks; ++w) {
    int x = static_cast<int>(rng() % static_cast<unsigned>(columns));
    int y = static_cast<int>(rng() % static_cast<unsigned>(lines));
    const int steps = (columns + lines) * 2;
    for (int s = 0; s < steps; ++s) {
      raster.SetValue(x, y, value);
      x += static_cast<int>(rng() % 3) - 1;
      y += static_cast<int>(rng() % 3) - 1;
      x = std::clamp(x, 0, columns - 1);
      y = std::clamp(y, 0, lines - 1);
    }
  }
  std::uniform_real_distribution<double> u(0.0, 1.0);
  for (int y = 0; y < lines; ++y)
    for (int x = 0; x < columns; ++x)
      if (u(rng) < speckle) raster.SetValue(x, y, value);
  return raster;
}

// Cells lower than both neighbours along the line or along the column: a crude valley network
// of value 0 that follows the terrain like an extracted one.
inline TRasterImage ValleyNetwork(const TDemModel& dem) {
  TRasterImage raster(dem.columns, dem.lines, kRasterRgb);
  raster.Fill(TColor{255, 255, 255});
  for (int y = 1; y + 1 < dem.lines; ++y)
    for (int x = 1; x + 1 < dem.columns; ++x) {
      const double z = dem.GetElevation(x, y);
      const bool alongLine = z < dem.GetElevation(x - 1, y) && z < dem.GetElevation(x + 1, y);
      const bool alongColumn = z < dem.GetElevation(x, y - 1) && z < dem.GetElevation(x, y + 1);
      if (alongLine || alongColumn) raster.SetValue(x, y, 0);
    }
  return raster;
}

}  // namespace orvane::testing
