// Whole-number elevations: the form in which the window treatments compare and sum heights.
//
// Every elevation (GetElevation) is truncated toward zero; values beyond the 32-bit range are
// clamped to it, so 10.2 and 10.9 both read 10 and -0.5 and 0.4 both read 0. Built once per
// treatment in O(lines x columns) over both cores; the plain stored values are copied directly
// for a type-2 model without offset or scale (every opened DEM).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/common/summed_area.h"

namespace orvane {

class TDemModel;

std::int32_t TruncatedElevation(double z);

// The truncated elevations of one line: the model's own line when it stores exactly them (type
// 2 without offset or scale), `buffer` (a line long) filled with them otherwise.
const std::int32_t* TruncatedRow(const TDemModel& dem, int line, std::int32_t* buffer);

struct TIntGrid {
  int columns = 0;
  int lines = 0;
  std::vector<std::int32_t> values;

  const std::int32_t* Row(int line) const {
    return values.data() + static_cast<std::size_t>(line) * static_cast<std::size_t>(columns);
  }
  std::int32_t* Row(int line) {
    return values.data() + static_cast<std::size_t>(line) * static_cast<std::size_t>(columns);
  }
  std::int32_t At(int column, int line) const { return Row(line)[column]; }
};

TIntGrid TruncatedElevations(const TDemModel& dem);

// The same heights read in place when the model stores exactly them (type 2 without offset or
// scale: every opened DEM), from a truncated copy otherwise; the model must outlive the view.
class TIntGridView {
 public:
  explicit TIntGridView(const TDemModel& dem);
  TIntGridView(const TIntGridView&) = delete;
  TIntGridView& operator=(const TIntGridView&) = delete;

  int columns = 0;
  int lines = 0;
  const std::int32_t* Row(int line) const {
    return data_ + static_cast<std::size_t>(line) * static_cast<std::size_t>(columns);
  }
  std::int32_t At(int column, int line) const { return Row(line)[column]; }
  const std::int32_t* data() const { return data_; }
  std::size_t size() const { return static_cast<std::size_t>(columns) * static_cast<std::size_t>(lines); }

 private:
  TIntGrid copy_;
  const std::int32_t* data_ = nullptr;
};

// 64-bit summed-area table of the truncated elevations.
SummedAreaTable<std::int64_t> TruncatedElevationSums(const TIntGrid& grid);

}  // namespace orvane
