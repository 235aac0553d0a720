#include "core/common/running_minmax_2d.h"

#include <gtest/gtest.h>

#include <random>

namespace orvane {
namespace {

TEST(RunningMinMax2D, GridWindowsMatchDirectScan) {
  std::mt19937 gen(5);
  std::uniform_int_distribution<int> value(-2000, 5000);
  const int columns = 37, lines = 29;
  std::vector<int> grid(static_cast<std::size_t>(columns) * lines);
  for (int& v : grid) v = value(gen);
  for (auto [w, h] : {std::pair{1, 1}, {3, 3}, {5, 2}, {1, 29}, {37, 4}, {11, 11}, {12, 7}}) {
    for (bool maximum : {false, true}) {
      const auto got = SlidingWindowExtreme(grid.data(), columns, lines, w, h, maximum);
      const int outColumns = columns - w + 1;
      ASSERT_EQ(got.size(), static_cast<std::size_t>(outColumns) * (lines - h + 1));
      for (int l = 0; l + h <= lines; ++l)
        for (int c = 0; c + w <= columns; ++c) {
          int best = grid[static_cast<std::size_t>(l) * columns + c];
          for (int y = l; y < l + h; ++y)
            for (int x = c; x < c + w; ++x) {
              const int v = grid[static_cast<std::size_t>(y) * columns + x];
              best = maximum ? std::max(best, v) : std::min(best, v);
            }
          ASSERT_EQ(got[static_cast<std::size_t>(l) * outColumns + c], best)
              << w << "x" << h << " at " << l << "," << c;
        }
    }
  }
  EXPECT_TRUE(SlidingWindowExtreme(grid.data(), columns, lines, 38, 1, true).empty());
  EXPECT_TRUE(SlidingWindowExtreme(grid.data(), columns, lines, 1, 30, false).empty());
}

}  // namespace
}  // namespace orvane
