#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "core/surface/contour_density.h"
#include "core/surface/contour_lines.h"
#include "support/compare.h"
#include "support/dems.h"

namespace orvane {
namespace {

using testing::CountDifferences;
using testing::DemFrom;
using testing::Pixel;
using testing::RandomDem;

// The density as described, one pass per level with the two masks. Lengths are counted in
// thousandths of p (500 per direct, 707 per diagonal link) so sums are exact.
TRasterImage PlainDensity(const TDemModel& dem, const ContourDensityParams& prm) {
  const int w = dem.columns, h = dem.lines;
  auto idx = [w](int c, int r) { return static_cast<std::size_t>(r) * w + c; };
  std::vector<std::int64_t> length(static_cast<std::size_t>(w) * h, 0);
  const int zmin = static_cast<int>(dem.minElevation), zmax = static_cast<int>(dem.maxElevation);
  const int step = prm.interval * prm.unitDivisor;
  std::vector<int> below(length.size()), contour(length.size());
  for (int level = zmin + step; level < zmax; level += step) {
    std::fill(contour.begin(), contour.end(), 0);
    for (int r = 0; r < h; ++r)
      for (int c = 0; c < w; ++c) below[idx(c, r)] = static_cast<int>(dem.GetElevation(c, r)) <= level;
    for (int r = 0; r < h; ++r)
      for (int c = 0; c < w; ++c) {
        if (!below[idx(c, r)]) continue;
        const bool top = r == 0, bottom = r == h - 1, left = c == 0, right = c == w - 1;
        if ((top || bottom) && (left || right)) continue;
        bool edge = false;
        if (!top) edge |= !below[idx(c, r - 1)];
        if (!bottom) edge |= !below[idx(c, r + 1)];
        if (!left) edge |= !below[idx(c - 1, r)];
        if (!right) edge |= !below[idx(c + 1, r)];
        contour[idx(c, r)] = edge;
      }
    for (int r = 1; r <= h - 2; ++r)
      for (int c = 1; c <= w - 2; ++c) {
        if (!contour[idx(c, r)]) continue;
        for (int dr = -1; dr <= 1; ++dr)
          for (int dc = -1; dc <= 1; ++dc)
            if ((dr || dc) && contour[idx(c + dc, r + dr)]) length[idx(c, r)] += (dr && dc) ? 707 : 500;
      }
  }
  const int s = prm.window, half = s / 2;
  const bool moving = prm.tiling == ContourTiling::kMovingWindow;
  std::vector<std::int64_t> b(length.size(), 0);
  std::vector<int> computed(length.size(), 0);
  auto sum = [&](int c0, int r0, int c1, int r1) {
    std::int64_t total = 0;
    for (int r = r0; r <= r1; ++r)
      for (int c = c0; c <= c1; ++c) total += length[idx(c, r)];
    return total;
  };
  if (moving) {
    for (int r = half + 1; r <= h - half - 2; ++r)
      for (int c = half + 1; c <= w - half - 2; ++c) {
        b[idx(c, r)] = sum(c - half, r - half, c + half, r + half);
        computed[idx(c, r)] = 1;
      }
  } else {
    for (int r0 = 1; r0 < h - s; r0 += s)
      for (int c0 = 1; c0 < w - s; c0 += s) {
        const std::int64_t block = sum(c0, r0, c0 + s - 1, r0 + s - 1);
        for (int r = r0; r < r0 + s; ++r)
          for (int c = c0; c < c0 + s; ++c) b[idx(c, r)] = block, computed[idx(c, r)] = 1;
      }
  }
  std::int64_t lo = INT64_MAX, hi = INT64_MIN;
  for (std::size_t k = 0; k < b.size(); ++k)
    if (computed[k]) lo = std::min(lo, b[k]), hi = std::max(hi, b[k]);
  TRasterImage image(w, h, kRasterGray);
  for (int r = 0; r < h; ++r)
    for (int c = 0; c < w; ++c) {
      int value = moving ? 255 : 0;
      if (computed[idx(c, r)])
        value = hi > lo ? static_cast<int>(static_cast<double>(b[idx(c, r)] - lo) / (hi - lo) * prm.dynamism) : 0;
      image.SetValue(c, r, value);
    }
  return image;
}

TRasterImage Density(const TDemModel& dem, const ContourDensityParams& prm) {
  auto result = ComputeContourDensity(dem, prm);
  EXPECT_TRUE(result.has_value()) << (result ? "" : result.error().message);
  return *result->image;
}

TEST(ContourDensity, MatchesThePerLevelPassOnRandomDemsAndTheSample) {
  for (unsigned seed = 1; seed <= 4; ++seed) {
    auto dem = RandomDem(19 + static_cast<int>(seed), 16, seed, {.lo = -30, .hi = 60, .step = 0});
    for (int window : {1, 2, 5, 8})
      for (int interval : {1, 7, 40})
        for (auto tiling : {ContourTiling::kSquaredGrid, ContourTiling::kMovingWindow}) {
          ContourDensityParams prm{window, interval, seed % 2 ? 100 : 255, tiling, seed == 4 ? 10 : 1};
          ASSERT_EQ(CountDifferences(Density(*dem, prm), PlainDensity(*dem, prm)), 0)
              << "seed " << seed << " S " << window << " I " << interval;
        }
  }
  auto sample = testing::LoadSampleDem();
  ASSERT_NE(sample, nullptr);
  for (auto tiling : {ContourTiling::kSquaredGrid, ContourTiling::kMovingWindow}) {
    ContourDensityParams prm{11, 50, 255, tiling, 1};
    EXPECT_EQ(CountDifferences(Density(*sample, prm), PlainDensity(*sample, prm)), 0);
  }
}

TEST(ContourDensity, NoLevelInsideTheRangeGivesZeroInsideAndTheBackgroundOutside) {
  auto dem = RandomDem(20, 14, 3, {.lo = 100, .hi = 140, .step = 0});
  for (auto tiling : {ContourTiling::kSquaredGrid, ContourTiling::kMovingWindow}) {
    auto result = ComputeContourDensity(*dem, {3, 100, 100, tiling, 1});
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->levels, 0);
    const bool moving = tiling == ContourTiling::kMovingWindow;
    EXPECT_EQ(Pixel(*result->image, 0, 0), moving ? 255 : 0);
    EXPECT_EQ(Pixel(*result->image, 2, 2), 0);
    EXPECT_EQ(Pixel(*result->image, 19, 13), moving ? 255 : 0);
    EXPECT_EQ(result->margin, 2);
  }
}

TEST(ContourDensity, SlopingPlaneHasUniformDensityInside) {
  std::vector<std::vector<double>> rows(30, std::vector<double>(30));
  for (int r = 0; r < 30; ++r)
    for (int c = 0; c < 30; ++c) rows[r][c] = 10.0 * c;  // a level every column at interval 10
  auto dem = DemFrom(rows);
  auto result = ComputeContourDensity(*dem, {5, 10, 100, ContourTiling::kMovingWindow, 1});
  ASSERT_TRUE(result.has_value());
  EXPECT_GT(result->levels, 20);
  // Every window inside crosses the same number of straight lines.
  const int inside = Pixel(*result->image, 10, 10);
  for (int r = 4; r <= 25; ++r)
    for (int c = 4; c <= 24; ++c) EXPECT_EQ(Pixel(*result->image, c, r), inside) << c << "," << r;
}

TEST(ContourDensity, RefusesMissingIntervalThenMissingWindow) {
  auto dem = RandomDem(8, 8, 1, {.hi = 50, .step = 0});
  auto noInterval = ComputeContourDensity(*dem, {0, 0, 100, ContourTiling::kSquaredGrid, 1});
  ASSERT_FALSE(noInterval.has_value());
  EXPECT_EQ(noInterval.error().message, "Hypsometric interval not specified");
  auto noWindow = ComputeContourDensity(*dem, {0, 10, 100, ContourTiling::kSquaredGrid, 1});
  ASSERT_FALSE(noWindow.has_value());
  EXPECT_EQ(noWindow.error().message, "Window range not specified");
  EXPECT_EQ(ContourLevelCount(0, 100, 50), 1);  // 50 only: 100 is not below the maximum
  EXPECT_EQ(ContourLevelCount(5, 5, 1), 0);
}

// The extraction as described: levels assigned in increasing order, then the neighbour tests.
TRasterImage PlainContours(const TDemModel& dem, const ContourLinesParams& prm) {
  const int w = dem.columns, h = dem.lines;
  std::vector<int> e(static_cast<std::size_t>(w) * h), q, assigned(e.size(), 0);
  for (int r = 0; r < h; ++r)
    for (int c = 0; c < w; ++c) e[r * w + c] = static_cast<int>(dem.GetElevation(c, r)) / prm.unitDivisor;
  q = e;
  const int n = (prm.last - prm.first) / prm.interval + 1;
  std::vector<int> levels;
  for (int k = 0; k < n; ++k) levels.push_back(prm.first + k * prm.interval);
  for (int level : levels)
    for (std::size_t k = 0; k < e.size(); ++k)
      if (!assigned[k] && q[k] <= level) e[k] = level, assigned[k] = 1;
  TRasterImage image(w, h, kRasterGray);
  image.Fill(Rgb(255, 255, 255));
  auto at = [&](int c, int r) { return e[r * w + c]; };
  for (int r = 0; r < h; ++r)
    for (int c = 0; c < w; ++c) {
      const int v = at(c, r);
      bool on = false;
      const bool top = r == 0, bottom = r == h - 1, left = c == 0, right = c == w - 1;
      if (bottom && right) on = v < at(c, r - 1);
      else if ((top || bottom) && (left || right)) on = false;
      else if (top) on = v < at(c - 1, r) || v < at(c + 1, r) || v < at(c, r + 1);
      else if (bottom) on = v < at(c - 1, r) || v < at(c + 1, r) || v < at(c, r - 1);
      else if (left) on = v < at(c, r - 1) || v < at(c, r + 1) || v < at(c + 1, r);
      else if (right) on = v < at(c, r - 1) || v < at(c, r + 1) || v < at(c - 1, r);
      else on = v < at(c - 1, r) || v < at(c + 1, r) || v < at(c, r - 1) || v < at(c, r + 1);
      if (!on) continue;
      auto it = std::find(levels.begin(), levels.end(), v);
      if (it != levels.end()) image.SetValue(c, r, static_cast<int>(it - levels.begin()));
    }
  return image;
}

TEST(ContourLines, MatchTheLevelByLevelAssignmentOnRandomDemsAndTheSample) {
  for (unsigned seed = 1; seed <= 4; ++seed) {
    auto dem = RandomDem(17, 12 + static_cast<int>(seed), seed, {.lo = -40, .hi = 400, .step = 0});
    for (ContourLinesParams prm : {ContourLinesParams{100, 300, 100, 1}, ContourLinesParams{-35, 380, 17, 1},
                                   ContourLinesParams{0, 40, 3, 10}, ContourLinesParams{250, 250, 5, 1}})
      ASSERT_EQ(CountDifferences(*ComputeContourLines(*dem, prm)->image, PlainContours(*dem, prm)), 0)
          << "seed " << seed << " first " << prm.first;
  }
  auto sample = testing::LoadSampleDem();
  ASSERT_NE(sample, nullptr);
  const ContourLinesParams prm{300, 1000, 50, 1};
  EXPECT_EQ(CountDifferences(*ComputeContourLines(*sample, prm)->image, PlainContours(*sample, prm)), 0);
  const ContourHeightRange range = ContourHeights(*sample, 1);
  EXPECT_EQ(range.minimum, 236);
  EXPECT_EQ(range.maximum, 1076);
}

TEST(ContourLines, LevelsIndexTheLinesAndCellsBetweenCountAtTheNextLevel) {
  // Columns rise 100, 150, 200, 250, 300, 350 m along each line.
  std::vector<std::vector<double>> rows(4, std::vector<double>{100, 150, 200, 250, 300, 350});
  auto dem = DemFrom(rows);
  auto result = ComputeContourLines(*dem, {100, 300, 100, 1});
  ASSERT_TRUE(result.has_value());
  EXPECT_EQ(result->levels, (std::vector<int>{100, 200, 300}));
  // Levels per column: 100, 200 (150 counted at 200), 200, 300, 300, 350 (above the last).
  EXPECT_EQ(Pixel(*result->image, 0, 1), 0);
  EXPECT_EQ(Pixel(*result->image, 1, 1), 255);  // 200 beside 200: not lower than a neighbour
  EXPECT_EQ(Pixel(*result->image, 2, 1), 1);
  EXPECT_EQ(Pixel(*result->image, 4, 1), 2);
  EXPECT_EQ(Pixel(*result->image, 5, 1), 255);
}

TEST(ContourLines, RefusesIntervalsThatCannotBeDrawn) {
  auto dem = RandomDem(6, 6, 2, {.hi = 10, .step = 0});
  auto zero = ComputeContourLines(*dem, {0, 100, 0, 1});
  ASSERT_FALSE(zero.has_value());
  EXPECT_EQ(zero.error().message, "The hypsometric interval must be greater than 0");
  EXPECT_FALSE(ComputeContourLines(*dem, {300, 100, 100, 1}).has_value());
  EXPECT_FALSE(ComputeContourLines(*dem, {0, 255, 1, 1}).has_value());  // 256 levels
  EXPECT_TRUE(ComputeContourLines(*dem, {0, 254, 1, 1}).has_value());   // 255 levels
}

}  // namespace
}  // namespace orvane
