// Shared fixtures for the drainage tests: random DEMs and rasters, the sample DEM.
#pragma once

#include "support/sample_dem.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/terrain/dem_model.h"
#include "core/terrain/raster_image.h"

namespace orvane::testing {

// A rough surface: a few random valleys plus noise, so that marking finds something.
inline std::unique_ptr<TDemModel> RandomDem(int columns, int lines, unsigned seed, int noise = 6) {
  auto dem = std::make_unique<TDemModel>(columns, lines, kDemInt32);
  std::mt19937 rng(seed);
  std::uniform_int_distribution<int> pick(0, std::max(1, columns - 1));
  std::uniform_int_distribution<int> jitter(0, noise);
  const int cx = pick(rng);
  const int cy = pick(rng) % std::max(1, lines);
  for (int y = 0; y < lines; ++y) {
    std::int32_t* row = dem->Int32Row(y);
    for (int x = 0; x < columns; ++x) {
      const int valley = std::abs(x - cx) + std::abs((y - cy) % 7) + ((x * 3 + y * 5) % 11 == 0 ? 0 : 4);
      row[x] = 100 + valley + jitter(rng);
    }
  }
  dem->UpdateMinMax();
  return dem;
}

// Gray raster of value 255 with about `percent` % of random cells set to one of `values`.
inline TRasterImage RandomNetwork(int columns, int lines, unsigned seed, int percent,
                                  std::vector<int> values = {0}) {
  TRasterImage r(columns, lines, kRasterGray);
  r.Fill(TColor{255, 255, 255});
  std::mt19937 rng(seed);
  std::uniform_int_distribution<int> p(0, 99);
  std::uniform_int_distribution<std::size_t> v(0, values.size() - 1);
  for (int y = 0; y < lines; ++y) {
    for (int x = 0; x < columns; ++x) {
      if (p(rng) < percent) r.SetValue(x, y, values[v(rng)]);
    }
  }
  return r;
}

// The sample DEM of the repository (344 lines x 403 columns, unsigned 16-bit), widened to
// 32-bit as an opened DEM is. Null when the file is missing.
inline std::unique_ptr<TDemModel> SampleDem() {
  return orvane::testing::LoadSampleDem();
}

}  // namespace orvane::testing
