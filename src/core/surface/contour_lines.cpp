#include "core/surface/contour_lines.h"

#include <algorithm>
#include <cstdint>

#include "core/common/grid_memory.h"
#include "core/common/parallel.h"
#include "core/terrain/truncated_elevations.h"

namespace orvane {

namespace {

std::vector<std::int32_t> Heights(const TDemModel& dem, int unitDivisor) {
  TIntGrid grid = TruncatedElevations(dem);
  if (unitDivisor != 1) {
    for (auto& v : grid.values) v /= unitDivisor;
  }
  return std::move(grid.values);
}

}  // namespace

ContourHeightRange ContourHeights(const TDemModel& dem, int unitDivisor) {
  ContourHeightRange range;
  if (!dem.IsAllocated() || unitDivisor < 1) return range;
  for (std::int32_t e : Heights(dem, unitDivisor)) {
    range.minimum = std::min(range.minimum, static_cast<int>(e));
    range.maximum = std::max(range.maximum, static_cast<int>(e));
  }
  return range;
}

Status CheckContourLinesParams(const ContourLinesParams& params) {
  if (params.interval <= 0)
    return Error{kBadParameter, "The hypsometric interval must be greater than 0"};
  if (params.last < params.first)
    return Error{kBadParameter, "The last contour line is lower than the first one"};
  const std::int64_t count =
      (static_cast<std::int64_t>(params.last) - params.first) / params.interval + 1;
  if (count > kMaxContourLevels)
    return Error{kBadParameter, "Too many contour lines: 255 levels at most"};
  return Status::Ok();
}

Expected<ContourLinesResult> ComputeContourLines(const TDemModel& dem,
                                                 const ContourLinesParams& params,
                                                 ProgressSink* progress) {
  if (!dem.IsAllocated() || dem.columns <= 0 || dem.lines <= 0)
    return Error{kBadParameter, "No DEM is open"};
  if (params.unitDivisor < 1) return Error{kBadParameter, "The vertical unit must be 1, 10, 100 or 1000"};
  if (Status status = CheckContourLinesParams(params); !status) return status.error();

  const int w = dem.columns;
  const int h = dem.lines;
  ContourLinesResult result;
  result.image = std::make_unique<TRasterImage>(w, h, kRasterGray);
  if (result.image->allocError) return GridMemoryError(h, w);
  const int n = (params.last - params.first) / params.interval + 1;
  for (int k = 0; k < n; ++k) result.levels.push_back(params.first + k * params.interval);
  const std::int64_t first = params.first;
  const std::int64_t step = params.interval;
  const std::int64_t lastLevel = result.levels.back();

  ProgressScope scope(progress);
  // Each cell's level: the lowest level at or above its height, or its own height above the
  // last level.
  std::vector<std::int32_t> e = Heights(dem, params.unitDivisor);
  ParallelForLines(h, [&](int r) {
    std::int32_t* row = e.data() + static_cast<std::size_t>(r) * w;
    for (int c = 0; c < w; ++c) {
      const std::int64_t q = row[c];
      if (q <= first) row[c] = static_cast<std::int32_t>(first);
      else if (q <= lastLevel) row[c] = static_cast<std::int32_t>(first + (q - first + step - 1) / step * step);
    }
  });
  if (scope.Cancelled()) return Error{kCancelled, "Contour lines cancelled"};
  scope.Step(0.5);

  auto at = [&](int c, int r) { return e[static_cast<std::size_t>(r) * w + c]; };
  ParallelForLines(h, [&](int r) {
    std::uint8_t* out = result.image->Row(r);
    for (int c = 0; c < w; ++c) {
      const bool top = r == 0, bottom = r == h - 1, left = c == 0, right = c == w - 1;
      const std::int32_t v = at(c, r);
      bool contour = false;
      if ((top || bottom) && (left || right)) {
        contour = bottom && right && r > 0 && v < at(c, r - 1);
      } else {
        if (!top) contour = contour || v < at(c, r - 1);
        if (!bottom) contour = contour || v < at(c, r + 1);
        if (!left) contour = contour || v < at(c - 1, r);
        if (!right) contour = contour || v < at(c + 1, r);
      }
      int value = 255;
      if (contour && v >= first && v <= lastLevel && (v - first) % step == 0)
        value = static_cast<int>((v - first) / step);
      out[c] = static_cast<std::uint8_t>(value);
    }
  });
  if (scope.Cancelled()) return Error{kCancelled, "Contour lines cancelled"};
  return result;
}

ValueGrid ContourLineValues(const ContourLinesResult& result) {
  // A line pixel holds its level's index; the levels are whole metres already.
  const TRasterImage& image = *result.image;
  ValueGrid values(image.columns, image.lines, "m");
  const auto levelCount = static_cast<int>(result.levels.size());
  for (int l = 0; l < image.lines; ++l) {
    const std::uint8_t* row = image.Row(l);
    for (int c = 0; c < image.columns; ++c)
      if (row[c] < levelCount) values.At(c, l) = static_cast<float>(result.levels[row[c]]);
  }
  return values;
}

}  // namespace orvane
