#include "core/surface/surface3d.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/dems.h"

namespace orvane {
namespace {

using testing::FlatDem;
using testing::RandomDem;

__extension__ using Wide = __int128;

// Cell area written out triangle by triangle, as the method reads.
double TriangleArea(double x, double y, double z) {
  const double s = (x + y + z) / 2;
  return std::sqrt(std::max(0.0, s * (s - x) * (s - y) * (s - z)));
}

double PlainCellArea(const TDemModel& dem, int r, int c, int d) {
  const double g = 0.5 * d, q = std::sqrt(2.0) * g;
  auto Z = [&](int line, int column) { return static_cast<int>(dem.GetElevation(column, line)); };
  const int u = Z(r, c);
  const int nl[8] = {r - 1, r - 1, r - 1, r, r + 1, r + 1, r + 1, r};
  const int nc[8] = {c - 1, c, c + 1, c + 1, c + 1, c, c - 1, c - 1};
  double a[8];
  for (int k = 0; k < 8; ++k) a[k] = (Z(nl[k], nc[k]) - u) * 0.5;
  const bool diagonal[8] = {true, false, true, false, true, false, true, false};
  double total = 0;
  for (int k = 0; k < 8; ++k) {
    const int m = (k + 1) % 8;
    const double side1 = std::sqrt((diagonal[k] ? q * q : g * g) + a[k] * a[k]);
    const double side2 = std::sqrt((diagonal[m] ? q * q : g * g) + a[m] * a[m]);
    const double side3 = std::sqrt(g * g + (a[k] - a[m]) * (a[k] - a[m]));
    total += TriangleArea(side1, side2, side3);
  }
  return total;
}

// Window ratios by a plain scan: in doubles (close) and in exact fixed point (identical).
void ExpectMatchesWindowScan(const TDemModel& dem, int S, int stride) {
  auto result = ComputeSurface3D(dem, {S});
  ASSERT_TRUE(result) << result.error().message;
  const int d = static_cast<int>(dem.pixelSizeX);
  const int i = (S - 1) / 2;
  const auto areas = Surface3DCellAreas(dem, d);
  const double P = static_cast<double>(S) * S * d * d;
  for (int r = i + 1; r < dem.lines - i - 1; r += stride) {
    for (int c = i + 1; c < dem.columns - i - 1; c += stride) {
      double plain = 0;
      Wide exact = 0;
      for (int y = r - i; y <= r + i; ++y)
        for (int x = c - i; x <= c + i; ++x) {
          const double a = areas[static_cast<std::size_t>(y) * dem.columns + x];
          ASSERT_NEAR(a, PlainCellArea(dem, y, x, d), 1e-9 * a);
          plain += a;
          exact += static_cast<Wide>(a * 0x1p56);
        }
      const double q = result->ratio[static_cast<std::size_t>(r) * dem.columns + c];
      ASSERT_EQ(q, static_cast<double>(exact) * 0x1p-56 / P) << r << "," << c;
      ASSERT_NEAR(q, plain / P, 1e-12 * q);
    }
  }
}

TEST(Surface3D, FlatGroundIsItsMapArea) {
  auto dem = FlatDem(30, 25, 400, 10.0f);
  const auto areas = Surface3DCellAreas(*dem, 10);
  EXPECT_NEAR(areas[5 * 30 + 7], 100.0, 1e-9);
  EXPECT_EQ(areas[0], 0.0) << "border cells have no area";
  for (int S : {1, 3, 5, 4, 6}) {
    auto result = ComputeSurface3D(*dem, {S});
    ASSERT_TRUE(result);
    const int i = (S - 1) / 2;
    // An even S uses S - 1 cells but still divides by S^2 d^2.
    EXPECT_NEAR(result->minimum, (2.0 * i + 1) * (2.0 * i + 1) / (S * S), 1e-12) << S;
    EXPECT_EQ(result->minimum, result->maximum);
    EXPECT_EQ(result->margin, i + 1);
    int inside = -1, border = -1, corner = -1;
    result->image.GetValue(i + 1, i + 1, inside);
    result->image.GetValue(i, 12, border);
    result->image.GetValue(30 - i - 1, 25 - i - 1, corner);
    EXPECT_EQ(inside, 0) << "a uniform ratio draws 0";
    EXPECT_EQ(border, 255);
    EXPECT_EQ(corner, 255);
  }
}

TEST(Surface3D, PlaneOfConstantSlopeIsUniform) {
  auto dem = FlatDem(20, 18, 0.0, 10.0f);
  for (int l = 0; l < 18; ++l)
    for (int c = 0; c < 20; ++c) dem->Int32Row(l)[c] = 3 * c + 5 * l;
  auto result = ComputeSurface3D(*dem, {5});
  ASSERT_TRUE(result);
  EXPECT_EQ(result->minimum, result->maximum);
  // The triangles lie in the plane: its area over its map area.
  EXPECT_NEAR(result->minimum, std::sqrt(1 + 0.09 + 0.25) * 25.0 / 25.0, 1e-9);
}

TEST(Surface3D, MatchesWindowScanOnRandomDems) {
  ExpectMatchesWindowScan(*RandomDem(31, 27, 1, {.hi = 80, .step = 40, .pixel = 90.0f}), 1, 1);
  ExpectMatchesWindowScan(*RandomDem(31, 27, 2, {.hi = 800, .step = 400, .pixel = 30.0f}), 5, 1);
  ExpectMatchesWindowScan(*RandomDem(40, 33, 3, {.hi = 50, .step = 25, .pixel = 12.5f}), 8, 1);
  ExpectMatchesWindowScan(*RandomDem(40, 33, 4, {.hi = 4000, .step = 2000}), 15, 1);
}

TEST(Surface3D, MatchesWindowScanOnSampleDem) {
  auto dem = testing::LoadSampleDem();
  ASSERT_NE(dem, nullptr);
  ExpectMatchesWindowScan(*dem, 7, 9);
  auto result = ComputeSurface3D(*dem, {7});
  ASSERT_TRUE(result);
  EXPECT_GT(result->minimum, 1.0);
  EXPECT_GT(result->maximum, result->minimum);
  int darkest = 255, brightest = 0;
  for (int r = 4; r < dem->lines - 4; ++r)
    for (int c = 4; c < dem->columns - 4; ++c) {
      int v = 0;
      result->image.GetValue(c, r, v);
      darkest = std::min(darkest, v);
      brightest = std::max(brightest, v);
    }
  EXPECT_EQ(darkest, 0);
  EXPECT_EQ(brightest, 100);
}

TEST(Surface3D, RefusesWhatItCannotCompute) {
  auto dem = RandomDem(20, 20, 7, {.pixel = 90.0f});
  EXPECT_FALSE(ComputeSurface3D(*dem, {0}));
  EXPECT_FALSE(ComputeSurface3D(*dem, {-3}));
  EXPECT_FALSE(ComputeSurface3D(*dem, {19}));  // i = 9: centres would need 21 lines
  EXPECT_TRUE(ComputeSurface3D(*dem, {17}));
  auto tiny = RandomDem(20, 20, 7, {.pixel = 0.5f});
  auto refused = ComputeSurface3D(*tiny, {3});
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.error().code, kBadParameter);
}

}  // namespace
}  // namespace orvane
