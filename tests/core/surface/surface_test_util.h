// DEMs for the surface treatment tests: random grids and the jacksboro sample.
#pragma once

#include "support/sample_dem.h"

#include <cstdint>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/terrain/dem_model.h"
#include "core/terrain/raster_image.h"

namespace orvane::testing_support {

// A type-2 DEM with uniform random stored values lo..hi.
inline std::unique_ptr<TDemModel> RandomDem(int columns, int lines, unsigned seed, int lo, int hi) {
  auto dem = std::make_unique<TDemModel>(columns, lines, kDemInt32);
  std::mt19937 rng(seed);
  std::uniform_int_distribution<int> value(lo, hi);
  for (int l = 0; l < lines; ++l)
    for (int c = 0; c < columns; ++c) dem->Int32Row(l)[c] = value(rng);
  dem->UpdateMinMax();
  return dem;
}

// A DEM of doubles given line by line.
inline std::unique_ptr<TDemModel> DemFrom(const std::vector<std::vector<double>>& rows) {
  const int lines = static_cast<int>(rows.size());
  const int columns = static_cast<int>(rows.front().size());
  auto dem = std::make_unique<TDemModel>(columns, lines, kDemFloat64);
  for (int l = 0; l < lines; ++l)
    for (int c = 0; c < columns; ++c) dem->SetElevation(c, l, rows[l][c]);
  dem->UpdateMinMax();
  return dem;
}

// The jacksboro sample (344 x 403, metres, 90 m pixels) as the GUI opens it: type 2.
inline std::unique_ptr<TDemModel> SampleDem() {
  return orvane::testing::LoadSampleDem();
}

inline int Pixel(const TRasterImage& image, int column, int line) {
  int value = -1;
  image.GetValue(column, line, value);
  return value;
}

// Index of the first differing pixel, or -1.
inline long FirstDifference(const TRasterImage& a, const TRasterImage& b) {
  if (a.columns != b.columns || a.lines != b.lines) return 0;
  for (int l = 0; l < a.lines; ++l)
    for (int c = 0; c < a.columns; ++c)
      if (Pixel(a, c, l) != Pixel(b, c, l)) return static_cast<long>(l) * a.columns + c;
  return -1;
}

}  // namespace orvane::testing_support
