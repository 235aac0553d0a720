// The vector kernels of slope, aspect and shaded relief, run once per instruction set compiled
// in and present on this processor, against the cell-by-cell oracles.
#include <cstdint>
#include <numbers>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <hwy/targets.h>

#include "core/common/simd_target.h"
#include "core/render/shading.h"
#include "core/surface/aspect.h"
#include "core/surface/slope.h"
#include "support/compare.h"
#include "support/dems.h"
#include "treatment_oracles.h"

namespace orvane {
namespace {

TSlopeParams SlopeGray(int n) {
  TSlopeParams p;
  p.grayTones = true;
  p.normalization = n;
  return p;
}

TSlopeParams SlopeColour(int table, bool smoothing) {
  TSlopeParams p;
  p.table = SlopeTable(table);
  p.smoothing = smoothing;
  return p;
}

TAspectParams AspectGray(int n) {
  TAspectParams p;
  p.grayTones = true;
  p.normalization = n;
  return p;
}

TAspectParams AspectPainting(bool smoothing) {
  TAspectParams p;
  p.table = AspectPaintingPalette();
  p.smoothing = smoothing;
  return p;
}

TLightParams Light(double azimuthDeg, double elevationDeg, float exaggeration, float brightness) {
  TLightParams light;
  light.azimuth = static_cast<float>(azimuthDeg * std::numbers::pi / 180.0);
  light.elevation = static_cast<float>(elevationDeg * std::numbers::pi / 180.0);
  light.exaggeration = exaggeration;
  light.brightness = brightness;
  return light;
}

// One DEM of the table and the oracle images of every treatment on it.
struct Case {
  std::string name;
  TDemModel dem;
  std::vector<std::unique_ptr<TRasterImage>> expected;
  std::vector<TDirectionHistogram> histograms;
};

TEST(SimdTargets, EveryInstructionSetMatchesTheCellByCellOracles) {
  const TSlopeParams slopes[] = {SlopeGray(90), SlopeGray(255), SlopeColour(1, false),
                                 SlopeColour(2, true), SlopeColour(3, false)};
  const TAspectParams aspects[] = {AspectGray(360), AspectGray(36), AspectPainting(false),
                                   AspectPainting(true)};
  // Brightness 2 (the default) and 1 take levels without tables, the others the thresholds.
  const TLightParams lights[] = {TLightParams{},             Light(120, 55, 2.0f, 1.0f),
                                 Light(45, 10, 5.0f, 0.5f),  Light(200, 30, 1.0f, 3.7f),
                                 Light(300, 40, 1.5f, 0.0f)};

  // Line lengths around every vector width and its remainders; gentle relief crowds the
  // thresholds near the horizontal, a small pixel leaves flat cells, scaled values convert.
  std::vector<Case> cases;
  const struct {
    int columns, lines, amplitude;
    float pixelX, pixelY, scale, offset;
  } randoms[] = {{3, 3, 200, 30, 30, 1, 0},        {9, 7, 1, 100, 90, 1, 0},
                 {17, 11, 3, 12.5f, 30, 0.1f, -40}, {18, 9, 30, 0.25f, 0.25f, 1, 0},
                 {67, 13, 200, 30, 30, 1, 0},       {130, 21, 2, 7.3f, 7.3f, 0.37f, -12.5f}};
  unsigned seed = 100;
  for (const auto& r : randoms) {
    // No cliffs in gentle relief.
    const testing::DemShape shape{.step = r.amplitude, .cliffs = r.amplitude < 10 ? 0 : 25};
    Case c{"random " + std::to_string(r.columns) + "x" + std::to_string(r.lines),
           std::move(*testing::RandomDem(r.columns, r.lines, seed++, shape)), {}, {}};
    c.dem.pixelSizeX = r.pixelX;
    c.dem.pixelSizeY = r.pixelY;
    c.dem.scale = r.scale;
    c.dem.offset = r.offset;
    cases.push_back(std::move(c));
  }
  auto sample = testing::LoadSampleDem();
  ASSERT_TRUE(sample);
  cases.push_back({"sample", std::move(*sample), {}, {}});

  for (Case& c : cases) {
    for (const TSlopeParams& p : slopes) c.expected.push_back(oracle::OracleSlope(c.dem, p));
    for (const TAspectParams& p : aspects) {
      TAspectResult r = oracle::OracleAspect(c.dem, p);
      c.expected.push_back(std::move(r.image));
      c.histograms.push_back(r.histogram);
    }
    for (const TLightParams& light : lights) c.expected.push_back(oracle::ReferenceShaded(c.dem, light));
  }

  const std::vector<std::int64_t> targets = hwy::SupportedAndGeneratedTargets();
  ASSERT_FALSE(targets.empty());
  std::set<std::string> chosen;
  for (const std::int64_t target : targets) {
    hwy::SetSupportedTargetsForTest(target);
    chosen.insert(ActiveSimdTarget());
    for (Case& c : cases) {
      SCOPED_TRACE(std::string(hwy::TargetName(target)) + ", " + c.name);
      std::size_t k = 0;
      for (const TSlopeParams& p : slopes) {
        auto fast = ComputeSlope(c.dem, p);
        ASSERT_TRUE(fast);
        EXPECT_EQ(testing::CountDifferences(*fast->image, *c.expected[k++]), 0) << "slope";
      }
      std::size_t h = 0;
      for (const TAspectParams& p : aspects) {
        auto fast = ComputeAspect(c.dem, p);
        ASSERT_TRUE(fast);
        EXPECT_EQ(testing::CountDifferences(*fast->image, *c.expected[k++]), 0) << "aspect";
        EXPECT_EQ(fast->histogram, c.histograms[h++]) << "aspect histogram";
      }
      for (const TLightParams& light : lights)
        EXPECT_EQ(testing::CountDifferences(*RenderShaded(c.dem, light), *c.expected[k++]), 0) << "shade";
    }
  }
  hwy::SetSupportedTargetsForTest(0);
  // Each instruction set was really the one dispatched to.
  EXPECT_EQ(chosen.size(), targets.size());
}

}  // namespace
}  // namespace orvane
