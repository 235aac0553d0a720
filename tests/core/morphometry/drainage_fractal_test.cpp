#include "core/morphometry/drainage_fractal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "support/dems.h"
#include "support/networks.h"

namespace orvane {
namespace {

// The treatment cell by cell, window by window, as the reference for the bit-row version.
struct Oracle {
  std::vector<double> d;
  std::vector<std::int32_t> histogram;
  double dMin = 500.0, dMax = 0.0;
  TRasterImage image;
};

using Mask = std::vector<std::vector<int>>;

double OracleDimension(const Mask& mask, int ws) {
  const std::vector<int> sizes = ws == 12 ? std::vector<int>{1, 2, 3, 6, 12}
                                          : std::vector<int>{1, 2, 3, 6, 12, 24};
  int k = 0;
  double sx = 0, sy = 0, sxy = 0, sxx = 0;
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    const int s = sizes[i];
    int n = 0;
    if (i + 1 == sizes.size()) {
      n = 1;
    } else {
      for (int br = 0; br < ws; br += s)
        for (int bc = 0; bc < ws; bc += s) {
          bool any = false;
          for (int r = br; r < br + s; ++r)
            for (int c = bc; c < bc + s; ++c) any = any || mask[r][c] == 1;
          n += any ? 1 : 0;
        }
    }
    if (n <= 0) continue;
    const double x = std::log(static_cast<double>(s)), y = std::log(static_cast<double>(n));
    ++k;
    sx += x;
    sy += y;
    sxy += x * y;
    sxx += x * x;
  }
  if (k < 2) return 0.0;
  const double d = -((k * sxy - sx * sy) / (k * sxx - sx * sx));
  return d >= 1.0 ? d : 1.0;
}

Oracle RunOracle(const TRasterImage& raster, bool segments, int ws, int scale) {
  const int l = ws / 2 - 1, m = ws / 2, g = ws == 12 ? 10 : 20;
  const int W = raster.columns, H = raster.lines;
  int netValue = -1;
  for (int y = 0; y < H; ++y)  // first non-background pixel of the last line holding one
    for (int x = 0; x < W; ++x) {
      int v;
      raster.GetValue(x, y, v);
      if (v != 255) {
        netValue = v;
        break;
      }
    }
  Oracle o;
  o.d.assign(static_cast<std::size_t>(W) * H, 0.0);
  for (int y = l; y < H - m; ++y)
    for (int x = l; x < W - m; ++x) {
      int centre;
      raster.GetValue(x, y, centre);
      if (segments && centre != netValue) continue;
      Mask mask(ws + 1, std::vector<int>(ws + 1, 0));
      for (int r = 0; r < ws; ++r)
        for (int c = 0; c < ws; ++c) {
          int v;
          raster.GetValue(x - l + c, y - l + r, v);
          mask[r][c] = v == netValue ? 1 : 0;
        }
      double d = 0.0;
      if (!segments) {
        d = OracleDimension(mask, ws);
      } else {
        Mask seg(ws + 1, std::vector<int>(ws + 1, 0));
        seg[l][l] = 1;
        for (int sweep = 0; sweep < g - 1; ++sweep)
          for (int r = 1; r <= ws - 1; ++r)
            for (int c = 1; c <= ws - 1; ++c) {
              if (mask[r][c] != 1) continue;
              bool near = false;
              for (int dr = -1; dr <= 1; ++dr)
                for (int dc = -1; dc <= 1; ++dc) near = near || seg[r + dr][c + dc] == 1;
              if (near) seg[r][c] = 1;
            }
        const int e = ws - 1;
        for (int r = 1; r <= ws - 2; ++r)
          if (mask[r][0] && (seg[r - 1][1] || seg[r][1] || seg[r + 1][1])) seg[r][0] = 1;
        for (int r = 1; r <= ws - 2; ++r)
          if (mask[r][e] && (seg[r - 1][e - 1] || seg[r][e - 1] || seg[r + 1][e - 1])) seg[r][e] = 1;
        for (int c = 1; c <= ws - 2; ++c)
          if (mask[0][c] && (seg[1][c - 1] || seg[1][c] || seg[1][c + 1])) seg[0][c] = 1;
        for (int c = 1; c <= ws - 2; ++c)
          if (mask[e][c] && (seg[e - 1][c - 1] || seg[e - 1][c] || seg[e - 1][c + 1])) seg[e][c] = 1;
        if (mask[0][0] && (seg[0][1] || seg[1][0] || seg[1][1])) seg[0][0] = 1;
        if (mask[0][e] && (seg[0][e - 1] || seg[1][e] || seg[1][e - 1])) seg[0][e] = 1;
        if (mask[e][e] && (seg[e - 1][e] || seg[e][e - 1] || seg[e - 1][e - 1])) seg[e][e] = 1;
        if (mask[e][0] && (seg[e - 1][0] || seg[e][1] || seg[e - 1][1])) seg[e][0] = 1;
        int marked = 0;
        for (int r = 0; r < ws; ++r)
          for (int c = 0; c < ws; ++c) marked += seg[r][c];
        if (marked >= ws) d = OracleDimension(seg, ws);
      }
      o.d[static_cast<std::size_t>(y) * W + x] = d;
    }
  const int y0 = segments ? 0 : l, y1 = segments ? H : H - m;
  const int x0 = segments ? 0 : l, x1 = segments ? W : W - m;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      const double d = o.d[static_cast<std::size_t>(y) * W + x];
      if (d < o.dMin) o.dMin = d;
      if (d > o.dMax) o.dMax = d;
    }
  EXPECT_TRUE(o.image.Allocate(W, H, kRasterGray));
  o.image.Fill(TColor{255, 255, 255});
  const double range = o.dMax - o.dMin;
  o.histogram.assign(static_cast<std::size_t>(100 * std::max(o.dMax, 0.0)) + 1, 0);
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      const double d = o.d[static_cast<std::size_t>(y) * W + x];
      const int bin = static_cast<int>(100 * d);
      ++o.histogram[static_cast<std::size_t>(bin)];
      o.image.SetValue(x, y, range > 0 ? static_cast<int>((d - o.dMin) / range * scale) : 0);
    }
  return o;
}

void ExpectSameAsOracle(const TRasterImage& raster, FractalMode mode, int ws, int scale) {
  SCOPED_TRACE(::testing::Message() << "ws " << ws << (mode == FractalMode::kSegments ? " segments" : " global"));
  auto fast = ComputeDrainageFractal(raster, {mode, ws, scale});
  ASSERT_TRUE(fast) << fast.error().message;
  const Oracle o = RunOracle(raster, mode == FractalMode::kSegments, ws, scale);
  ASSERT_EQ(fast->dimension.size(), o.d.size());
  for (std::size_t i = 0; i < o.d.size(); ++i) ASSERT_EQ(fast->dimension[i], o.d[i]) << "cell " << i;
  EXPECT_EQ(fast->minimum, o.dMin);
  EXPECT_EQ(fast->maximum, o.dMax);
  EXPECT_GT(o.dMax, 1.0);  // the case exercises real dimensions
  EXPECT_EQ(fast->histogram, o.histogram);
  for (int y = 0; y < raster.lines; ++y)
    for (int x = 0; x < raster.columns; ++x) {
      int a, b;
      fast->image.GetValue(x, y, a);
      o.image.GetValue(x, y, b);
      ASSERT_EQ(a, b) << x << "," << y;
    }
}

TEST(DrainageFractal, BitRowsMatchCellByCellOnRandomNetworks) {
  unsigned seed = 1;
  for (int ws : {12, 24})
    for (int speckle : {0, 3, 30}) {
      ++seed;
      const std::uint8_t kind = seed % 2 ? kRasterRgb : kRasterGray;
      TRasterImage raster =
          testing::RandomNetwork(71, 53, seed, {.walks = 8, .speckle = speckle, .values = {85}, .kind = kind});
      // Another gray in the upper lines must not be taken as the network.
      for (int x = 0; x < 71; x += 7) raster.SetValue(x, 2, 40);
      ExpectSameAsOracle(raster, FractalMode::kGlobal, ws, 100);
      ExpectSameAsOracle(raster, FractalMode::kSegments, ws, 255);
    }
}

TEST(DrainageFractal, BitRowsMatchCellByCellOnTheSampleDemValleys) {
  auto dem = testing::LoadSampleDem();
  ASSERT_NE(dem, nullptr);
  const TRasterImage raster = testing::ValleyNetwork(*dem);
  ExpectSameAsOracle(raster, FractalMode::kGlobal, 12, 255);
  ExpectSameAsOracle(raster, FractalMode::kSegments, 24, 100);
}

TEST(DrainageFractal, WindowGeometryTable) {
  auto w12 = FractalWindowOf(12);
  auto w24 = FractalWindowOf(24);
  ASSERT_TRUE(w12 && w24);
  EXPECT_EQ(w12->before, 5);
  EXPECT_EQ(w12->after, 6);
  EXPECT_EQ(w12->growLimit, 10);
  EXPECT_EQ(w12->marginGlobal, 7);
  EXPECT_EQ(w12->boxSizes, (std::vector<int>{1, 2, 3, 6, 12}));
  EXPECT_EQ(w24->before, 11);
  EXPECT_EQ(w24->after, 12);
  EXPECT_EQ(w24->marginGlobal, 13);
  EXPECT_EQ(w24->boxSizes, (std::vector<int>{1, 2, 3, 6, 12, 24}));
  EXPECT_FALSE(FractalWindowOf(16));
}

TEST(DrainageFractal, StraightRowSinglePixelAndEmptyWindow) {
  const FractalWindow w = *FractalWindowOf(12);
  std::uint32_t rows[13] = {};
  EXPECT_EQ(FractalDimensionFromCounts(BoxCounts(rows, w), w), 0.0);  // empty: one point
  rows[5] = 1u << 5;
  EXPECT_EQ(BoxCounts(rows, w), (TBoxCounts{1, 1, 1, 1, 1, 0}));
  EXPECT_EQ(FractalDimensionFromCounts(BoxCounts(rows, w), w), 1.0);  // slope 0, raised to 1
  rows[5] = 0xFFF;
  EXPECT_EQ(BoxCounts(rows, w), (TBoxCounts{12, 6, 4, 2, 1, 0}));
  EXPECT_NEAR(FractalDimensionFromCounts(BoxCounts(rows, w), w), 1.0, 1e-12);
  // A filled window is two-dimensional.
  for (int r = 0; r < 12; ++r) rows[r] = 0xFFF;
  EXPECT_NEAR(FractalDimensionFromCounts(BoxCounts(rows, w), w), 2.0, 1e-12);
}

TEST(DrainageFractal, SegmentKeepsOnlyThePartJoinedToTheCentre) {
  const FractalWindow w = *FractalWindowOf(12);
  std::uint32_t net[13] = {}, seg[13] = {};
  net[5] = 0xFFF;       // the centre's line, edge to edge
  net[9] = 0x0FF;       // a separate branch
  net[0] = 1u << 11;    // a top-right corner cell diagonal to... nothing joined
  EXPECT_EQ(GrowSegment(net, seg, w), 12);
  EXPECT_EQ(seg[5], 0xFFFu);
  EXPECT_EQ(seg[9], 0u);
  EXPECT_EQ(seg[0], 0u);
  // A run leaving the centre to the left reaches column 0 only through the edge pass.
  std::uint32_t net2[13] = {}, seg2[13] = {};
  for (int r = 0; r < 12; ++r) net2[r] = 1u << 5;  // a vertical line through the centre
  EXPECT_EQ(GrowSegment(net2, seg2, w), 12);
  EXPECT_EQ(seg2[0], 1u << 5);  // the top row joins from row 1
}

TEST(DrainageFractal, SmallRasterComputesNothing) {
  const TRasterImage raster = testing::RandomNetwork(11, 30, 4, {.walks = 3, .speckle = 20});
  auto r = ComputeDrainageFractal(raster, {FractalMode::kGlobal, 12, 100});
  ASSERT_TRUE(r);
  EXPECT_EQ(r->computedCentres, 0);
  for (int y = 0; y < raster.lines; ++y)
    for (int x = 0; x < raster.columns; ++x) EXPECT_EQ(r->image.Row(y)[x], 255);
  EXPECT_EQ(r->histogram, std::vector<std::int32_t>{0});
  // ws x ws exactly holds one centre.
  const TRasterImage exact = testing::RandomNetwork(12, 12, 5, {.walks = 3, .speckle = 20});
  EXPECT_EQ(ComputeDrainageFractal(exact, {FractalMode::kGlobal, 12, 100})->computedCentres, 1);
}

TEST(DrainageFractal, ScaleSpansTheDynamicRange) {
  const TRasterImage raster = testing::RandomNetwork(80, 60, 9, {.speckle = 5});
  for (int scale : {100, 255}) {
    auto r = ComputeDrainageFractal(raster, {FractalMode::kGlobal, 12, scale});
    ASSERT_TRUE(r);
    int lo = 255, hi = 0;
    for (int y = 5; y < 60 - 6; ++y)
      for (int x = 5; x < 80 - 6; ++x) {
        lo = std::min<int>(lo, r->image.Row(y)[x]);
        hi = std::max<int>(hi, r->image.Row(y)[x]);
      }
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, scale);
    EXPECT_EQ(r->margin, 7);
    EXPECT_EQ(r->upperBound, static_cast<int>(100 * r->maximum));
  }
}

TEST(DrainageFractal, RefusesEmptyNetworkAndBadParameters) {
  TRasterImage white(30, 30, kRasterGray);
  white.Fill(TColor{255, 255, 255});
  auto r = ComputeDrainageFractal(white, {FractalMode::kSegments, 12, 100});
  ASSERT_FALSE(r);
  EXPECT_NE(r.error().message.find("255"), std::string::npos);
  const TRasterImage raster = testing::RandomNetwork(30, 30, 2);
  EXPECT_FALSE(ComputeDrainageFractal(raster, {FractalMode::kGlobal, 13, 100}));
  EXPECT_FALSE(ComputeDrainageFractal(raster, {FractalMode::kGlobal, 12, 200}));
  EXPECT_FALSE(ComputeDrainageFractal(TRasterImage(), {FractalMode::kGlobal, 12, 100}));
}

TEST(DrainageFractal, UniformWindowsGiveRangeZeroAsZero) {
  // Every window of a fully filled raster has D = 2: range 0 maps to 0, not to a division.
  TRasterImage full(20, 20, kRasterGray);
  full.Fill(TColor{0, 0, 0});
  auto r = ComputeDrainageFractal(full, {FractalMode::kGlobal, 12, 255});
  ASSERT_TRUE(r);
  EXPECT_EQ(r->image.Row(10)[10], 0);
  EXPECT_EQ(r->image.Row(0)[0], 255);
  EXPECT_EQ(r->histogram[200] + r->histogram[199], r->computedCentres);
}

}  // namespace
}  // namespace orvane
