// Small DEMs for the rendering tests: flat, random and the sample DEM read as the GUI opens it.
#pragma once

#include "support/sample_dem.h"

#include <cstdint>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/terrain/dem_model.h"

namespace orvane::testing {

inline std::unique_ptr<TDemModel> FlatDem(int columns, int lines, double z = 0.0,
                                          float pixel = 1.0f) {
  auto dem = std::make_unique<TDemModel>(columns, lines, kDemInt32);
  dem->Fill(z);
  dem->pixelSizeX = dem->pixelSizeY = pixel;
  dem->UpdateMinMax();
  return dem;
}

inline std::unique_ptr<TDemModel> RandomDem(int columns, int lines, unsigned seed, int lo = 0,
                                            int hi = 1000, float pixel = 30.0f) {
  auto dem = std::make_unique<TDemModel>(columns, lines, kDemInt32);
  std::mt19937 rng(seed);
  std::uniform_int_distribution<int> dist(lo, hi);
  // A random walk keeps neighbours related, like terrain, with occasional cliffs.
  for (int l = 0; l < lines; ++l)
    for (int c = 0; c < columns; ++c) {
      int z = dist(rng);
      if (c > 0 && rng() % 4 != 0) z = static_cast<int>(dem->GetElevation(c - 1, l)) + dist(rng) % 21 - 10;
      dem->SetElevation(c, l, z);
    }
  dem->pixelSizeX = dem->pixelSizeY = pixel;
  dem->UpdateMinMax();
  return dem;
}

// jacksboro_m2.raw: 344 x 403 unsigned 16-bit values, metres, pixel 90 m.
inline std::unique_ptr<TDemModel> SampleDem() {
  return orvane::testing::LoadSampleDem();
}

}  // namespace orvane::testing
