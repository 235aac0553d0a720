#include "core/morphometry/ratio_depth.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "support/compare.h"
#include "support/dems.h"
#include "support/networks.h"

namespace orvane {
namespace {

// Each window scanned cell by cell, with the extremes taken from the window's own cells.
TRasterImage Oracle(const TDemModel& dem, const TRasterImage& net, int ws, int S) {
  const int W = net.columns, H = net.lines, v = static_cast<int>(ws * 0.5);
  int value = -1;
  for (int y = 0; y < H && value < 0; ++y)
    for (int x = 0; x < W && value < 0; ++x) {
      int g;
      net.GetValue(x, y, g);
      if (g != 255) value = g;
    }
  TRasterImage out(W, H, kRasterGray);
  out.Fill(TColor{0, 0, 0});
  for (int y = v; y < H - v; ++y)
    for (int x = v; x < W - v; ++x) {
      long long lo = LLONG_MAX, hi = LLONG_MIN, nlo = LLONG_MAX, nhi = LLONG_MIN;
      for (int i = y - v; i <= y + v; ++i)
        for (int j = x - v; j <= x + v; ++j) {
          const auto z = static_cast<long long>(std::trunc(dem.GetElevation(j, i)));
          lo = std::min(lo, z);
          hi = std::max(hi, z);
          int g;
          net.GetValue(j, i, g);
          if (g == value) {
            nlo = std::min(nlo, z);
            nhi = std::max(nhi, z);
          }
        }
      double q = 0.0;
      if (hi - lo != 0 && nhi != LLONG_MIN) q = static_cast<double>(nhi - nlo) / static_cast<double>(hi - lo) * S;
      if (q > 255.0) q = 255.0;
      if (!(q >= 0.0)) q = 0.0;
      out.SetValue(x, y, static_cast<int>(q));
    }
  return out;
}

TEST(RatioDepth, RunningExtremesMatchTheWindowLoop) {
  unsigned seed = 21;
  for (int ws : {0, 1, 3, 4, 9, 51}) {
    auto dem = testing::RandomDem(61, 43, seed, {.lo = -500, .hi = 500});  // terrain on both sides of 0
    TRasterImage net =
        testing::RandomNetwork(61, 43, seed++, {.walks = 4, .speckle = 3, .values = {85}, .kind = kRasterRgb});
    net.SetValue(0, 0, 40);  // the first non-background pixel decides the network value
    auto r = ComputeRatioDepth(*dem, net, {ws, ws % 2 ? 100 : 255});
    ASSERT_TRUE(r) << r.error().message;
    testing::ExpectSameImage(r->image, Oracle(*dem, net, ws, ws % 2 ? 100 : 255));
  }
}

TEST(RatioDepth, RunningExtremesMatchTheWindowLoopOnTheSampleDem) {
  auto dem = testing::LoadSampleDem();
  ASSERT_NE(dem, nullptr);
  const TRasterImage net = testing::ValleyNetwork(*dem);
  auto r = ComputeRatioDepth(*dem, net, {11, 255});
  ASSERT_TRUE(r);
  testing::ExpectSameImage(r->image, Oracle(*dem, net, 11, 255));
}

TEST(RatioDepth, RatiosOfTheReliefs) {
  // Elevations rise along the columns: 0, 10, 20, ... A network covering the whole window
  // spans the surface relief (q = S); half the span gives 0.5 -> 127 at S = 255.
  auto dem = testing::FlatDem(9, 9);
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 9; ++x) dem->SetElevation(x, y, 10.0 * x);
  TRasterImage net(9, 9, kRasterGray);
  net.Fill(TColor{255, 255, 255});
  for (int x = 0; x < 9; ++x) net.SetValue(x, 4, 0);
  auto r100 = ComputeRatioDepth(*dem, net, {5, 100});
  ASSERT_TRUE(r100);
  EXPECT_EQ(r100->image.Row(4)[4], 100);
  EXPECT_EQ(r100->image.Row(1)[4], 0);  // border stays 0
  EXPECT_EQ(r100->margin, 2);
  net.Fill(TColor{255, 255, 255});
  net.SetValue(4, 4, 0);
  net.SetValue(5, 4, 0);
  net.SetValue(6, 4, 0);  // relief 20 of the window's 40 around (4, 4)
  auto r255 = ComputeRatioDepth(*dem, net, {5, 255});
  EXPECT_EQ(r255->image.Row(4)[4], 127);
  EXPECT_EQ(r255->image.Row(4)[7], 0);  // out of reach of the network: 0
  net.Fill(TColor{255, 255, 255});
  net.SetValue(4, 4, 0);  // a lone network cell has no relief
  EXPECT_EQ(ComputeRatioDepth(*dem, net, {5, 255})->image.Row(4)[4], 0);
}

TEST(RatioDepth, TerrainBelowZeroHasItsTrueRelief) {
  auto dem = testing::FlatDem(5, 5);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 5; ++x) dem->SetElevation(x, y, -100.0 - 10.0 * x);
  TRasterImage net(5, 5, kRasterGray);
  net.Fill(TColor{255, 255, 255});
  for (int x = 0; x < 5; ++x) net.SetValue(x, 2, 0);
  auto r = ComputeRatioDepth(*dem, net, {3, 100});
  ASSERT_TRUE(r);
  EXPECT_EQ(r->image.Row(2)[2], 100);
}

TEST(RatioDepth, SingleCellWindowsAndRefusals) {
  auto dem = testing::RandomDem(12, 10, 4);
  const TRasterImage net = testing::RandomNetwork(12, 10, 4, {.walks = 2, .speckle = 30});
  for (int ws : {0, 1}) {
    auto r = ComputeRatioDepth(*dem, net, {ws, 255});
    ASSERT_TRUE(r);
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 12; ++x) EXPECT_EQ(r->image.Row(y)[x], 0);
  }
  EXPECT_TRUE(ComputeRatioDepth(*dem, net, {40, 255}));  // window wider than the raster: all 0
  EXPECT_FALSE(ComputeRatioDepth(*dem, net, {5, 128}));
  EXPECT_FALSE(ComputeRatioDepth(*dem, net, {-3, 255}));
  auto other = testing::FlatDem(12, 11);
  EXPECT_FALSE(ComputeRatioDepth(*other, net, {5, 255}));
  TRasterImage white(12, 10, kRasterGray);
  white.Fill(TColor{255, 255, 255});
  EXPECT_FALSE(ComputeRatioDepth(*dem, white, {5, 255}));
}

}  // namespace
}  // namespace orvane
