#include "core/surface/total_depth.h"

#include <gtest/gtest.h>

#include "support/compare.h"
#include "support/dems.h"

namespace orvane {
namespace {

using testing::ColourAt;
using testing::FlatDem;
using testing::RandomDem;

// Relief of the window centred on (r, c) by scanning every cell.
int PlainRelief(const TDemModel& dem, int r, int c, int h) {
  int lo = 0, hi = 0;
  bool first = true;
  for (int y = r - h; y <= r + h; ++y)
    for (int x = c - h; x <= c + h; ++x) {
      const int v = static_cast<int>(dem.GetElevation(x, y));
      if (first || v < lo) lo = v;
      if (first || v > hi) hi = v;
      first = false;
    }
  return hi - lo;
}

void ExpectMatchesWindowScan(const TDemModel& dem, int S) {
  auto relief = ComputeTotalDepthRelief(dem, S);
  ASSERT_TRUE(relief) << relief.error().message;
  const int h = S / 2;
  ASSERT_EQ(relief->half, h);
  int lo = 1 << 30, hi = -1;
  for (int r = h; r < dem.lines - h; ++r)
    for (int c = h; c < dem.columns - h; ++c) {
      const int expected = PlainRelief(dem, r, c, h);
      ASSERT_EQ(relief->relief[static_cast<std::size_t>(r) * dem.columns + c], expected)
          << "S " << S << " at " << r << "," << c;
      lo = std::min(lo, expected);
      hi = std::max(hi, expected);
    }
  EXPECT_EQ(relief->minimum, lo);
  EXPECT_EQ(relief->maximum, hi);

  const TClassTable table = TotalDepthClassTable(kDepthColored, true, lo, hi);
  const TRasterImage coloured = RenderTotalDepth(*relief, kDepthColored, table, true);
  const TRasterImage gray = RenderTotalDepth(*relief, kDepthGray255, TClassTable(), false);
  ASSERT_EQ(coloured.kind, kRasterRgb);
  for (int r = 0; r < dem.lines; ++r)
    for (int c = 0; c < dem.columns; ++c) {
      const bool inside = r >= h && r < dem.lines - h && c >= h && c < dem.columns - h;
      if (!inside) {
        ASSERT_EQ(ColourAt(coloured, c, r), Rgb(255, 255, 255)) << r << "," << c;
        ASSERT_EQ(ColourAt(gray, c, r), Rgb(255, 255, 255));
        continue;
      }
      const int d = relief->relief[static_cast<std::size_t>(r) * dem.columns + c];
      ASSERT_EQ(ColourAt(coloured, c, r), table.ColorOf(d, true));
      const int level = std::min(d, 255);
      ASSERT_EQ(ColourAt(gray, c, r), Rgb(level, level, level));
    }
}

TEST(TotalDepth, ScaleSpreadsTheTenClassesOverMinMax) {
  const TClassTable scaled = TotalDepthClassTable(kDepthColored, true, 0, 200);
  ASSERT_EQ(scaled.count(), 10);
  for (int k = 0; k < 10; ++k) EXPECT_FLOAT_EQ(scaled[k].bound, 20.0f * (k + 1));
  const TClassTable gray = TotalDepthClassTable(kDepthGray, false, 0, 200);
  EXPECT_FLOAT_EQ(gray[9].bound, 100.0f);
  EXPECT_EQ(gray[3], (TClassEntry{40.0f, 104, 104, 104}));
  EXPECT_EQ(TotalDepthClassTable(kDepthColored, false, 0, 0)[4], (TClassEntry{50.0f, 128, 255, 0}));
  EXPECT_TRUE(TotalDepthClassTable(kDepthGray255, true, 0, 200).empty());
}

TEST(TotalDepth, FlatGroundHasNoRelief) {
  auto dem = FlatDem(20, 15, 321);
  auto relief = ComputeTotalDepthRelief(*dem, 5);
  ASSERT_TRUE(relief);
  EXPECT_EQ(relief->minimum, 0);
  EXPECT_EQ(relief->maximum, 0);
  // Scaled over Min = Max = 0 every bound is 0 and relief 0 takes the first class.
  const TClassTable table = TotalDepthClassTable(kDepthColored, true, 0, 0);
  const TRasterImage image = RenderTotalDepth(*relief, kDepthColored, table, true);
  EXPECT_EQ(ColourAt(image, 2, 2), Rgb(0, 90, 0));
  EXPECT_EQ(ColourAt(image, 1, 2), Rgb(255, 255, 255));
  EXPECT_EQ(ColourAt(image, 17, 12), Rgb(0, 90, 0));
  EXPECT_EQ(ColourAt(image, 18, 12), Rgb(255, 255, 255));
}

TEST(TotalDepth, MatchesWindowScanOnRandomDems) {
  ExpectMatchesWindowScan(*RandomDem(33, 28, 1, {.hi = 80, .step = 40}), 1);
  ExpectMatchesWindowScan(*RandomDem(33, 28, 2, {.hi = 800, .step = 400}), 3);
  ExpectMatchesWindowScan(*RandomDem(33, 28, 3, {.hi = 120, .step = 60}), 4);   // even: a window of 5
  ExpectMatchesWindowScan(*RandomDem(40, 35, 4, {.hi = 180, .step = 90}), 13);
  ExpectMatchesWindowScan(*RandomDem(40, 35, 5, {.hi = 180, .step = 90}), 35);
}

TEST(TotalDepth, MatchesWindowScanOnSampleDem) {
  auto dem = testing::LoadSampleDem();
  ASSERT_NE(dem, nullptr);
  ExpectMatchesWindowScan(*dem, 11);
}

TEST(TotalDepth, BelowSeaLevelReliefIsMeasured) {
  auto dem = RandomDem(25, 25, 8, {.lo = -5000, .hi = -4900, .step = 50});
  ExpectMatchesWindowScan(*dem, 7);
  auto relief = ComputeTotalDepthRelief(*dem, 7);
  EXPECT_GT(relief->minimum, 0);
}

TEST(TotalDepth, RefusesWhatItCannotCompute) {
  auto dem = RandomDem(20, 12, 1);
  EXPECT_FALSE(ComputeTotalDepthRelief(*dem, 0));
  EXPECT_FALSE(ComputeTotalDepthRelief(*dem, 12));  // h = 6: a window of 13 > 12 lines
  EXPECT_TRUE(ComputeTotalDepthRelief(*dem, 11));
}

}  // namespace
}  // namespace orvane
