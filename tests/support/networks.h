// Drainage network rasters for the tests: random river-like networks, and a valley network
// traced on a DEM.
#pragma once

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "core/terrain/dem_model.h"
#include "core/terrain/raster_image.h"

namespace orvane::testing {

// What RandomNetwork draws: `walks` random walks of values[0] across the raster, then
// `speckle` % of the cells set to one of `values` at random. Colour rasters store a value in
// all three bytes.
struct NetworkShape {
  int walks = 6;
  int speckle = 2;
  std::vector<int> values = {0};
  std::uint8_t kind = kRasterGray;
};

// White (255) outside the network.
inline TRasterImage RandomNetwork(int columns, int lines, unsigned seed,
                                  const NetworkShape& shape = {}) {
  TRasterImage raster(columns, lines, shape.kind);
  raster.Fill(TColor{255, 255, 255});
  std::mt19937 rng(seed);
  for (int w = 0; w < shape.walks; ++w) {
    int x = static_cast<int>(rng() % static_cast<unsigned>(columns));
    int y = static_cast<int>(rng() % static_cast<unsigned>(lines));
    for (int s = 0; s < (columns + lines) * 2; ++s) {
      raster.SetValue(x, y, shape.values.front());
      x = std::clamp(x + static_cast<int>(rng() % 3) - 1, 0, columns - 1);
      y = std::clamp(y + static_cast<int>(rng() % 3) - 1, 0, lines - 1);
    }
  }
  std::uniform_int_distribution<int> percent(0, 99);
  std::uniform_int_distribution<std::size_t> pick(0, shape.values.size() - 1);
  for (int y = 0; y < lines; ++y)
    for (int x = 0; x < columns; ++x)
      if (percent(rng) < shape.speckle) raster.SetValue(x, y, shape.values[pick(rng)]);
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
