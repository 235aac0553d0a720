#include "core/treatment/ground_cells.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/common/parallel.h"
#include "core/terrain/dem_model.h"
#include "core/treatment/nodata_rule.h"

namespace orvane {

TGroundCounts::TGroundCounts(const TDemModel& dem) : partial_(dem.HasNoData()) {
  if (!partial_) return;
  table_.Build(dem.columns, dem.lines, [&](int c, int l) { return dem.ValidityRow(l)[c]; });
}

TIntGrid TruncatedElevationsFilled(const TDemModel& dem, std::int32_t fill) {
  TIntGrid grid = TruncatedElevations(dem);
  if (!dem.HasNoData()) return grid;
  ParallelForLines(grid.lines, [&](int line) {
    const std::uint8_t* ground = dem.ValidityRow(line);
    std::int32_t* row = grid.Row(line);
    for (int c = 0; c < grid.columns; ++c)
      if (!ground[c]) row[c] = fill;
  });
  return grid;
}

TIntGrid GroundIndicator(const TDemModel& dem) {
  TIntGrid grid;
  grid.columns = dem.columns;
  grid.lines = dem.lines;
  grid.values.assign(static_cast<std::size_t>(dem.columns) * static_cast<std::size_t>(dem.lines), 1);
  if (!dem.HasNoData()) return grid;
  for (int l = 0; l < dem.lines; ++l) {
    const std::uint8_t* ground = dem.ValidityRow(l);
    std::int32_t* row = grid.Row(l);
    for (int c = 0; c < dem.columns; ++c) row[c] = ground[c];
  }
  return grid;
}

GroundExtremes GroundExtremesOf(const TIntGridView& heights, const TDemModel& dem) {
  std::int32_t lowest = std::numeric_limits<std::int32_t>::max();
  std::int32_t highest = std::numeric_limits<std::int32_t>::min();
  for (int l = 0; l < heights.lines; ++l) {
    const std::int32_t* row = heights.Row(l);
    const std::uint8_t* ground = dem.ValidityRow(l);
    for (int c = 0; c < heights.columns; ++c) {
      if (ground && !ground[c]) continue;
      lowest = std::min(lowest, row[c]);
      highest = std::max(highest, row[c]);
    }
  }
  if (lowest > highest) return {};
  return {lowest, highest};
}

std::vector<std::uint8_t> CellsWithoutGround(const TDemModel& dem, const WindowFrame& frame,
                                             const ValueGrid& values) {
  if (!dem.HasNoData() || dem.columns < frame.columns || dem.lines < frame.lines) return {};
  std::vector<std::uint8_t> cells(static_cast<std::size_t>(frame.columns) * static_cast<std::size_t>(frame.lines), 0);
  for (int l = 0; l < frame.lines; ++l)
    for (int c = 0; c < frame.columns; ++c) {
      const bool computed = l >= frame.firstLine && l < frame.endLine && c >= frame.firstColumn && c < frame.endColumn;
      cells[static_cast<std::size_t>(l) * frame.columns + c] =
          !dem.IsValid(c, l) || (computed && std::isnan(values.At(c, l)));
    }
  return cells;
}

void MarkCellsWithoutGround(TreatmentOutput& output, const TDemModel& dem, const WindowFrame& frame,
                            bool valuesWanted) {
  if (!dem.HasNoData() || !output.values) return;
  ApplyNoData(output, CellsWithoutGround(dem, frame, *output.values));
  if (!valuesWanted) output.values.reset();
}

}  // namespace orvane
