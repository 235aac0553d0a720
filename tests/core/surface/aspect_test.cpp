#include "core/surface/aspect.h"

#include <cmath>
#include <numbers>

#include <gtest/gtest.h>

#include "support/compare.h"
#include "support/dems.h"
#include "treatment_oracles.h"

namespace orvane {
namespace {

using testing::RandomDem;
using oracle::OracleAspect;

void ExpectSame(const TAspectResult& a, const TAspectResult& b) {
  testing::ExpectSameImage(*a.image, *b.image);
  EXPECT_EQ(a.histogram, b.histogram);
}

TAspectParams Painting(bool smoothing = false) {
  TAspectParams p;
  p.table = AspectPaintingPalette();
  p.smoothing = smoothing;
  return p;
}

TAspectParams Gray(int n) {
  TAspectParams p;
  p.grayTones = true;
  p.normalization = n;
  return p;
}

TDemModel Plane(int columns, int lines, int perColumn, int perLine) {
  TDemModel dem(columns, lines, kDemInt32);
  for (int l = 0; l < lines; ++l) {
    for (int c = 0; c < columns; ++c) dem.Int32Row(l)[c] = 1000 + perColumn * c + perLine * l;
  }
  return dem;
}

TEST(Aspect, PlaneFallingEastIsNinetyDegreesClassFour) {
  TDemModel dem = Plane(6, 5, -10, 0);
  auto r = ComputeAspect(dem, Painting());
  ASSERT_TRUE(r);
  EXPECT_EQ(r->histogram[90], 4 * 3);
  TColor inside, ring;
  r->image->GetColor(2, 2, inside);
  r->image->GetColor(0, 2, ring);
  EXPECT_EQ(inside, Rgb(255, 198, 0));
  EXPECT_EQ(ring, TColor{});
}

TEST(Aspect, DirectionsTurnClockwiseFromNorth) {
  // Falling toward the bottom (south) is 180: gray level 45 with N = 90.
  auto south = ComputeAspect(Plane(4, 4, 0, -10), Gray(90));
  ASSERT_TRUE(south);
  int v = -1;
  south->image->GetValue(1, 1, v);
  EXPECT_EQ(v, 45);
  EXPECT_EQ(south->histogram[180], 4);
  auto north = ComputeAspect(Plane(4, 4, 0, 10), Gray(360));
  ASSERT_TRUE(north);
  EXPECT_EQ(north->histogram[0], 4);
  auto west = ComputeAspect(Plane(4, 4, 10, 0), Gray(360));
  ASSERT_TRUE(west);
  EXPECT_EQ(west->histogram[270], 4);
  west->image->GetValue(1, 2, v);
  EXPECT_EQ(v, 255);  // 270 does not fit a gray level: held at 255
}

TEST(Aspect, FlatCellsAreWhiteInColourAndWhiteInGrayWithAnEmptyHistogram) {
  TDemModel dem(5, 4, kDemInt32);
  dem.Fill(77);
  auto colour = ComputeAspect(dem, Painting());
  ASSERT_TRUE(colour);
  TColor k;
  colour->image->GetColor(1, 1, k);
  EXPECT_EQ(k, Rgb(255, 255, 255));
  colour->image->GetColor(4, 3, k);
  EXPECT_EQ(k, TColor{});
  auto gray = ComputeAspect(dem, Gray(18));
  ASSERT_TRUE(gray);
  int v = -1;
  gray->image->GetValue(3, 2, v);
  EXPECT_EQ(v, 255);
  EXPECT_EQ(gray->histogram, TDirectionHistogram{});
}

TEST(Aspect, AspectsFromHalfADegreeBelowNorthFallInBin360) {
  const double a = 359.7 * std::numbers::pi / 180;
  // theta = 180 - a; gx = -sin(theta), gy = cos(theta), scaled to a clear slope.
  const double theta = std::numbers::pi - a;
  const TAspectCell cell = AspectOfGradient(-std::sin(theta) * 5, std::cos(theta) * 5, 360);
  EXPECT_EQ(cell.bin, 360);
  EXPECT_EQ(cell.level, 360);
  EXPECT_EQ(AspectOfGradient(0.01, 0.0, 360).bin, -1);  // under one degree: flat
}

// The cell of a gradient with the library arc tangents, as the oracle above computes it.
TAspectCell PlainCell(double gx, double gy, int n) {
  if (std::atan(std::sqrt(gx * gx + gy * gy)) * 180 * (1 / std::numbers::pi) < 1.0) return {};
  double a = 180 - std::atan2(-gx, gy) * 57.29577951308232;
  if (a < 0) a += 360;
  if (a >= 360) a -= 360;
  return {static_cast<int>(a * (n * (1.0 / 360)) + 0.5), static_cast<int>(a + 0.5)};
}

TEST(Aspect, GradientCellsMatchTheArcTangentsAtEveryBoundary) {
  int wrong = 0;
  auto check = [&](double gx, double gy) {
    for (const int n : {18, 36, 90, 180, 255, 360}) {
      const TAspectCell fast = AspectOfGradient(gx, gy, n), plain = PlainCell(gx, gy, n);
      if ((fast.level != plain.level || fast.bin != plain.bin) && ++wrong <= 5)
        ADD_FAILURE() << "gx " << gx << " gy " << gy << " n " << n << ": " << fast.level << "/" << fast.bin
                      << " != " << plain.level << "/" << plain.bin;
    }
  };
  // Directions on and next to every half degree and every level boundary of N = 255, at
  // several gradient sizes, some right at the flat limit.
  for (const double size : {0.0174550649282176, 0.01745506492821759, 0.0174550649282177, 0.5, 3.0, 1e4}) {
    for (int k = 0; k < 2 * 255 + 720; ++k) {
      const double a = k < 720 ? k * 0.5 : (k - 720 + 0.5) * 360.0 / 255 / 2;
      for (const double nudge : {0.0, 1e-13, -1e-13, 1e-10, -1e-10, 1e-7, -1e-7}) {
        const double theta = (180 - (a + nudge)) * std::numbers::pi / 180;
        const double gx = -std::sin(theta) * size, gy = std::cos(theta) * size;
        check(gx, gy);
        check(std::nextafter(gx, 1e9), gy);
        check(gx, std::nextafter(gy, -1e9));
      }
    }
  }
  // Integer Sobel sums times p / 8, the values the treatment forms; axes and signed zeros.
  for (int sx = -40; sx <= 40; ++sx)
    for (int sy = -40; sy <= 40; ++sy) check(sx * (30.0 / 8), sy * (30.0 / 8));
  for (const double z : {0.0, -0.0})
    for (const double v : {5.0, -5.0}) {
      check(z, v);
      check(v, z);
    }
  EXPECT_EQ(wrong, 0);
}

TEST(Aspect, DemsUnderThreeByThreeStayBlack) {
  for (auto [w, h] : {std::pair{2, 9}, std::pair{9, 2}, std::pair{1, 1}}) {
    auto r = ComputeAspect(*RandomDem(w, h, 4), Painting());
    ASSERT_TRUE(r);
    EXPECT_EQ(r->histogram, TDirectionHistogram{});
    TColor k;
    r->image->GetColor(w - 1, h - 1, k);
    EXPECT_EQ(k, TColor{});
  }
  TDemModel dem(4, 4, kDemInt32);
  EXPECT_EQ(ComputeAspect(dem, Gray(0)).error().code, kBadParameter);
  EXPECT_EQ(ComputeAspect(dem, TAspectParams{}).error().code, kBadParameter);
}

TEST(Aspect, MatchesTheCellByCellOracleOnRandomDems) {
  const std::pair<int, int> sizes[] = {{3, 3}, {17, 40}, {70, 66}, {5, 120}};
  unsigned seed = 11;
  for (const auto& [w, h] : sizes) {
    // A pixel under a metre scales the gradients down (by p / 8).
    auto dem = RandomDem(w, h, seed++, {.step = 30, .pixel = 0.25f});
    for (const TAspectParams& p : {Painting(false), Painting(true), Gray(36), Gray(255), Gray(360)}) {
      auto fast = ComputeAspect(*dem, p);
      ASSERT_TRUE(fast);
      ExpectSame(*fast, OracleAspect(*dem, p));
    }
    // Scaled values take the converting path: truncation of offset + scale * value.
    dem->scale = 0.37f;
    dem->offset = -12.5f;
    auto fast = ComputeAspect(*dem, Painting(true));
    ASSERT_TRUE(fast);
    ExpectSame(*fast, OracleAspect(*dem, Painting(true)));
  }
}

TEST(Aspect, MatchesTheCellByCellOracleOnTheSampleDem) {
  auto dem = testing::LoadSampleDem();
  ASSERT_TRUE(dem);
  for (const TAspectParams& p : {Painting(true), Gray(90)}) {
    auto fast = ComputeAspect(*dem, p);
    ASSERT_TRUE(fast);
    ExpectSame(*fast, OracleAspect(*dem, p));
  }
}

}  // namespace
}  // namespace orvane
