#include "core/render/shading.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include "support/compare.h"
#include "support/dems.h"
#include "treatment_oracles.h"

namespace orvane {
namespace {

using testing::ExpectSameImage;
using testing::FlatDem;
using testing::RandomDem;
using oracle::ReferenceShaded;

TLightParams Light(double azimuthDeg, double elevationDeg, float exaggeration = 2.0f,
                   float brightness = 2.0f) {
  TLightParams light;
  light.azimuth = static_cast<float>(azimuthDeg * std::numbers::pi / 180.0);
  light.elevation = static_cast<float>(elevationDeg * std::numbers::pi / 180.0);
  light.exaggeration = exaggeration;
  light.brightness = brightness;
  return light;
}

TEST(ShadingTest, FlatDemUnderVerticalAndGrazingLight) {
  auto dem = FlatDem(6, 5, 120.0, 90.0f);
  auto overhead = RenderShaded(*dem, Light(315, 90));
  ASSERT_TRUE(overhead);
  auto grazing = RenderShaded(*dem, Light(315, 0));
  ASSERT_TRUE(grazing);
  auto glossy = RenderShaded(*dem, Light(10, 0, 2.0f, 1.0f));
  for (int l = 0; l < 4; ++l)
    for (int c = 0; c < 5; ++c) {
      int v = 0;
      overhead->GetValue(c, l, v);
      EXPECT_EQ(v, 255);
      grazing->GetValue(c, l, v);
      EXPECT_EQ(v, 63);  // 255 x 0.5^2 = 63.75, truncated
      glossy->GetValue(c, l, v);
      EXPECT_EQ(v, 127);
    }
}

TEST(ShadingTest, LastLineAndColumnStayBlack) {
  auto dem = RandomDem(9, 7, 3);
  auto shaded = RenderShaded(*dem, Light(90, 10));
  ASSERT_TRUE(shaded);
  int v = -1;
  for (int c = 0; c < 9; ++c) {
    shaded->GetValue(c, 6, v);
    EXPECT_EQ(v, 0);
  }
  for (int l = 0; l < 7; ++l) {
    shaded->GetValue(8, l, v);
    EXPECT_EQ(v, 0);
  }
  // ShadeToGrid leaves the cells it does not compute as they were.
  TFloatGrid grid(9, 7);
  grid.Fill(-5.0f);
  ShadeToGrid(*dem, grid, Light(90, 10));
  EXPECT_EQ(grid.At(8, 3), -5.0f);
  EXPECT_EQ(grid.At(3, 6), -5.0f);
  EXPECT_GE(grid.At(3, 3), 0.0f);
}

TEST(ShadingTest, SlopeFacingTheLightIsBrightAndAwayIsDark) {
  // Elevation grows with the column: the slope faces decreasing columns. Azimuth 0 (light
  // travelling along increasing columns) comes from the low side.
  auto dem = std::make_unique<TDemModel>(4, 4, kDemInt32);
  for (int l = 0; l < 4; ++l)
    for (int c = 0; c < 4; ++c) dem->SetElevation(c, l, 1000.0 * c);
  int facing = 0, away = 0;
  RenderShaded(*dem, Light(180, 20, 1.0f, 1.0f))->GetValue(1, 1, facing);
  RenderShaded(*dem, Light(0, 20, 1.0f, 1.0f))->GetValue(1, 1, away);
  EXPECT_GT(facing, 200);
  EXPECT_LT(away, 30);
}

TEST(ShadingTest, DegeneratePixelSizesGiveBlackNotGarbage) {
  auto dem = FlatDem(4, 4, 10.0, 0.0f);  // K = 0 and G = H = 0: s is not a number
  auto shaded = RenderShaded(*dem, Light(315, 65));
  ASSERT_TRUE(shaded);
  int v = -1;
  shaded->GetValue(1, 1, v);
  EXPECT_EQ(v, 0);
}

TEST(ShadingTest, SizeLimits) {
  TDemModel tooWide;
  tooWide.lines = 2;
  tooWide.columns = 8001;
  EXPECT_EQ(RenderShaded(tooWide, TLightParams{}), nullptr);
  TDemModel negative;
  negative.lines = -1;
  EXPECT_EQ(RenderShaded(negative, TLightParams{}), nullptr);
  auto single = FlatDem(1, 1, 5.0);
  auto one = RenderShaded(*single, TLightParams{});
  ASSERT_TRUE(one);
  int v = -1;
  one->GetValue(0, 0, v);
  EXPECT_EQ(v, 0);
}

TEST(ShadingTest, MatchesReferenceOnRandomAndSampleDems) {
  const TLightParams lights[] = {TLightParams{}, Light(45, 30, 5.0f, 0.7f), Light(200, 5, 1.0f, 3.0f)};
  for (unsigned seed = 1; seed <= 4; ++seed) {
    auto dem =
        RandomDem(37 + static_cast<int>(seed) * 11, 53, seed, {.lo = -300, .hi = 3000, .pixel = 10.0f * seed});
    for (const auto& light : lights) {
      SCOPED_TRACE(seed);
      ExpectSameImage(*RenderShaded(*dem, light), *ReferenceShaded(*dem, light));
    }
  }
  // Another element type goes through GetElevation.
  auto floats = std::make_unique<TDemModel>(20, 15, kDemFloat32);
  for (int l = 0; l < 15; ++l)
    for (int c = 0; c < 20; ++c) floats->SetElevation(c, l, std::sin(c * 0.7) * 40 + l * 3.25);
  ExpectSameImage(*RenderShaded(*floats, lights[1]), *ReferenceShaded(*floats, lights[1]));

  auto sample = testing::LoadSampleDem();
  ASSERT_TRUE(sample);
  for (const auto& light : lights) ExpectSameImage(*RenderShaded(*sample, light), *ReferenceShaded(*sample, light));
}

TEST(ShadingTest, UnusualBrightnessesAndLongLinesMatchTheReference) {
  // Brightness values without thresholds (0, negative) and with crowded ones (0.3, 10); lines
  // long enough for eight cells at a time and their remainders.
  for (const float brightness : {0.0f, -1.0f, 0.3f, 1.0f, 10.0f}) {
    for (const int columns : {9, 17, 130}) {
      auto dem = RandomDem(columns, 12, static_cast<unsigned>(columns), {.lo = -50, .hi = 400, .pixel = 25});
      const TLightParams light = Light(300, 40, 1.5f, brightness);
      SCOPED_TRACE(brightness);
      ExpectSameImage(*RenderShaded(*dem, light), *ReferenceShaded(*dem, light));
    }
  }
}

TEST(ShadingTest, LevelThresholdsGiveThePowerLevelAroundEveryThreshold) {
  for (const double b : {0.3, 1.0, 2.0, 3.7, 10.0}) {
    const TShadeLevels levels(b);
    const std::vector<double>& t = levels.thresholds();
    ASSERT_EQ(t.size(), 257u);
    std::vector<double> probes;
    for (int k = 1; k <= 255; ++k) {
      EXPECT_LE(t[k - 1], t[k]);
      double below = t[k], above = t[k];
      probes.push_back(t[k]);
      for (int step = 0; step < 300; ++step) {
        below = std::nextafter(below, -1.0);
        above = std::nextafter(above, 2.0);
        probes.push_back(below);
        probes.push_back(above);
      }
      for (double offset = 1e-15; offset < 1e-2; offset *= 3.7) {
        probes.push_back(t[k] - offset);
        probes.push_back(t[k] * (1 + offset));
      }
    }
    for (int i = 0; i <= 100000; ++i) probes.push_back(i / 100000.0);
    for (const double q : {-0.5, -0.0, 1e-300, 1.0, 1.0000000000000002, 1.5}) probes.push_back(q);
    std::vector<double> inside;
    for (const double q : probes)
      if (q >= -1.0 && q <= 2.0) inside.push_back(q);
    std::vector<std::uint8_t> fast(inside.size());
    levels.Levels(inside.data(), static_cast<int>(inside.size()), fast.data());
    int wrong = 0;
    for (std::size_t i = 0; i < inside.size(); ++i) {
      const int exact = levels.Exact(inside[i]);
      if ((levels.Level(inside[i]) != exact || fast[i] != exact) && ++wrong <= 5)
        ADD_FAILURE() << "brightness " << b << " s " << inside[i] << ": " << levels.Level(inside[i])
                      << " / " << int{fast[i]} << " != " << exact;
    }
    EXPECT_EQ(wrong, 0);
  }
  EXPECT_TRUE(TShadeLevels(0.0).thresholds().empty());
  EXPECT_EQ(TShadeLevels(0.0).Level(0.5), TShadeLevels(0.0).Exact(0.5));
}

TEST(ShadingTest, ProgressReachesTheEnd) {
  struct Recorder : ProgressSink {
    int begins = 0, ends = 0;
    double last = 0;
    void Begin() override { ++begins; }
    void Step(double f) override { last = f; }
    void End() override { ++ends; }
  } recorder;
  auto dem = RandomDem(50, 120, 9);
  ASSERT_TRUE(RenderShaded(*dem, TLightParams{}, &recorder));
  EXPECT_EQ(recorder.begins, 1);
  EXPECT_EQ(recorder.ends, 1);
  EXPECT_DOUBLE_EQ(recorder.last, 1.0);
}

}  // namespace
}  // namespace orvane
