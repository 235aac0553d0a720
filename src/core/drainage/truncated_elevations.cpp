#include "core/drainage/truncated_elevations.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace orvane {

std::int32_t TruncateElevation(double elevation) {
  if (std::isnan(elevation)) return 0;
  constexpr double lo = static_cast<double>(std::numeric_limits<std::int32_t>::min());
  constexpr double hi = static_cast<double>(std::numeric_limits<std::int32_t>::max());
  if (elevation <= lo) return std::numeric_limits<std::int32_t>::min();
  if (elevation >= hi) return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(elevation);
}

std::vector<std::int32_t> TruncatedElevations(const TDemModel& dem) {
  if (!dem.IsAllocated() || dem.lines <= 0 || dem.columns <= 0) return {};
  const std::size_t columns = static_cast<std::size_t>(dem.columns);
  std::vector<std::int32_t> out(columns * static_cast<std::size_t>(dem.lines));
  // Opened DEMs are 32-bit with offset 0 and scale 1: their stored values are the answer.
  const bool identity = dem.elementType == kDemInt32 && dem.offset == 0.0f && dem.scale == 1.0f;
  for (int y = 0; y < dem.lines; ++y) {
    std::int32_t* row = out.data() + static_cast<std::size_t>(y) * columns;
    if (identity) {
      const std::int32_t* in = dem.Int32Row(y);
      std::copy(in, in + columns, row);
      continue;
    }
    for (int x = 0; x < dem.columns; ++x) row[x] = TruncateElevation(dem.GetElevation(x, y));
  }
  return out;
}

}  // namespace orvane
