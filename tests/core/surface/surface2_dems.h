// DEMs for the window treatments' tests: random grids and the jacksboro sample.
#pragma once

#include "support/sample_dem.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/terrain/dem_model.h"

namespace orvane::testing {

// A type 2 DEM (as every opened DEM) with square pixels of `pixel`.
inline std::unique_ptr<TDemModel> MakeDem(int columns, int lines, float pixel = 90.0f) {
  auto dem = std::make_unique<TDemModel>(columns, lines, kDemInt32);
  dem->pixelSizeX = dem->pixelSizeY = pixel;
  return dem;
}

inline std::unique_ptr<TDemModel> FlatDem(int columns, int lines, int value, float pixel = 90.0f) {
  auto dem = MakeDem(columns, lines, pixel);
  for (int l = 0; l < lines; ++l)
    for (int c = 0; c < columns; ++c) dem->Int32Row(l)[c] = value;
  dem->UpdateMinMax();
  return dem;
}

// Rough terrain: a random walk along each line plus noise, so windows hold both small and
// large differences.
inline std::unique_ptr<TDemModel> RandomDem(int columns, int lines, unsigned seed, int spread,
                                            float pixel = 90.0f) {
  auto dem = MakeDem(columns, lines, pixel);
  std::mt19937 gen(seed);
  std::uniform_int_distribution<int> noise(-spread, spread);
  for (int l = 0; l < lines; ++l) {
    int walk = 500;
    for (int c = 0; c < columns; ++c) {
      walk += noise(gen) / 4;
      dem->Int32Row(l)[c] = walk + noise(gen) + (l * 3) % 17;
    }
  }
  dem->UpdateMinMax();
  return dem;
}

// data/jacksboro_m2.raw: 344 lines x 403 columns of unsigned 16-bit metres, pixel 90 m.
inline std::unique_ptr<TDemModel> SampleDem() {
  return orvane::testing::LoadSampleDem();
}

}  // namespace orvane::testing
