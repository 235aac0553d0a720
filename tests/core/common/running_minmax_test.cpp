#include "core/common/running_minmax.h"

#include <gtest/gtest.h>

#include <random>

namespace orvane {
namespace {

TEST(RunningMinMax, LineWindowsMatchDirectScan) {
  std::mt19937 gen(11);
  std::uniform_int_distribution<int> value(-1000, 1000);
  std::vector<int> scratch;
  for (int count : {1, 2, 7, 30, 101}) {
    std::vector<int> in(static_cast<std::size_t>(count));
    for (int& v : in) v = value(gen);
    for (int width = 1; width <= count; ++width) {
      std::vector<int> hi(static_cast<std::size_t>(count - width + 1));
      std::vector<int> lo(hi.size());
      SlidingExtreme(in.data(), count, width, hi.data(), scratch, PickMax<int>());
      SlidingExtreme(in.data(), count, width, lo.data(), scratch, PickMin<int>());
      for (int i = 0; i + width <= count; ++i) {
        const auto [mn, mx] = std::minmax_element(in.begin() + i, in.begin() + i + width);
        ASSERT_EQ(hi[static_cast<std::size_t>(i)], *mx) << count << " " << width << " " << i;
        ASSERT_EQ(lo[static_cast<std::size_t>(i)], *mn) << count << " " << width << " " << i;
      }
    }
  }
}

TEST(RunningMinMax, GridWindowsMatchDirectScan) {
  std::mt19937 gen(5);
  std::uniform_int_distribution<int> value(0, 5000);
  const int columns = 37, lines = 29;
  std::vector<int> grid(static_cast<std::size_t>(columns) * lines);
  for (int& v : grid) v = value(gen);
  for (auto [w, h] : {std::pair{1, 1}, {3, 3}, {5, 2}, {1, 29}, {37, 4}, {11, 11}, {12, 7}}) {
    const auto hi = SlidingExtreme2D(grid.data(), columns, lines, w, h, PickMax<int>());
    const int outColumns = columns - w + 1;
    ASSERT_EQ(hi.size(), static_cast<std::size_t>(outColumns) * (lines - h + 1));
    for (int l = 0; l + h <= lines; ++l)
      for (int c = 0; c + w <= columns; ++c) {
        int best = grid[static_cast<std::size_t>(l) * columns + c];
        for (int y = l; y < l + h; ++y)
          for (int x = c; x < c + w; ++x)
            best = std::max(best, grid[static_cast<std::size_t>(y) * columns + x]);
        ASSERT_EQ(hi[static_cast<std::size_t>(l) * outColumns + c], best) << w << "x" << h;
      }
  }
  EXPECT_TRUE(SlidingExtreme2D(grid.data(), columns, lines, 38, 1, PickMin<int>()).empty());
}

}  // namespace
}  // namespace orvane
