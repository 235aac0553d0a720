// How a treatment's value grid is told to the user: a value's text, the readout at a cell, the
// note for a grid that holds one value, and the classes of its histogram. Texts are UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/treatment/treatment.h"

namespace orvane {

// A value as the status bar and the histogram axis show it: one decimal from 10 up, two from
// 1, three below, without trailing zeros ("23.4", "112", "2.35", "0.125").
std::string ValueText(double value);
// The unit after a value: "°" for degrees, "%" glued, others after a space; empty for none.
std::string UnitSuffix(const std::string& unit);
// "Slope 23.4°" for the cell (column, line); "Slope: no value" where the grid has none;
// empty outside the grid.
std::string ValueReadout(const ValueGrid& grid, const std::string& name, int column, int line);

// The note for a result that tells nothing apart: "Slope 5.71° everywhere" when every cell with
// a value holds the same one, "Slope: no value anywhere" when none has one; empty otherwise.
std::string OneValueNote(const ValueGrid& grid, const std::string& name);

// Counts of the valid (finite) values in `bins` equal classes from the smallest to the largest value
// (the largest in the last class); no classes when no cell has a value.
struct TValueHistogram {
  double minimum = 0.0;
  double maximum = 0.0;
  std::int64_t valid = 0;
  std::vector<std::int64_t> counts;
  double ClassWidth() const {
    return counts.empty() ? 0.0 : (maximum - minimum) / static_cast<double>(counts.size());
  }
};
TValueHistogram ValueHistogramOf(const ValueGrid& grid, int bins);

}  // namespace orvane
