// Test DEMs for the slope and aspect tests: random grids and the Jacksboro sample.
#pragma once

#include "support/sample_dem.h"

#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "core/terrain/dem_model.h"

namespace orvane::testing_dem {

inline TDemModel RandomDem(int columns, int lines, unsigned seed, int amplitude = 200) {
  TDemModel dem(columns, lines, kDemInt32);
  std::mt19937 rng(seed);
  std::uniform_int_distribution<int> step(-amplitude, amplitude);
  for (int l = 0; l < lines; ++l) {
    std::int32_t* row = dem.Int32Row(l);
    for (int c = 0; c < columns; ++c) {
      // A random walk along the lines with noise: steep and flat places both occur.
      const int base = l > 0 ? dem.Int32Row(l - 1)[c] : 1000;
      row[c] = base + step(rng) / ((c % 3) + 1);
    }
  }
  dem.pixelSizeX = 30.0f;
  dem.pixelSizeY = 30.0f;
  return dem;
}

// The Jacksboro sample as opened with pixel 90 m and unit m: 344 lines x 403 columns.
inline bool LoadJacksboro(TDemModel& dem) {
  auto sample = orvane::testing::LoadSampleDem();
  if (!sample) return false;
  dem = std::move(*sample);
  return true;
}

}  // namespace orvane::testing_dem
