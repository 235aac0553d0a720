// The ground cells of a DEM as the window treatments see them: how many of a window's cells
// hold an elevation, and the whole-number heights with the NoData cells replaced by a value
// that drops out of a minimum, a maximum or a sum.
//
// A window statistic is taken over the ground cells of its window and has no value (NaN) where
// its own cell is NoData or fewer than half of the window's cells are ground. The tables are
// made only when the DEM has NoData, so a DEM without it costs nothing more than before.
#pragma once

#include <cstdint>
#include <vector>

#include "core/common/summed_area.h"
#include "core/terrain/truncated_elevations.h"
#include "core/treatment/treatment.h"
#include "core/treatment/window_driver.h"

namespace orvane {

class TDemModel;

// Whether `ground` cells out of a window's `cells` are enough for a value: at least half.
inline bool EnoughGround(std::int64_t ground, std::int64_t cells) { return 2 * ground >= cells; }

// Counts of ground cells over rectangles: a summed-area table of the validity mask, or the
// rectangle's area when every cell is ground.
class TGroundCounts {
 public:
  explicit TGroundCounts(const TDemModel& dem);

  bool HasNoData() const { return partial_; }
  // Columns column0..column1 and lines line0..line1, bounds included, inside the grid.
  std::int64_t Count(int column0, int line0, int column1, int line1) const {
    if (!partial_) {
      if (column1 < column0 || line1 < line0) return 0;
      return static_cast<std::int64_t>(column1 - column0 + 1) * (line1 - line0 + 1);
    }
    return table_.Sum(column0, line0, column1, line1);
  }
  // The (2 half + 1)^2 window centred on (column, line).
  std::int64_t WindowCount(int column, int line, int half) const {
    return Count(column - half, line - half, column + half, line + half);
  }

 private:
  bool partial_ = false;
  SummedAreaTable<std::int32_t> table_;  // at most 8000 x 8000 cells: 32 bits do
};

// The truncated elevations with every NoData cell set to `fill` (a copy even without NoData).
TIntGrid TruncatedElevationsFilled(const TDemModel& dem, std::int32_t fill);

// 1 at ground cells, 0 at NoData cells, as a grid of heights the window sums can read.
TIntGrid GroundIndicator(const TDemModel& dem);

// The lowest and highest truncated elevation of the ground cells ({0, 0} when there is none).
struct GroundExtremes {
  std::int32_t lowest = 0;
  std::int32_t highest = 0;
};
GroundExtremes GroundExtremesOf(const TIntGridView& heights, const TDemModel& dem);

// The cells of a result left without a value by NoData, for ApplyNoData: the DEM's NoData
// cells, and the cells of `frame` (the computed ones) whose value is NaN. `values` covers the
// frame's grid, which the DEM covers. Empty when the DEM has no NoData.
std::vector<std::uint8_t> CellsWithoutGround(const TDemModel& dem, const WindowFrame& frame,
                                             const ValueGrid& values);

// Gives those cells NaN values and the picture's NoData colour (ApplyNoData), then drops the
// values when they were made only to find them (`valuesWanted` false). Nothing without NoData.
void MarkCellsWithoutGround(TreatmentOutput& output, const TDemModel& dem, const WindowFrame& frame,
                            bool valuesWanted);

}  // namespace orvane
