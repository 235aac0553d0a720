#include "core/terrain/truncated_elevations.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/common/parallel.h"
#include "core/terrain/dem_model.h"

namespace orvane {

std::int32_t TruncatedElevation(double z) {
  constexpr double kLow = std::numeric_limits<std::int32_t>::min();
  constexpr double kHigh = std::numeric_limits<std::int32_t>::max();
  if (std::isnan(z)) return 0;
  if (z <= kLow) return std::numeric_limits<std::int32_t>::min();
  if (z >= kHigh) return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(z);
}

namespace {

bool StoresTruncated(const TDemModel& dem) {
  return dem.elementType == kDemInt32 && dem.offset == 0.0f && dem.scale == 1.0f;
}

}  // namespace

const std::int32_t* TruncatedRow(const TDemModel& dem, int line, std::int32_t* buffer) {
  if (StoresTruncated(dem)) return dem.Int32Row(line);
  if (dem.elementType == kDemInt32) {
    // GetElevation's arithmetic on the 32-bit line itself.
    const std::int32_t* row = dem.Int32Row(line);
    const double offset = dem.offset, scale = dem.scale;
    for (int c = 0; c < dem.columns; ++c) buffer[c] = TruncatedElevation(offset + scale * static_cast<double>(row[c]));
  } else {
    for (int c = 0; c < dem.columns; ++c) buffer[c] = TruncatedElevation(dem.GetElevation(c, line));
  }
  return buffer;
}

TIntGrid TruncatedElevations(const TDemModel& dem) {
  TIntGrid grid;
  if (!dem.IsAllocated() || dem.columns <= 0 || dem.lines <= 0) return grid;
  grid.columns = dem.columns;
  grid.lines = dem.lines;
  grid.values.resize(static_cast<std::size_t>(dem.columns) * static_cast<std::size_t>(dem.lines));
  ParallelForLines(dem.lines, [&](int line) {
    std::int32_t* out = grid.Row(line);
    const std::int32_t* in = TruncatedRow(dem, line, out);
    if (in != out) std::copy(in, in + dem.columns, out);
  });
  return grid;
}

TIntGridView::TIntGridView(const TDemModel& dem) {
  if (!dem.IsAllocated() || dem.columns <= 0 || dem.lines <= 0) return;
  columns = dem.columns;
  lines = dem.lines;
  if (StoresTruncated(dem)) {
    data_ = dem.Int32Row(0);
  } else {
    copy_ = TruncatedElevations(dem);
    data_ = copy_.values.data();
  }
}

SummedAreaTable<std::int64_t> TruncatedElevationSums(const TIntGrid& grid) {
  return SummedAreaTable<std::int64_t>(grid.columns, grid.lines,
                                       [&](int c, int l) { return grid.At(c, l); });
}

}  // namespace orvane
