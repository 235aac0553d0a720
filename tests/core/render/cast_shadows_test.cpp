#include "core/render/cast_shadows.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "support/dems.h"

namespace orvane {
namespace {

constexpr double kPi = std::numbers::pi;

TEST(ClipRayToGridTest, BorderPointsOfInteriorAndBorderPoints) {
  // 11 columns x 6 lines: W = 10, H = 5.
  TRayClip clip = ClipRayToGrid(11, 6, 4, 2, 0.0);
  ASSERT_TRUE(clip.found);
  EXPECT_NEAR(clip.x1, 0, 1e-9);
  EXPECT_NEAR(clip.y1, 2, 1e-9);
  EXPECT_NEAR(clip.x2, 10, 1e-9);
  EXPECT_NEAR(clip.y2, 2, 1e-9);

  clip = ClipRayToGrid(11, 6, 4, 2, kPi / 2);  // along increasing lines
  EXPECT_NEAR(clip.x1, 4, 1e-9);
  EXPECT_NEAR(clip.y1, 0, 1e-9);
  EXPECT_NEAR(clip.y2, 5, 1e-9);

  // A point on the border, the ray leaving the grid: the far crossing is the backward point.
  clip = ClipRayToGrid(11, 6, 0, 3, kPi);
  EXPECT_NEAR(clip.x1, 10, 1e-9);
  EXPECT_NEAR(clip.x2, 0, 1e-9);

  // Diagonal through the corner (0, 0).
  clip = ClipRayToGrid(11, 11, 5, 5, kPi / 4);
  EXPECT_NEAR(clip.x1, 0, 1e-9);
  EXPECT_NEAR(clip.y1, 0, 1e-9);
  EXPECT_NEAR(clip.x2, 10, 1e-9);
  EXPECT_NEAR(clip.y2, 10, 1e-9);

  // A single line has no border to cross along its length.
  EXPECT_FALSE(ClipRayToGrid(5, 1, 2, 0, 0.0).found);
}

TEST(CastShadowsTest, FlatDemIsLitEverywhere) {
  auto dem = testing::FlatDem(23, 17, 350.0, 90.0f);
  for (double azimuth : {0.0, 0.3, kPi / 4, 2.0, 7 * kPi / 4})
    for (double elevation : {0.0, 0.5, kPi / 2}) {
      auto shadows = RenderCastShadows(*dem, azimuth, elevation, 0.4);
      ASSERT_TRUE(shadows);
      for (int l = 0; l < 17; ++l)
        for (int c = 0; c < 23; ++c) {
          int v = 0;
          shadows->GetValue(c, l, v);
          ASSERT_EQ(v, 255) << azimuth << " " << elevation << " at " << c << "," << l;
        }
    }
}

// With the light along the lines the sample points fall on whole columns, so every pixel
// can be checked against the highest lifted point between it and the lit border.
TEST(CastShadowsTest, LightAlongTheLinesMatchesTheHorizonRule) {
  auto dem = testing::RandomDem(40, 12, 17, {.hi = 400, .pixel = 25.0f});
  const double elevation = 0.2;
  for (double attenuation : {0.0, 0.5}) {
    auto shadows = RenderCastShadows(*dem, 0.0, elevation, attenuation);
    ASSERT_TRUE(shadows);
    const int shade = attenuation == 0.0 ? 1 : 127;
    int shadowed = 0;
    for (int l = 0; l < 12; ++l) {
      double highest = -1e300;
      for (int c = 39; c >= 0; --c) {
        const int k = 39 - c;
        const double h = dem->GetElevation(c, l) * std::cos(elevation) + k * 25.0 * std::sin(elevation);
        const int expected = h >= highest ? 255 : shade;
        highest = std::max(highest, h);
        int v = 0;
        shadows->GetValue(c, l, v);
        ASSERT_EQ(v, expected) << c << "," << l;
        shadowed += expected != 255;
      }
    }
    EXPECT_GT(shadowed, 0);
  }
}

TEST(CastShadowsTest, WallShadowsTheFarSideOnly) {
  auto dem = testing::FlatDem(30, 30, 0.0, 10.0f);
  for (int l = 0; l < 30; ++l) dem->SetElevation(10, l, 50.0);
  // Light from the left (azimuth pi: towards decreasing columns), low sun.
  auto shadows = RenderCastShadows(*dem, kPi, 0.3, 0.0);
  int v = 0;
  shadows->GetValue(5, 15, v);
  EXPECT_EQ(v, 255);
  shadows->GetValue(10, 15, v);
  EXPECT_EQ(v, 255);
  shadows->GetValue(11, 15, v);
  EXPECT_EQ(v, 1);
  // 50 m wall, sun at 17 degrees: about 16 pixels of shadow.
  shadows->GetValue(26, 15, v);
  EXPECT_EQ(v, 1);
  shadows->GetValue(27, 15, v);
  EXPECT_EQ(v, 255);
}

}  // namespace
}  // namespace orvane
