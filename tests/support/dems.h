// Made-up DEMs for the tests: random terrain, flat grids, grids given value by value. The
// sample DEM comes with them (support/sample_dem.h).
#pragma once

#include "support/sample_dem.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/terrain/dem_model.h"

namespace orvane::testing {

// What RandomDem draws. Every elevation lies in lo..hi. A cell moves at most `step` from its
// neighbours (the mean of the left and the upper one), except `cliffs` % of the cells drawn
// afresh in lo..hi, so gentle, steep and flat places all occur. With step 0 every cell is drawn
// on its own (few distinct heights then give many ties).
struct DemShape {
  int lo = 0;
  int hi = 1000;
  int step = 10;
  int cliffs = 25;
  float pixel = 1.0f;
};

// A 32-bit DEM, as every opened DEM is.
inline std::unique_ptr<TDemModel> RandomDem(int columns, int lines, unsigned seed,
                                            const DemShape& shape = {}) {
  auto dem = std::make_unique<TDemModel>(columns, lines, kDemInt32);
  std::mt19937 rng(seed);
  std::uniform_int_distribution<int> fresh(shape.lo, shape.hi), percent(0, 99),
      change(-shape.step, shape.step);
  for (int l = 0; l < lines; ++l) {
    std::int32_t* row = dem->Int32Row(l);
    const std::int32_t* up = l > 0 ? dem->Int32Row(l - 1) : nullptr;
    for (int c = 0; c < columns; ++c) {
      if (shape.step == 0 || (c == 0 && !up) || percent(rng) < shape.cliffs) {
        row[c] = fresh(rng);
        continue;
      }
      const int from = c == 0 ? up[c] : !up ? row[c - 1] : (row[c - 1] + up[c]) / 2;
      row[c] = std::clamp(from + change(rng), shape.lo, shape.hi);
    }
  }
  dem->pixelSizeX = dem->pixelSizeY = shape.pixel;
  dem->UpdateMinMax();
  return dem;
}

inline std::unique_ptr<TDemModel> FlatDem(int columns, int lines, double z = 0.0,
                                          float pixel = 1.0f) {
  auto dem = std::make_unique<TDemModel>(columns, lines, kDemInt32);
  dem->Fill(z);
  dem->pixelSizeX = dem->pixelSizeY = pixel;
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

// A 32-bit DEM with sea floor: a ramp from `deepest` metres at the left to `highest` at the
// right, a few metres of ripple down the lines; about a third of it lies below sea level.
inline std::unique_ptr<TDemModel> SeaFloorDem(int columns, int lines, int deepest = -963,
                                              int highest = 1775) {
  auto dem = std::make_unique<TDemModel>(columns, lines, kDemInt32);
  for (int l = 0; l < lines; ++l)
    for (int c = 0; c < columns; ++c)
      dem->Int32Row(l)[c] = deepest + static_cast<int>(static_cast<long long>(highest - deepest - 6) *
                                                       c / std::max(1, columns - 1)) + 3 * (l % 3);
  dem->pixelSizeX = dem->pixelSizeY = 90.0f;
  dem->UpdateMinMax();
  return dem;
}

// Writes `dem` as DEMs come on disk: a raw grid of little-endian elements `bytes` wide
// (2 unsigned, 4 signed) and its header "lines columns" beside it, same name with ".txt".
inline void WriteRawDem(const std::string& rawPath, const TDemModel& dem, int bytes) {
  std::ofstream raw(rawPath, std::ios::binary | std::ios::trunc);
  for (int l = 0; l < dem.lines; ++l)
    for (int c = 0; c < dem.columns; ++c) {
      const auto v = static_cast<std::uint32_t>(static_cast<std::int32_t>(dem.GetElevation(c, l)));
      for (int b = 0; b < bytes; ++b) raw.put(static_cast<char>((v >> (8 * b)) & 0xFF));
    }
  const std::string header = rawPath.substr(0, rawPath.rfind('.')) + ".txt";
  std::ofstream(header) << dem.lines << ' ' << dem.columns << '\n';
}

}  // namespace orvane::testing
