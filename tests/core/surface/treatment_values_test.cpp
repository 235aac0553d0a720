// The value grids of the surface and shading treatments: the picture is the documented mapping
// of the values, and a cell has no value exactly where the picture was not computed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "core/settings/settings_file.h"
#include "core/treatment/treatment.h"
#include "support/compare.h"
#include "support/dems.h"

namespace orvane {
namespace {

using testing::Pixel;

struct Seen {
  const TDemModel& dem;
  const TreatmentOutput& output;
  ValueStatistics stats;
  double Figure(const std::string& key) const {
    for (const orvane::Figure& figure : output.figures)
      if (figure.key == key) return std::get<double>(figure.value);
    ADD_FAILURE() << "no figure " << key;
    return 0.0;
  }
};

struct ValuesCase {
  std::string name;
  std::string treatment;
  std::vector<std::pair<std::string, double>> args;
  std::vector<std::pair<std::string, std::string>> choices;
  // Whether the cell at (column, line) with this pixel was computed.
  std::function<bool(const Seen&, int, int, int)> computed;
  // The pixel the picture maps the value of the cell at (column, line) to.
  std::function<int(const Seen&, int, int, double)> pixelOf;
};

bool Inside(const TDemModel& dem, int c, int l, int margin) {
  return l >= margin && c >= margin && l < dem.lines - margin && c < dem.columns - margin;
}

// The extremes are doubles: a value that is an extreme in single precision is taken as it.
int Spread(double v, double low, double high, double levels) {
  if (static_cast<float>(v) == static_cast<float>(high)) v = high;
  if (static_cast<float>(v) == static_cast<float>(low)) v = low;
  return high > low ? static_cast<int>((v - low) / (high - low) * levels) : 0;
}

// The share n / cells of a cell's largest fitting window of half-size up to `range`, as the
// double the picture was made from (the cell count n is whole).
double ExactShare(const TDemModel& dem, int c, int l, int range, bool withCentre, double v) {
  const int fit = std::min({range, l, c, dem.lines - 1 - l, dem.columns - 1 - c});
  const int cells = (2 * fit + 1) * (2 * fit + 1) - (withCentre ? 0 : 1);
  return std::round(v * cells) / cells;
}

std::vector<ValuesCase> Cases() {
  const auto ring = [](int margin) {
    return [margin](const Seen& s, int c, int l, int) { return Inside(s.dem, c, l, margin); };
  };
  const auto notWhite = [](const Seen&, int, int, int pixel) { return pixel != 255; };
  const auto share = [](int range, int dynamism, bool withCentre) {
    return [=](const Seen& s, int c, int l, double v) {
      return static_cast<int>(ExactShare(s.dem, c, l, range, withCentre, v) * dynamism);
    };
  };
  const auto everyCell = [](const Seen&, int, int, int) { return true; };
  return {
      {"slope", "slope", {{"norm", 255}}, {{"table", "gray"}}, everyCell,
       [](const Seen&, int, int, double s) { return static_cast<int>(s / 90 * 254); }},
      {"aspect", "aspect", {{"norm", 36}}, {{"palette", "gray"}},
       // Flat cells are 255, the outer ring black.
       [](const Seen& s, int c, int l, int pixel) { return Inside(s.dem, c, l, 1) && pixel != 255; },
       [](const Seen&, int, int, double a) { return static_cast<int>(a * 36 / 360 + 0.5); }},
      {"convexity", "convexity", {{"range", 3}, {"dynamism", 100}}, {}, ring(1), share(3, 100, false)},
      {"concavity", "concavity", {{"range", 2}, {"dynamism", 255}}, {}, ring(1), share(2, 255, false)},
      {"horizontal", "horizontal", {{"range", 3}, {"dynamism", 100}}, {}, ring(1), share(3, 100, true)},
      {"horizontal-binarize", "horizontal", {{"range", 3}, {"dynamism", 100}, {"binarize", 1}}, {},
       ring(1), [](const Seen&, int, int, double v) { return v * 100 > 99 ? 0 : 200; }},
      {"contour-density-moving", "contour-density", {{"window", 9}, {"interval", 10}, {"dynamism", 255}},
       {{"tiling", "moving"}}, ring(4 + 1),
       [](const Seen& s, int, int, double v) { return Spread(v, s.stats.minimum, s.stats.maximum, 255); }},
      {"contour-density-grid", "contour-density", {{"window", 12}, {"interval", 10}, {"dynamism", 100}},
       {{"tiling", "grid"}},
       // Whole 12 x 12 blocks from line and column 1.
       [](const Seen& s, int c, int l, int) {
         const auto blocks = [](int size) { return size - 12 > 1 ? (size - 14) / 12 + 1 : 0; };
         return l >= 1 && c >= 1 && (l - 1) / 12 < blocks(s.dem.lines) &&
                (c - 1) / 12 < blocks(s.dem.columns);
       },
       [](const Seen& s, int, int, double v) { return Spread(v, s.stats.minimum, s.stats.maximum, 100); }},
      {"contours", "contours", {{"first", 200}, {"last", 400}, {"interval", 10}}, {}, notWhite,
       [](const Seen&, int, int, double z) { return static_cast<int>((z - 200) / 10); }},
      {"local-fractal", "local-fractal", {{"window", 12}, {"h", 0.5}}, {}, ring(6),
       [](const Seen& s, int, int, double d) { return Spread(d, s.Figure("min"), s.Figure("max"), 254); }},
      {"surface3d", "surface3d", {{"window", 5}}, {}, ring(2 + 1),
       [](const Seen& s, int, int, double q) { return Spread(q, s.stats.minimum, s.stats.maximum, 100); }},
      {"shade", "shade", {{"azimuth", 300}, {"elevation", 40}}, {},
       [](const Seen& s, int c, int l, int) { return c < s.dem.columns - 1 && l < s.dem.lines - 1; },
       [](const Seen&, int, int, double v) { return static_cast<int>(v); }},
  };
}

void CheckCase(const ValuesCase& test, const TDemModel& dem) {
  SCOPED_TRACE(test.name);
  const TreatmentDescriptor* treatment = FindTreatment(test.treatment);
  ASSERT_NE(treatment, nullptr);
  TreatmentArgs args;
  for (const auto& [name, value] : test.args) args.Set(name, value);
  for (const auto& [name, choice] : test.choices) args.SetText(name, choice);
  ASSERT_TRUE(CompleteArgs(*treatment, args));
  const TSettings settings;
  TreatmentInputs inputs;
  inputs.dem = &dem;
  inputs.settings = &settings;
  auto output = treatment->run(inputs, args, kOutputPicture | kOutputValues | kOutputFigures, nullptr);
  ASSERT_TRUE(output) << output.error().message;
  ASSERT_TRUE(output->picture && output->values);
  const ValueGrid& values = *output->values;
  ASSERT_EQ(values.columns, dem.columns);
  ASSERT_EQ(values.lines, dem.lines);
  const Seen seen{dem, *output, SummarizeValues(values)};
  ASSERT_GT(seen.stats.count, 0);

  // A float value may round across a level boundary the double computation did not cross:
  // such cells must lie within a few float steps of the boundary, and be rare.
  int nearBoundary = 0, wrong = 0;
  for (int l = 0; l < dem.lines; ++l)
    for (int c = 0; c < dem.columns; ++c) {
      const int pixel = Pixel(*output->picture, c, l);
      const float v = values.At(c, l);
      const bool computed = test.computed(seen, c, l, pixel);
      if (std::isnan(v) == computed) {
        if (++wrong <= 5) ADD_FAILURE() << "cell " << c << "," << l << " computed " << computed << " value " << v;
        continue;
      }
      if (!computed || test.pixelOf(seen, c, l, v) == pixel) continue;
      const double near = 1e-6 * std::max(1.0, std::fabs(static_cast<double>(v)));
      if (test.pixelOf(seen, c, l, v - near) == pixel || test.pixelOf(seen, c, l, v + near) == pixel) {
        ++nearBoundary;
      } else if (++wrong <= 5) {
        ADD_FAILURE() << "cell " << c << "," << l << " value " << v << " maps to "
                      << test.pixelOf(seen, c, l, v) << ", picture " << pixel;
      }
    }
  EXPECT_EQ(wrong, 0);
  EXPECT_LE(nearBoundary, dem.columns * dem.lines / 1000 + 2);

  // Values alone (a --values run makes no picture) are the same values.
  auto alone = treatment->run(inputs, args, kOutputValues, nullptr);
  ASSERT_TRUE(alone && alone->values) << (alone ? "" : alone.error().message);
  int differ = 0;
  for (std::size_t k = 0; k < values.values.size(); ++k) {
    const float a = values.values[k], b = alone->values->values[k];
    differ += !(a == b || (std::isnan(a) && std::isnan(b)));
  }
  EXPECT_EQ(differ, 0);
}

TEST(TreatmentValues, PictureIsTheMappingOfTheValues) {
  const auto sample = testing::LoadSampleDem();
  ASSERT_NE(sample, nullptr);
  // Rough random ground inside the contour levels, with ties for the flats and shares.
  auto random = testing::RandomDem(47, 41, 7, {.lo = 250, .hi = 290, .step = 0});
  random->pixelSizeX = random->pixelSizeY = 30.0f;
  for (const ValuesCase& test : Cases()) {
    CheckCase(test, *sample);
    CheckCase(test, *random);
  }
}

}  // namespace
}  // namespace orvane
