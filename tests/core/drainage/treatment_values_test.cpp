// The value grids of the drainage treatments: for each declaration, on the sample DEM and on a
// small random one, the picture is the picture's mapping of the values, the cells without a
// value are exactly those the picture leaves uncomputed, and the picture drawn from the kept
// drawing is the same.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <sstream>
#include <utility>
#include <string>
#include <vector>

#include "core/drainage/density_image.h"
#include "core/settings/settings_file.h"
#include "core/treatment/treatment.h"
#include "support/compare.h"
#include "support/dems.h"

namespace orvane {
namespace {

struct Outcome {
  const TreatmentOutput& output;
  const TreatmentArgs& args;
  const TRasterImage& drainage;
  int Pixel(int x, int y) const { return testing::Pixel(*output.picture, x, y); }
  float Value(int x, int y) const { return output.values->At(x, y); }
  double FigureValue(const std::string& key) const {
    for (const orvane::Figure& f : output.figures)
      if (f.key == key) return std::get<double>(f.value);
    ADD_FAILURE() << "no figure " << key;
    return 0.0;
  }
};

// Counts the cells where the picture is not trunc(level(value)) (NaN passed as is; a level of
// -1 marks a wrong value). Within 1e-4 of a level boundary either side is taken: float32
// rounding of the value may put it on either.
using Level = std::function<double(float value, int x, int y)>;
int Mismatches(const Outcome& run, const Level& level) {
  int bad = 0;
  for (int y = 0; y < run.output.values->lines; ++y)
    for (int x = 0; x < run.output.values->columns; ++x) {
      const double scaled = level(run.Value(x, y), x, y);
      const double nearest = std::round(scaled);
      const int pixel = run.Pixel(x, y);
      if (std::abs(scaled - nearest) < 1e-4) {
        if (pixel != nearest && pixel != nearest - 1) ++bad;
      } else if (pixel != static_cast<int>(std::floor(scaled))) {
        ++bad;
      }
    }
  return bad;
}

bool Inside(int x, int y, int before, int after, const ValueGrid& grid) {
  return x >= before && y >= before && x < grid.columns - after && y < grid.lines - after;
}

// The gray tones 0..254 of the density palette, 255 where no window wrote.
double DensityGray(float d, double min, double max) {
  if (std::isnan(d)) return 255;
  const double range = max - min;
  return range > 0 ? std::clamp(d / range * 254.0, 0.0, 254.0) : 0.0;
}

struct Case {
  std::string id;
  std::vector<std::pair<std::string, double>> numbers;
  std::vector<std::pair<std::string, std::string>> choices;
  std::function<int(const Outcome&)> mismatches;  // cells whose picture or NoData is wrong
};

const std::vector<Case>& Cases() {
  static const std::vector<Case> cases = {
      {"extract-drainage", {{"upper", 4}}, {{"colour", "blue"}},
       [](const Outcome& r) {
         return Mismatches(r, [&](float v, int, int) { return v == 1.0f ? 85.0 : v == 0.0f ? 255 : -1; });
       }},
      {"dissection", {{"window", 7}}, {{"tiling", "moving"}, {"measure", "length"}, {"palette", "gray255"}},
       [](const Outcome& r) {
         const double min = r.FigureValue("min"), max = r.FigureValue("max");
         const int t = 7 / 2;
         return Mismatches(r, [&](float v, int x, int y) {
           if (std::isnan(v) == Inside(x, y, t, t, *r.output.values)) return -1.0;
           return DensityGray(v, min, max);
         });
       }},
      {"dissection", {{"window", 9}}, {{"tiling", "grid"}, {"measure", "pixels"}, {"palette", "gray255"}},
       [](const Outcome& r) {
         const double min = r.FigureValue("min"), max = r.FigureValue("max");
         const ValueGrid& g = *r.output.values;
         return Mismatches(r, [&](float v, int x, int y) {
           const bool inBlock = x < g.columns / 9 * 9 && y < g.lines / 9 * 9;
           if (std::isnan(v) == inBlock) return -1.0;
           return DensityGray(v, min, max);
         });
       }},
      {"dissection3d", {{"window", 6}}, {{"palette", "gray255"}},
       [](const Outcome& r) {
         const double min = r.FigureValue("min"), max = r.FigureValue("max");
         return Mismatches(r, [&](float v, int x, int y) {
           if (std::isnan(v) == Inside(x, y, 2, 2, *r.output.values)) return -1.0;
           return DensityGray(v, min, max);
         });
       }},
      {"headwaters", {{"hws", 3}, {"scale", 255}}, {},
       [](const Outcome& r) {
         double min = 1e9, max = -1e9;
         for (float v : r.output.values->values)
           if (!std::isnan(v)) min = std::min<double>(min, v), max = std::max<double>(max, v);
         return Mismatches(r, [&](float v, int x, int y) {
           if (std::isnan(v) == Inside(x, y, 3, 3, *r.output.values)) return -1.0;
           if (std::isnan(v)) return 255.0;
           return max > min ? (v - min) / (max - min) * 255 : 0.0;
         });
       }},
      {"drainage-fractal", {{"window", 12}, {"scale", 255}}, {{"mode", "global"}},
       [](const Outcome& r) {
         const double min = r.FigureValue("min"), max = r.FigureValue("max");
         return Mismatches(r, [&](float v, int x, int y) {
           if (std::isnan(v) == Inside(x, y, 5, 6, *r.output.values)) return -1.0;
           if (std::isnan(v)) return 255.0;
           return max > min ? std::clamp((v - min) / (max - min) * 255, 0.0, 255.0) : 0.0;
         });
       }},
      {"drainage-fractal", {{"window", 24}}, {{"mode", "segments"}},
       [](const Outcome& r) {
         // Every cell is drawn; those without a dimension as D = 0. Only network centres
         // whose segment grew have one, and it is at least 1.
         const double min = r.FigureValue("min"), max = r.FigureValue("max");
         return Mismatches(r, [&](float v, int x, int y) {
           const bool network = testing::Pixel(r.drainage, x, y) != 255;
           if (!std::isnan(v) && (!network || v < 1.0f || !Inside(x, y, 11, 12, *r.output.values)))
             return -1.0;
           const double d = std::isnan(v) ? 0.0 : v;
           return max > min ? std::clamp((d - min) / (max - min) * 100, 0.0, 255.0) : 0.0;
         });
       }},
      {"ratio-depth", {{"window", 5}, {"scale", 100}}, {},
       [](const Outcome& r) {
         return Mismatches(r, [&](float v, int x, int y) {
           if (std::isnan(v) == Inside(x, y, 2, 2, *r.output.values)) return -1.0;
           return std::isnan(v) ? 0.0 : std::clamp(v * 100.0, 0.0, 255.0);
         });
       }},
  };
  return cases;
}

TEST(DrainageTreatmentValues, PictureIsTheMappingOfTheValues) {
  auto sample = testing::LoadSampleDem();
  ASSERT_TRUE(sample);
  auto random = testing::RandomDem(61, 47, 5);
  const TSettings settings;
  for (TDemModel* dem : {sample.get(), random.get()}) {
    TreatmentInputs inputs;
    inputs.dem = dem;
    inputs.settings = &settings;
    inputs.wholeMetres = 90;
    // The network the other treatments read: the extracted one, as the CLI writes it.
    TreatmentArgs extractArgs;
    extractArgs.Set("upper", 4);
    ASSERT_TRUE(CompleteArgs(*FindTreatment("extract-drainage"), extractArgs));
    auto network = FindTreatment("extract-drainage")->run(inputs, extractArgs, kOutputPicture, nullptr);
    ASSERT_TRUE(network);
    inputs.drainage = network->picture.get();

    for (const Case& c : Cases()) {
      const TreatmentDescriptor* treatment = FindTreatment(c.id);
      ASSERT_NE(treatment, nullptr) << c.id;
      TreatmentArgs args;
      for (const auto& [name, value] : c.numbers) args.Set(name, value);
      for (const auto& [name, value] : c.choices) args.SetText(name, value);
      ASSERT_TRUE(CompleteArgs(*treatment, args)) << c.id;
      auto output = treatment->run(inputs, args, kOutputPicture | kOutputValues | kOutputFigures, nullptr);
      ASSERT_TRUE(output) << c.id << ": " << output.error().message;
      ASSERT_TRUE(output->values && output->picture) << c.id;
      ASSERT_EQ(output->values->columns, output->picture->columns);
      ASSERT_EQ(output->values->lines, output->picture->lines);
      EXPECT_EQ(c.mismatches(Outcome{*output, args, *inputs.drainage}), 0)
          << c.id << " on the " << dem->columns << " x " << dem->lines << " DEM";
      // The desktop's two phases, the drawing kept and then drawn, give the same picture.
      if (treatment->render) {
        auto kept = treatment->run(inputs, args, kOutputDrawing, nullptr);
        ASSERT_TRUE(kept) << c.id;
        auto drawn = treatment->render(*kept, args);
        ASSERT_TRUE(drawn) << c.id << ": " << drawn.error().message;
        EXPECT_EQ(testing::CountDifferences(**drawn, *output->picture), 0) << c.id;
      }
    }
  }
}


// A diagram's table counts every window centre that has a value, the densest class included:
// its rows add up to the value grid's valid cells, and the last row is the class of the maximum.
TEST(DiagramTables, CountEveryCellWithAValue) {
  auto sample = testing::LoadSampleDem();
  ASSERT_TRUE(sample);
  const TSettings settings;
  TreatmentInputs inputs;
  inputs.dem = sample.get();
  inputs.settings = &settings;
  inputs.wholeMetres = 90;
  inputs.pixelMetres = 90;
  TreatmentArgs extractArgs;
  extractArgs.Set("upper", 5);
  ASSERT_TRUE(CompleteArgs(*FindTreatment("extract-drainage"), extractArgs));
  auto network = FindTreatment("extract-drainage")->run(inputs, extractArgs, kOutputPicture, nullptr);
  ASSERT_TRUE(network);
  inputs.drainage = network->picture.get();
  struct Case {
    const char* id;
    std::vector<std::pair<std::string, double>> numbers;
    std::vector<std::pair<std::string, std::string>> choices;
    double classesPerUnit;
  };
  const Case cases[] = {
      // Densities up to 43: far beyond the 25.5 a 255-class diagram reached.
      {"dissection", {{"window", 20}}, {{"tiling", "moving"}, {"measure", "length"}}, 10},
      // Many windows at the top dimension, 2.84 and more.
      {"local-fractal", {{"h", 0.5}}, {}, 100},
  };
  for (const Case& c : cases) {
    const TreatmentDescriptor* treatment = FindTreatment(c.id);
    TreatmentArgs args;
    for (const auto& [name, value] : c.numbers) args.Set(name, value);
    for (const auto& [name, value] : c.choices) args.SetText(name, value);
    ASSERT_TRUE(CompleteArgs(*treatment, args)) << c.id;
    auto output = treatment->run(inputs, args, kOutputHistogram | kOutputValues | kOutputFigures, nullptr);
    ASSERT_TRUE(output) << c.id;
    std::int64_t valid = 0;
    for (float v : output->values->values) valid += !std::isnan(v);
    double maximum = 0.0;
    for (const orvane::Figure& f : output->figures)
      if (f.key == "max") maximum = std::get<double>(f.value);
    std::int64_t counted = 0;
    double lastClass = -1.0;
    std::istringstream rows(output->histogram);
    for (double value; rows >> value;) {
      std::int64_t count = 0;
      rows >> count;
      counted += count;
      lastClass = value;
    }
    EXPECT_EQ(counted, valid) << c.id;
    EXPECT_EQ(std::lround(lastClass * c.classesPerUnit), static_cast<long>(c.classesPerUnit * maximum)) << c.id;
  }
}

}  // namespace
}  // namespace orvane
