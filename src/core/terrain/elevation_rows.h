// Whole lines of elevations as doubles, for the line-streaming renderers.
//
// Opened DEMs are type 2 and read straight from their 32-bit rows with the same arithmetic as
// GetElevation (offset + scale x stored value), so the values are identical; other element
// types go through GetElevation.
#pragma once

#include <vector>

#include "core/terrain/dem_model.h"

namespace orvane {

inline void LoadElevationRow(const TDemModel& dem, int line, double* out) {
  if (dem.elementType == kDemInt32) {
    const std::int32_t* row = dem.Int32Row(line);
    const double offset = dem.offset;
    const double scale = dem.scale;
    for (int c = 0; c < dem.columns; ++c) out[c] = offset + scale * static_cast<double>(row[c]);
    return;
  }
  for (int c = 0; c < dem.columns; ++c) out[c] = dem.GetElevation(c, line);
}

// Line `line` and the one below it, in buffers of the calling thread that the next call
// reuses: the two rows a shading reads for each of its lines.
struct ElevationRowPair {
  const double* upper;
  const double* lower;
};

inline ElevationRowPair LoadElevationRowPair(const TDemModel& dem, int line) {
  thread_local std::vector<double> upper, lower;
  upper.resize(static_cast<std::size_t>(dem.columns));
  lower.resize(static_cast<std::size_t>(dem.columns));
  LoadElevationRow(dem, line, upper.data());
  LoadElevationRow(dem, line + 1, lower.data());
  return {upper.data(), lower.data()};
}

inline std::vector<double> ElevationRow(const TDemModel& dem, int line) {
  std::vector<double> row(static_cast<std::size_t>(dem.columns));
  LoadElevationRow(dem, line, row.data());
  return row;
}

}  // namespace orvane
