#include "core/surface/slope.h"

#include <cmath>
#include <numbers>

#include <gtest/gtest.h>

#include "support/compare.h"
#include "support/dems.h"
#include "treatment_oracles.h"

namespace orvane {
namespace {

using testing::DemShape;
using testing::ExpectSameImage;
using testing::RandomDem;
using oracle::OracleSlope;

TDemModel Plane(int columns, int lines, double perColumn, double perLine) {
  TDemModel dem(columns, lines, kDemFloat64);
  for (int l = 0; l < lines; ++l) {
    for (int c = 0; c < columns; ++c) dem.SetElevation(c, l, 500 + perColumn * c + perLine * l);
  }
  return dem;
}

TSlopeParams Gray(int n) {
  TSlopeParams p;
  p.grayTones = true;
  p.normalization = n;
  return p;
}

TSlopeParams Colour(int table, bool smoothing) {
  TSlopeParams p;
  p.table = SlopeTable(table);
  p.smoothing = smoothing;
  return p;
}

TEST(Slope, BuiltInTablesHaveTheirClassCounts) {
  EXPECT_EQ(SlopeTable(1).count(), 14);
  EXPECT_EQ(SlopeTable(2).count(), 8);
  EXPECT_EQ(SlopeTable(3).count(), 14);
  EXPECT_EQ(SlopeTable(1)[0], (TClassEntry{0.0f, 0, 0, 255}));
  EXPECT_EQ(SlopeTable(3)[0], (TClassEntry{1.0f, 0, 90, 0}));
  EXPECT_EQ(SlopeTable(2)[7], (TClassEntry{90.0f, 0, 0, 0}));
  EXPECT_TRUE(SlopeTable(4).empty());
}

TEST(Slope, HorizontalDemIsZeroGrayAndFirstClass) {
  TDemModel dem(7, 5, kDemInt32);
  dem.Fill(321);
  auto gray = ComputeSlope(dem, Gray(255));
  ASSERT_TRUE(gray);
  auto colour = ComputeSlope(dem, Colour(2, true));
  ASSERT_TRUE(colour);
  for (int l = 0; l < 5; ++l) {
    for (int c = 0; c < 7; ++c) {
      int v = -1;
      gray->image->GetValue(c, l, v);
      EXPECT_EQ(v, 0);
      TColor k;
      colour->image->GetColor(c, l, k);
      EXPECT_EQ(k, Rgb(0, 0, 255));
    }
  }
}

TEST(Slope, PlaneGivesTheSameSlopeOnBorderCellsAsInside) {
  // atan(2) = 63.43 degrees: level 179 for N = 255, well away from a level boundary.
  TDemModel dem = Plane(9, 6, 2.0, 0.0);
  auto gray = ComputeSlope(dem, Gray(255));
  ASSERT_TRUE(gray);
  for (int l = 0; l < 6; ++l) {
    for (int c = 0; c < 9; ++c) {
      int v = -1;
      gray->image->GetValue(c, l, v);
      EXPECT_EQ(v, 179) << c << "," << l;
    }
  }
  // atan(3) = 71.6 degrees: above the last bound of tables 1 and 3.
  TDemModel steep = Plane(5, 5, 0.0, 3.0);
  for (int table : {1, 3}) {
    auto colour = ComputeSlope(steep, Colour(table, true));
    ASSERT_TRUE(colour);
    TColor k;
    colour->image->GetColor(0, 4, k);
    EXPECT_EQ(k, Rgb(180, 0, 0));
  }
}

TEST(Slope, GrayNormalizationsSpreadSixtyDegrees) {
  TDemModel dem = Plane(4, 4, std::tan(60.0 * std::numbers::pi / 180.0), 0.0);
  const std::pair<int, int> expected[] = {{90, 59}, {180, 119}, {255, 169}};
  for (const auto& [n, level] : expected) {
    auto r = ComputeSlope(dem, Gray(n));
    ASSERT_TRUE(r);
    int v = -1;
    r->image->GetValue(2, 2, v);
    EXPECT_EQ(v, level) << n;
  }
}

TEST(Slope, RefusesBadParametersAndDemsWithoutTriangles) {
  TDemModel dem(3, 3, kDemInt32);
  EXPECT_EQ(ComputeSlope(dem, Gray(100)).error().code, kBadParameter);
  EXPECT_EQ(ComputeSlope(dem, TSlopeParams{}).error().code, kBadParameter);  // empty table
  EXPECT_FALSE(ComputeSlope(TDemModel{}, Gray(90)));
  // A single cell or a single line forms no triangle: horizontal, not NaN.
  for (auto [w, h] : {std::pair{1, 1}, std::pair{6, 1}, std::pair{1, 6}}) {
    auto r = ComputeSlope(*RandomDem(w, h, 3), Gray(255));
    ASSERT_TRUE(r);
    int v = -1;
    r->image->GetValue(w - 1, h - 1, v);
    EXPECT_EQ(v, 0);
  }
}

TEST(Slope, MatchesTheNormalGridOracleOnRandomDems) {
  const std::pair<int, int> sizes[] = {{2, 2}, {3, 7}, {17, 33}, {64, 70}, {101, 5}};
  unsigned seed = 1;
  for (const auto& [w, h] : sizes) {
    auto dem = RandomDem(w, h, seed++, {.pixel = 12.5f});
    dem->pixelSizeY = 30.0f;
    dem->scale = 0.1f;
    dem->offset = -40.0f;
    for (const TSlopeParams& p : {Gray(90), Gray(255), Colour(1, false), Colour(2, true)}) {
      auto fast = ComputeSlope(*dem, p);
      ASSERT_TRUE(fast);
      ExpectSameImage(*fast->image, *OracleSlope(*dem, p));
    }
  }
}

TEST(Slope, WideGentleAndSteepDemsMatchTheOracle) {
  // Lines long enough for the eight-cell path and its remainders; gentle relief puts most cells
  // in the crowded gray thresholds near the horizontal.
  unsigned seed = 40;
  for (const DemShape& shape :
       {DemShape{.step = 1, .cliffs = 0}, DemShape{.step = 3, .cliffs = 0}, DemShape{.step = 200}}) {
    for (const int w : {9, 16, 17, 18, 250}) {
      auto dem = RandomDem(w, 23, seed++, shape);
      dem->pixelSizeX = 100.0f;
      dem->pixelSizeY = 90.0f;
      for (const TSlopeParams& p : {Gray(90), Gray(180), Gray(255), Colour(1, true), Colour(3, false)}) {
        auto fast = ComputeSlope(*dem, p);
        ASSERT_TRUE(fast);
        ExpectSameImage(*fast->image, *OracleSlope(*dem, p));
      }
    }
  }
}

TEST(Slope, GrayThresholdsGiveTheArcSineLevelAroundEveryThreshold) {
  for (const int n : {90, 180, 255}) {
    const TSlopeGrayLevels gray(n);
    const std::vector<double>& t = gray.thresholds();
    ASSERT_EQ(t.size(), static_cast<std::size_t>(n) + 1);
    int checked = 0;
    for (int k = 1; k < n; ++k) {
      EXPECT_LT(t[k], t[k - 1]);
      // Every double within 300 steps of the threshold, then ever wider offsets.
      double below = t[k], above = t[k];
      for (int step = 0; step < 300; ++step) {
        below = std::nextafter(below, 0.0);
        above = std::nextafter(above, 2.0);
        for (const double q : {below, above}) {
          if (q > 0.0 && q <= 1.0) {
            ASSERT_EQ(gray.Level(q), gray.Exact(q)) << "n " << n << " q " << q;
            ++checked;
          }
        }
      }
      for (double offset = 1e-15; offset < 1e-2; offset *= 3.7) {
        for (const double q : {t[k] - offset, t[k] + offset}) {
          if (q > 0.0 && q <= 1.0) {
            ASSERT_EQ(gray.Level(q), gray.Exact(q)) << "n " << n << " q " << q;
          }
        }
      }
    }
    EXPECT_GT(checked, 300 * n);
    for (const double q : {0.0, 1e-300, 0.5, 1.0, -0.25, -1.0}) EXPECT_EQ(gray.Level(q), gray.Exact(q));
    // A uniform sweep of q.
    for (int i = 1; i <= 200000; ++i) {
      const double q = i / 200000.0;
      ASSERT_EQ(gray.Level(q), gray.Exact(q)) << "n " << n << " q " << q;
    }
  }
}

TEST(Slope, ClassThresholdsGiveTheArcSineClassAroundEveryBound) {
  const TClassTable unsorted({{30.0f, 1, 2, 3}, {10.0f, 4, 5, 6}, {60.0f, 7, 8, 9}});
  for (int number : {1, 2, 3, 0}) {
    const TClassTable table = number == 0 ? unsorted : SlopeTable(number);
    const TSlopeGrayLevels classes(table);
    std::vector<double> probes;
    for (const double t : classes.thresholds()) {
      double below = t, above = t;
      for (int step = 0; step < 300; ++step) {
        below = std::nextafter(below, 0.0);
        above = std::nextafter(above, 2.0);
        probes.push_back(below);
        probes.push_back(above);
      }
    }
    for (int i = 1; i <= 100000; ++i) probes.push_back(i / 100000.0);
    for (const double q : probes) {
      if (q > 0.0 && q <= 1.0) {
        ASSERT_EQ(classes.Level(q), classes.Exact(q)) << "table " << number << " q " << q;
      }
    }
  }
  EXPECT_TRUE(TSlopeGrayLevels(unsorted).thresholds().empty());
}

TEST(Slope, MatchesTheNormalGridOracleOnTheSampleDem) {
  auto dem = testing::LoadSampleDem();
  ASSERT_TRUE(dem);
  for (const TSlopeParams& p : {Gray(90), Gray(180), Gray(255), Colour(2, false), Colour(3, true)}) {
    auto fast = ComputeSlope(*dem, p);
    ASSERT_TRUE(fast);
    ExpectSameImage(*fast->image, *OracleSlope(*dem, p));
  }
}

class CancelAtOnce : public ProgressSink {
 public:
  bool Cancelled() const override { return true; }
};

TEST(Slope, CancellationIsReportedNotReturnedAsAResult) {
  CancelAtOnce cancel;
  auto r = ComputeSlope(*RandomDem(40, 200, 9), Gray(90), &cancel);
  ASSERT_FALSE(r);
  EXPECT_EQ(r.error().code, kCancelled);
}

}  // namespace
}  // namespace orvane
