// The texts and classes a value grid is told to the user by: the status readout, the histogram.
#include "core/treatment/value_summary.h"

#include <gtest/gtest.h>

#include <limits>

namespace orvane {
namespace {

ValueGrid Grid(int columns, int lines, const char* unit, std::vector<float> values) {
  ValueGrid grid(columns, lines, unit);
  grid.values = std::move(values);
  return grid;
}

TEST(ValueSummary, ReadoutTextAtACell) {
  const float nan = kNoValue;
  const struct {
    const char* name;
    const char* unit;
    float value;
    int column;  // the cell read: (column, 0) of a 2 x 1 grid holding `value` at column 0
    const char* expected;
  } cases[] = {
      {"Slope", "degrees", 23.4167f, 0, "Slope 23.4°"},
      {"Total depth", "m", 112.0f, 0, "Total depth 112 m"},
      {"Total depth", "m", 11.25f, 0, "Total depth 11.3 m"},
      {"Percentile", "%", 7.5f, 0, "Percentile 7.5%"},
      {"Ratio", "", 0.1234f, 0, "Ratio 0.123"},
      {"Deviation", "standard score", -1.456f, 0, "Deviation -1.46 standard score"},
      {"Slope", "degrees", -0.0001f, 0, "Slope 0°"},
      {"Slope", "degrees", nan, 0, "Slope: no value"},
      {"Slope", "degrees", 1.0f, 2, ""},   // right of the grid
      {"Slope", "degrees", 1.0f, -1, ""},  // left of it
  };
  for (const auto& c : cases) {
    const ValueGrid grid = Grid(2, 1, c.unit, {c.value, 0.0f});
    EXPECT_EQ(ValueReadout(grid, c.name, c.column, 0), c.expected);
  }
}

TEST(ValueSummary, HistogramSpansTheValidValuesOnly) {
  const float nan = kNoValue, inf = std::numeric_limits<float>::infinity();
  const TValueHistogram h = ValueHistogramOf(Grid(3, 2, "m", {nan, 10.0f, 30.0f, 20.0f, inf, 50.0f}), 4);
  EXPECT_EQ(h.minimum, 10.0);
  EXPECT_EQ(h.maximum, 50.0);
  EXPECT_EQ(h.valid, 4);
  // Classes of 10: the largest value in the last one, not past it.
  EXPECT_EQ(h.counts, (std::vector<std::int64_t>{1, 1, 1, 1}));

  const TValueHistogram flat = ValueHistogramOf(Grid(2, 1, "m", {5.0f, 5.0f}), 4);
  EXPECT_EQ(flat.counts, (std::vector<std::int64_t>{2, 0, 0, 0}));
  EXPECT_TRUE(ValueHistogramOf(Grid(2, 1, "m", {nan, nan}), 4).counts.empty());
}

}  // namespace
}  // namespace orvane
