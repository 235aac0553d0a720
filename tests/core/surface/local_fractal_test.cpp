#include "core/surface/local_fractal.h"

#include <gtest/gtest.h>

#include <cstring>

#include "support/dems.h"

namespace orvane {
namespace {

using testing::FlatDem;
using testing::RandomDem;

// The straightforward way: fill a 26 x 26 x 26 voxel cube and count boxes voxel by voxel.
class VoxelCubeOracle {
 public:
  VoxelCubeOracle(const std::vector<int>& e, int columns, int windowSize, double step)
      : e_(e), columns_(columns), step_(step) {
    LocalFractalWindowOf(windowSize, window_);
  }

  // Box counts of the volume whose first window cell is (line0, column0), reference K.
  std::vector<int> Counts(int line0, int column0, int K) {
    const int F = window_.half;
    std::memset(cube_, 0, sizeof cube_);
    for (int i = 1; i <= 2 * F - 1; ++i) {
      for (int j = 1; j <= 2 * F - 1; ++j) {
        const int v = E(line0 + i - 1, column0 + j - 1);
        int t;
        if (v > K) {
          t = std::min(F + static_cast<int>((v - K) / step_), 2 * F);
        } else {
          t = F - static_cast<int>((K - v) / step_);
        }
        for (int z = 1; z <= t; ++z) cube_[i][j][z] = 1;
      }
    }
    std::vector<int> counts;
    const int side = window_.side;
    for (int s : window_.boxSizes) {
      int n = 0;
      for (int a = 1; a <= side; a += s)
        for (int b = 1; b <= side; b += s)
          for (int c = 1; c <= side; c += s) {
            bool filled = false;
            for (int x = a; x < a + s && !filled; ++x)
              for (int y = b; y < b + s && !filled; ++y)
                for (int z = c; z < c + s && !filled; ++z) filled = cube_[x][y][z] != 0;
            n += filled;
          }
      counts.push_back(n);
    }
    return counts;
  }

  double Dimension(int r, int c) {
    const int F = window_.half;
    const int K = E(r - 1, c - 1);
    const auto n1 = Counts(r - F + 1, c - F + 1, K);
    const auto n2 = Counts(r - F, c - F, K);
    return (LocalFractalFit(window_.boxSizes, n1.data()) +
            LocalFractalFit(window_.boxSizes, n2.data())) * 0.5;
  }

 private:
  int E(int line, int column) const { return e_[static_cast<std::size_t>(line) * columns_ + column]; }
  const std::vector<int>& e_;
  int columns_;
  double step_;
  LocalFractalWindow window_;
  unsigned char cube_[26][26][26];
};

TEST(LocalFractal, FlatSlabCountsAndDimension) {
  auto dem = FlatDem(40, 30, 700);
  const auto e = LocalFractalElevations(*dem, 1);
  VoxelCubeOracle cube12(e, 40, 12, 9.0);
  EXPECT_EQ(cube12.Counts(10, 10, 700), (std::vector<int>{726, 108, 32, 18, 4}));
  VoxelCubeOracle cube24(e, 40, 24, 9.0);
  EXPECT_EQ(cube24.Counts(3, 3, 700), (std::vector<int>{6348, 864, 256, 108, 32, 4}));

  const int slab12[] = {726, 108, 32, 18, 4};
  EXPECT_NEAR(LocalFractalFit({1, 2, 3, 4, 6}, slab12), 2.848, 5e-4);
  const int slab24[] = {6348, 864, 256, 108, 32, 4};
  EXPECT_NEAR(LocalFractalFit({1, 2, 3, 4, 6, 12}, slab24), 2.972, 5e-4);

  for (int window : {12, 24}) {
    auto result = ComputeLocalFractal(*dem, {window, 1.0, 1, 90});
    ASSERT_TRUE(result) << result.error().message;
    EXPECT_EQ(result->minimum, result->maximum);
    EXPECT_NEAR(result->minimum, window == 12 ? 2.848 : 2.972, 5e-4);
    int value = -1;
    result->image.GetValue(20, 15, value);
    EXPECT_EQ(value, 0) << "equal extremes draw computed cells 0";
  }
}

TEST(LocalFractal, FitNeedsTwoSizesAndANegativeSlope) {
  const int one[] = {5, 0, 0, 0, 0};
  EXPECT_EQ(LocalFractalFit({1, 2, 3, 4, 6}, one), 0.0);
  const int rising[] = {1, 2, 0, 0, 0};
  EXPECT_EQ(LocalFractalFit({1, 2, 3, 4, 6}, rising), 0.0);
}

TEST(LocalFractal, FullAndEmptyColumns) {
  // Step 10 m, F = 6: 60 m or more above fills all 12 voxels, 60 m or more below none.
  EXPECT_EQ(LocalFractalColumnHeight(60, 10.0, 6), 12);
  EXPECT_EQ(LocalFractalColumnHeight(1000000, 10.0, 6), 12);
  EXPECT_EQ(LocalFractalColumnHeight(59, 10.0, 6), 11);
  EXPECT_EQ(LocalFractalColumnHeight(0, 10.0, 6), 6);
  EXPECT_EQ(LocalFractalColumnHeight(9, 10.0, 6), 6);
  EXPECT_EQ(LocalFractalColumnHeight(-9, 10.0, 6), 6);
  EXPECT_EQ(LocalFractalColumnHeight(-10, 10.0, 6), 5);
  EXPECT_EQ(LocalFractalColumnHeight(-59, 10.0, 6), 1);
  EXPECT_EQ(LocalFractalColumnHeight(-60, 10.0, 6), 0);
  EXPECT_EQ(LocalFractalColumnHeight(-1000000, 10.0, 6), 0);
}

TEST(LocalFractal, BorderWidthsStayWhite) {
  auto dem = RandomDem(50, 45, 3, {.hi = 80, .step = 40});
  for (int window : {12, 24}) {
    const int F = window / 2;
    auto result = ComputeLocalFractal(*dem, {window, 0.2, 1, 90});
    ASSERT_TRUE(result);
    EXPECT_EQ(result->margin, F + 1);
    for (int l = 0; l < 45; ++l) {
      for (int c = 0; c < 50; ++c) {
        int value = -1;
        result->image.GetValue(c, l, value);
        const bool inside = l >= F && l < 45 - F && c >= F && c < 50 - F;
        if (inside) {
          EXPECT_LE(value, 254) << l << "," << c;
        } else {
          EXPECT_EQ(value, 255) << l << "," << c;
        }
      }
    }
  }
}

// The column-height count must equal the voxel cube at every centre, including the last line
// and column of centres that the image does not show.
TEST(LocalFractal, MatchesVoxelCubeOnRandomDems) {
  struct Case { int window; double h; int unit; int spread; unsigned seed; };
  const Case cases[] = {{12, 0.1, 1, 30, 1}, {12, 0.05, 10, 300, 2}, {12, 3.0, 1, 200, 3},
                        {24, 0.1, 1, 30, 4}, {24, 0.02, 1, 60, 5},
                        {12, 4000.0, 1, 3000000, 6}};  // too wide for a table
  for (const Case& k : cases) {
    auto dem = RandomDem(k.window + 9, k.window + 7, k.seed, {.hi = 2 * k.spread, .step = k.spread});
    auto result = ComputeLocalFractal(*dem, {k.window, k.h, k.unit, 90});
    ASSERT_TRUE(result) << result.error().message;
    const auto e = LocalFractalElevations(*dem, k.unit);
    VoxelCubeOracle oracle(e, dem->columns, k.window, 90 * k.h);
    const int F = k.window / 2;
    double lo = 1e9, hi = -1e9;
    for (int r = F; r <= dem->lines - F; ++r) {
      for (int c = F; c <= dem->columns - F; ++c) {
        const double expected = oracle.Dimension(r, c);
        ASSERT_EQ(result->dimension[static_cast<std::size_t>(r) * dem->columns + c], expected)
            << "window " << k.window << " at " << r << "," << c;
        lo = std::min(lo, expected);
        hi = std::max(hi, expected);
      }
    }
    EXPECT_EQ(result->minimum, lo);
    EXPECT_EQ(result->maximum, hi);
    EXPECT_GT(hi, lo) << "the case must exercise varied surfaces";
  }
}

TEST(LocalFractal, MatchesVoxelCubeOnSampleDem) {
  auto dem = testing::LoadSampleDem();
  ASSERT_NE(dem, nullptr);
  auto result = ComputeLocalFractal(*dem, {12, 0.1, 1, 90});
  ASSERT_TRUE(result);
  const auto e = LocalFractalElevations(*dem, 1);
  VoxelCubeOracle oracle(e, dem->columns, 12, 9.0);
  for (int r = 6; r <= dem->lines - 6; r += 7) {
    for (int c = 6; c <= dem->columns - 6; c += 5) {
      ASSERT_EQ(result->dimension[static_cast<std::size_t>(r) * dem->columns + c],
                oracle.Dimension(r, c))
          << r << "," << c;
    }
  }
  // Diagram: one count per drawn cell, bounds from the extremes.
  long total = 0;
  for (int n : result->diagram) total += n;
  EXPECT_EQ(total, static_cast<long>(dem->lines - 12) * (dem->columns - 12));
  EXPECT_EQ(result->diagramUpper, static_cast<int>(100 * result->maximum));
  EXPECT_EQ(result->diagramStart, static_cast<int>(100 * result->minimum));
  EXPECT_GT(result->maximum, result->minimum);
  EXPECT_GE(result->minimum, 0.0);
  EXPECT_LE(result->maximum, 3.0);
}

TEST(LocalFractal, RefusesWhatItCannotCompute) {
  auto dem = RandomDem(30, 30, 9);
  auto zeroH = ComputeLocalFractal(*dem, {12, 0.0, 1, 90});
  ASSERT_FALSE(zeroH);
  EXPECT_EQ(zeroH.error().code, kBadParameter);
  EXPECT_FALSE(ComputeLocalFractal(*dem, {12, 1.0, 1, 0}));  // pixel under one metre
  EXPECT_FALSE(ComputeLocalFractal(*dem, {13, 1.0, 1, 90}));
  EXPECT_FALSE(ComputeLocalFractal(*RandomDem(23, 40, 1), {24, 1.0, 1, 90}));
  EXPECT_TRUE(ComputeLocalFractal(*RandomDem(24, 24, 1), {24, 1.0, 1, 90}));
}

}  // namespace
}  // namespace orvane
