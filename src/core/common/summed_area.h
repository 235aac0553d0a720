// Summed-area table: the sum of any axis-aligned rectangle of a grid in four look-ups.
//
// Built once in O(lines x columns); Sum() is O(1). Entry (l + 1, c + 1) holds the sum of the
// cells (0..l, 0..c), so the table has a zero first line and first column. Integer value types
// give exact sums (use std::int64_t for elevations and counts); the window treatments rely on
// that exactness to match a plain loop over the window cell for cell.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace orvane {

template <class T>
class SummedAreaTable {
 public:
  SummedAreaTable() = default;

  // value(column, line) gives the cell value; called once per cell, line by line.
  template <class ValueOf>
  SummedAreaTable(int columns, int lines, ValueOf&& value) {
    Build(columns, lines, value);
  }

  template <class ValueOf>
  void Build(int columns, int lines, ValueOf&& value) {
    columns_ = columns > 0 ? columns : 0;
    lines_ = lines > 0 ? lines : 0;
    const std::size_t stride = static_cast<std::size_t>(columns_) + 1;
    table_.assign(stride * (static_cast<std::size_t>(lines_) + 1), T{});
    for (int l = 0; l < lines_; ++l) {
      const T* above = &table_[static_cast<std::size_t>(l) * stride];
      T* row = &table_[static_cast<std::size_t>(l + 1) * stride];
      T running{};
      for (int c = 0; c < columns_; ++c) {
        running += static_cast<T>(value(c, l));
        row[c + 1] = above[c + 1] + running;
      }
    }
  }

  int columns() const { return columns_; }
  int lines() const { return lines_; }

  // Sum over columns column0..column1 and lines line0..line1, bounds included. The caller
  // keeps the rectangle inside the grid; an empty rectangle (column1 < column0) sums to 0.
  T Sum(int column0, int line0, int column1, int line1) const {
    if (column1 < column0 || line1 < line0) return T{};
    const std::size_t stride = static_cast<std::size_t>(columns_) + 1;
    const std::size_t top = static_cast<std::size_t>(line0) * stride;
    const std::size_t bottom = static_cast<std::size_t>(line1 + 1) * stride;
    const auto left = static_cast<std::size_t>(column0);
    const auto right = static_cast<std::size_t>(column1) + 1;
    return table_[bottom + right] - table_[bottom + left] - table_[top + right] + table_[top + left];
  }

  // Sum of the (2 * half + 1)^2 window centred on (column, line); the window must fit.
  T WindowSum(int column, int line, int half) const {
    return Sum(column - half, line - half, column + half, line + half);
  }

 private:
  int columns_ = 0;
  int lines_ = 0;
  std::vector<T> table_;
};

}  // namespace orvane
