#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "core/common/running_minmax.h"
#include "core/common/summed_area.h"
#include "core/common/window_count.h"
#include "core/terrain/dem_model.h"
#include "core/terrain/truncated_elevations.h"

namespace orvane {
namespace {

TEST(SummedAreaTable, EveryRectangleMatchesPlainSum) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> value(-1000, 100000);
  const int columns = 13, lines = 9;
  std::vector<std::int64_t> grid(columns * lines);
  for (auto& v : grid) v = value(rng);
  SummedAreaTable<std::int64_t> sat(columns, lines, [&](int c, int l) { return grid[l * columns + c]; });
  for (int l0 = 0; l0 < lines; ++l0)
    for (int l1 = l0; l1 < lines; ++l1)
      for (int c0 = 0; c0 < columns; ++c0)
        for (int c1 = c0; c1 < columns; ++c1) {
          std::int64_t plain = 0;
          for (int l = l0; l <= l1; ++l)
            for (int c = c0; c <= c1; ++c) plain += grid[l * columns + c];
          ASSERT_EQ(sat.Sum(c0, l0, c1, l1), plain) << c0 << "," << l0 << " " << c1 << "," << l1;
        }
  EXPECT_EQ(sat.Sum(3, 3, 2, 5), 0);
  EXPECT_EQ(sat.WindowSum(6, 4, 4), sat.Sum(2, 0, 10, 8));
}

TEST(SlidingMinMax, EveryWindowLengthMatchesPlainScan) {
  std::mt19937 rng(11);
  std::uniform_int_distribution<int> value(-50, 50);
  std::vector<int> scratch;
  for (int count : {1, 2, 7, 31, 64}) {
    std::vector<int> in(count);
    for (auto& v : in) v = value(rng);
    for (int window = 1; window <= count + 1; ++window) {
      std::vector<int> lo(count, 999), hi(count, 999);
      SlidingMin(in.data(), count, window, lo.data(), scratch);
      SlidingMax(in.data(), count, window, hi.data(), scratch);
      for (int i = 0; i + window <= count; ++i) {
        ASSERT_EQ(lo[i], *std::min_element(in.begin() + i, in.begin() + i + window));
        ASSERT_EQ(hi[i], *std::max_element(in.begin() + i, in.begin() + i + window));
      }
      if (window > count) {
        EXPECT_EQ(lo[0], 999);
      }
    }
  }
}

TEST(WindowCount, CountsAroundAHeightIncludingTail) {
  std::vector<std::int32_t> v = {5, 1, 9, 5, 5, 2, 8, 7, 5, 0, 5, 6, 4};
  for (int n = 0; n <= static_cast<int>(v.size()); ++n) {
    int below = 0, above = 0, equal = 0;
    for (int k = 0; k < n; ++k) {
      below += v[k] < 5;
      above += v[k] > 5;
      equal += v[k] == 5;
    }
    EXPECT_EQ(CountBelow(v.data(), n, 5), below);
    EXPECT_EQ(CountAbove(v.data(), n, 5), above);
    EXPECT_EQ(CountEqual(v.data(), n, 5), equal);
  }
}

TEST(TruncatedElevations, TruncatesTowardZeroAndClamps) {
  EXPECT_EQ(TruncatedElevation(10.9), 10);
  EXPECT_EQ(TruncatedElevation(-0.5), 0);
  EXPECT_EQ(TruncatedElevation(-7.9), -7);
  EXPECT_EQ(TruncatedElevation(1e12), INT32_MAX);
  EXPECT_EQ(TruncatedElevation(-1e12), INT32_MIN);

  TDemModel dem(3, 2, kDemFloat64);
  dem.SetElevation(0, 0, 10.2);
  dem.SetElevation(1, 0, 10.9);
  dem.SetElevation(2, 1, -0.5);
  const TIntGrid grid = TruncatedElevations(dem);
  EXPECT_EQ(grid.At(0, 0), 10);
  EXPECT_EQ(grid.At(1, 0), 10);
  EXPECT_EQ(grid.At(2, 1), 0);

  TDemModel scaled(2, 1, kDemInt32);
  scaled.scale = 0.5f;
  scaled.Int32Row(0)[0] = 21;
  scaled.Int32Row(0)[1] = -21;
  const TIntGrid halves = TruncatedElevations(scaled);
  EXPECT_EQ(halves.At(0, 0), 10);
  EXPECT_EQ(halves.At(1, 0), -10);
  EXPECT_EQ(TruncatedElevationSums(halves).Sum(0, 0, 1, 0), 0);
}

}  // namespace
}  // namespace orvane
