#include "core/render/slices.h"

#include <cmath>

#include <gtest/gtest.h>

#include "core/render/shading.h"
#include "support/compare.h"
#include "support/dems.h"

namespace orvane {
namespace {

using testing::CountDifferences;
using testing::RandomDem;

// The slices written out per pixel: RenderShaded, then the class scan and the blend.
std::unique_ptr<TRasterImage> ReferenceSlices(const TDemModel& dem, const TLightParams& light,
                                              const TClassTable& table, double w, bool smooth) {
  auto shaded = RenderShaded(dem, light);
  auto out = std::make_unique<TRasterImage>(dem.columns, dem.lines, kRasterRgb);
  const int n = table.count();
  for (int i = 0; i < dem.lines; ++i)
    for (int j = 0; j < dem.columns; ++j) {
      const double z = dem.GetElevation(j, i);
      int k = n - 1;
      for (int e = 0; e < n; ++e)
        if (z <= table[e].bound) { k = e; break; }
      double r = table[k].red, g = table[k].green, b = table[k].blue;
      if (smooth && k >= 1 && z <= table[k].bound) {
        // The exact mix c0 + (c1 - c0) (z - low) / (high - low), truncated: every product here
        // is exact in doubles (whole z, float bounds, channels of 8 bits), and the quotient's
        // floor is corrected by exact products.
        const double low = table[k - 1].bound, span = table[k].bound - low;
        const auto mix = [&](int c0, int c1) {
          const double num = (c1 - c0) * (z - low);
          double q = std::floor(num / span);
          while ((q + 1) * span <= num) ++q;
          while (q * span > num) --q;
          return c0 + q;
        };
        r = mix(table[k - 1].red, table[k].red);
        g = mix(table[k - 1].green, table[k].green);
        b = mix(table[k - 1].blue, table[k].blue);
      }
      int s = 0;
      shaded->GetValue(j, i, s);
      out->SetColor(j, i, Rgb(static_cast<int>(s * (1 - w) + r * w), static_cast<int>(s * (1 - w) + g * w),
                              static_cast<int>(s * (1 - w) + b * w)));
    }
  return out;
}

TEST(SlicesTest, GrayTonesSpanTheWholeRange) {
  auto dem = RandomDem(40, 30, 5, {.lo = -200, .hi = 2500});
  auto gray = RenderSlices(*dem, nullptr, nullptr, 1.0, false);
  ASSERT_TRUE(gray);
  EXPECT_EQ(gray->kind, kRasterGray);
  int lowest = 256, highest = -1;
  const double a = (static_cast<double>(dem->maxElevation) - dem->minElevation) / 255;
  for (int l = 0; l < 30; ++l)
    for (int c = 0; c < 40; ++c) {
      int v = 0;
      gray->GetValue(c, l, v);
      lowest = std::min(lowest, v);
      highest = std::max(highest, v);
      const double z = dem->GetElevation(c, l);
      if (z < dem->maxElevation) {
        EXPECT_EQ(v, static_cast<int>((z - dem->minElevation) / a));
      }
    }
  EXPECT_EQ(lowest, 0);
  EXPECT_EQ(highest, 255);
  // A table without a light (or an empty table) also gives the gray tones.
  const TClassTable table = HypsoTable(kSliceHypsoMap1);
  EXPECT_EQ(CountDifferences(*gray, *RenderSlices(*dem, nullptr, &table, 0.5, true)), 0);
  const TClassTable empty;
  const TLightParams light;
  EXPECT_EQ(CountDifferences(*gray, *RenderSlices(*dem, &light, &empty, 0.5, true)), 0);
}

TEST(SlicesTest, FlatDemGivesBlackGrayRaster) {
  auto dem = testing::FlatDem(5, 4, 300.0);
  const TClassTable table = HypsoTable(kSliceHypsoMap2);
  const TLightParams light;
  auto result = RenderSlices(*dem, &light, &table, 0.5, false);
  ASSERT_TRUE(result);
  EXPECT_EQ(result->kind, kRasterGray);
  int v = -1;
  result->GetValue(2, 2, v);
  EXPECT_EQ(v, 0);
}

TEST(SlicesTest, PureSliceColoursFollowTheBounds) {
  // One line of elevations on and around the bounds of "HypsoMap 1".
  const double z[] = {-5, 0, 0.5, 50, 51, 150, 7000, 9000};
  auto dem = std::make_unique<TDemModel>(8, 1, kDemFloat32);
  for (int c = 0; c < 8; ++c) dem->SetElevation(c, 0, z[c]);
  dem->UpdateMinMax();
  const TClassTable table = HypsoTable(kSliceHypsoMap1);
  const TLightParams light;
  auto plain = RenderSlices(*dem, &light, &table, 1.0, false);
  const TColor expected[] = {Rgb(0, 90, 0),   Rgb(0, 90, 0),   Rgb(0, 128, 0),   Rgb(0, 128, 0),
                             Rgb(0, 160, 0),  Rgb(0, 255, 0),  Rgb(255, 0, 0),   Rgb(255, 0, 0)};
  for (int c = 0; c < 8; ++c) {
    TColor got;
    plain->GetColor(c, 0, got);
    EXPECT_EQ(got, expected[c]) << "column " << c;
  }
  // Smoothing: 150 lies halfway between 100 (0, 160, 0) and 200 (0, 255, 0); above the last
  // bound the last colour stands.
  auto smooth = RenderSlices(*dem, &light, &table, 1.0, true);
  TColor got;
  smooth->GetColor(5, 0, got);
  EXPECT_EQ(got, Rgb(0, 207, 0));
  smooth->GetColor(7, 0, got);
  EXPECT_EQ(got, Rgb(255, 0, 0));
}

TEST(SlicesTest, ScaledBoundsSplitTheRangeEvenly) {
  auto dem = RandomDem(30, 30, 8, {.lo = 100, .hi = 1400});
  TClassTable table = HypsoTable(kSliceHypsoMap1);
  table.ScaleBounds(dem->minElevation, dem->maxElevation);
  ASSERT_EQ(table.count(), 13);
  EXPECT_FLOAT_EQ(table[12].bound, dem->maxElevation);
  const double width = (static_cast<double>(dem->maxElevation) - dem->minElevation) / 13;
  for (int k = 0; k < 13; ++k) EXPECT_NEAR(table[k].bound, dem->minElevation + (k + 1) * width, 1e-3);
}

TEST(SlicesTest, BlendMatchesReferenceOnRandomAndSampleDems) {
  const TLightParams light;
  for (int index : {kSliceHypsoMap1, kSliceHypsoMap2, kSliceHypsoMap3}) {
    TClassTable table = HypsoTable(index);
    auto dem = RandomDem(61, 47, 20 + index, {.lo = -100, .hi = 6500});
    for (bool smooth : {false, true}) {
      EXPECT_EQ(CountDifferences(*RenderSlices(*dem, &light, &table, 0.5, smooth),
                                 *ReferenceSlices(*dem, light, table, 0.5, smooth)),
                0);
    }
  }
  auto sample = testing::LoadSampleDem();
  ASSERT_TRUE(sample);
  TClassTable table = HypsoTable(kSliceHypsoMap1);
  table.ScaleBounds(sample->minElevation, sample->maxElevation);
  EXPECT_EQ(CountDifferences(*RenderSlices(*sample, &light, &table, 0.5, true),
                             *ReferenceSlices(*sample, light, table, 0.5, true)),
            0);
}

}  // namespace
}  // namespace orvane
