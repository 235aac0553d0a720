// The window statistics on DEMs as users have them: a void of NoData cut into the sample, and
// the relief of the whole Earth stored in millimetres.
#include <gtest/gtest.h>

#include <cmath>
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/settings/settings_file.h"
#include "core/terrain/raster_image.h"
#include "core/treatment/ground_cells.h"
#include "core/treatment/treatment.h"
#include "support/dems.h"

namespace orvane {
namespace {

struct WindowCase {
  std::string treatment;
  std::vector<std::pair<std::string, double>> args;
  std::vector<std::pair<std::string, std::string>> choices;
  int reach;  // the cells around a cell that its value reads
  // Whether cells whose window holds some NoData still get a value (the statistic of the
  // window's ground cells) rather than none at all.
  bool overGround = true;
  bool network = false;  // reads a drainage network
};

std::vector<WindowCase> Cases() {
  return {
      {"circular", {{"stat", 1}, {"radius", 5}}, {}, 5},
      {"circular", {{"stat", 3}, {"radius", 5}}, {}, 5},
      {"circular", {{"stat", 4}, {"radius", 4}}, {}, 4},
      {"circular", {{"stat", 5}, {"radius", 3}}, {}, 3},
      {"circular", {{"stat", 6}, {"radius", 3}}, {}, 3},
      {"total-depth", {{"window", 11}}, {}, 5},
      {"surface3d", {{"window", 5}}, {}, 3},
      {"local-fractal", {{"window", 12}, {"h", 0.5}}, {}, 6, false},
      // The window of half 4, and each cell's contour length reads two cells around it.
      {"contour-density", {{"window", 9}, {"interval", 10}}, {{"tiling", "moving"}}, 6},
      // The densities of a network over the DEM: the window, and the neighbours its links or
      // headwaters read.
      {"dissection", {{"window", 10}}, {{"tiling", "moving"}, {"measure", "pixels"}}, 5, true, true},
      {"dissection", {{"window", 10}}, {{"tiling", "moving"}, {"measure", "length"}}, 6, true, true},
      {"dissection3d", {{"window", 9}}, {}, 5, true, true},
      {"headwaters", {{"hws", 6}}, {}, 7, true, true},
      {"ratio-depth", {{"window", 11}}, {}, 5, true, true},
  };
}

// The drainage network of a DEM.
std::unique_ptr<TRasterImage> NetworkOf(const TDemModel& dem) {
  const TreatmentDescriptor* extract = FindTreatment("extract-drainage");
  TreatmentArgs args;
  args.Set("upper", 5);
  EXPECT_TRUE(CompleteArgs(*extract, args));
  const TSettings settings;
  TreatmentInputs inputs;
  inputs.dem = &dem;
  inputs.settings = &settings;
  auto output = extract->run(inputs, args, kOutputPicture, nullptr);
  EXPECT_TRUE(output);
  return output ? std::move(output->picture) : nullptr;
}

// The network of the sample, traced once.
const TRasterImage& SampleNetwork() {
  static const std::unique_ptr<TRasterImage> network = NetworkOf(*testing::LoadSampleDem());
  return *network;
}

ValueGrid RunCase(const WindowCase& test, const TDemModel& dem, int unitFactor = 1,
                  const TRasterImage* network = nullptr) {
  const TreatmentDescriptor* treatment = FindTreatment(test.treatment);
  EXPECT_NE(treatment, nullptr);
  TreatmentArgs args;
  for (const auto& [name, value] : test.args) args.Set(name, value);
  for (const auto& [name, choice] : test.choices) args.SetText(name, choice);
  EXPECT_TRUE(CompleteArgs(*treatment, args));
  const TSettings settings;
  TreatmentInputs inputs;
  inputs.dem = &dem;
  inputs.settings = &settings;
  inputs.unitFactor = unitFactor;
  inputs.pixelMetres = dem.pixelSizeX / unitFactor;
  inputs.wholeMetres = static_cast<int>(inputs.pixelMetres);
  if (test.network) inputs.drainage = network ? network : &SampleNetwork();
  auto output = treatment->run(inputs, args, kOutputPicture | kOutputValues, nullptr);
  EXPECT_TRUE(output) << output.error().message;
  return output && output->values ? std::move(*output->values) : ValueGrid();
}

std::string Name(const WindowCase& test) {
  std::string name = test.treatment;
  for (const auto& [arg, value] : test.args) name += " " + arg + " " + std::to_string(static_cast<int>(value));
  for (const auto& [arg, value] : test.choices) name += " " + value;
  return name;
}

bool SameFloat(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(NoDataWindows, CellsAwayFromAVoidKeepTheirValuesAndTheVoidHasNone) {
  const auto sample = testing::LoadSampleDem();
  ASSERT_NE(sample, nullptr);
  // A void of 4000 cells, its stored values far below the ground, and a cell alone.
  auto holed = sample->Clone();
  std::vector<std::uint8_t> mask(static_cast<std::size_t>(sample->columns) * sample->lines, 1);
  for (int l = 100; l < 140; ++l)
    for (int c = 150; c < 250; ++c) {
      mask[static_cast<std::size_t>(l) * sample->columns + c] = 0;
      holed->SetElevation(c, l, -9999.0);
    }
  mask[static_cast<std::size_t>(250) * sample->columns + 300] = 0;
  ASSERT_TRUE(holed->SetValidity(mask));
  const TIntGridView heights(*sample);
  const GroundExtremes whole = GroundExtremesOf(heights, *sample);
  const TIntGridView holedHeights(*holed);
  const GroundExtremes ground = GroundExtremesOf(holedHeights, *holed);
  ASSERT_EQ(whole.lowest, ground.lowest);  // the contour levels count from the same height
  const TGroundCounts counts(*holed);

  for (const WindowCase& test : Cases()) {
    SCOPED_TRACE(Name(test));
    const ValueGrid before = RunCase(test, *sample);
    const ValueGrid after = RunCase(test, *holed);
    ASSERT_EQ(after.values.size(), before.values.size());
    int changed = 0, valued = 0, invented = 0, valuedNearNoData = 0;
    for (int l = 0; l < sample->lines; ++l)
      for (int c = 0; c < sample->columns; ++c) {
        const float a = before.At(c, l), b = after.At(c, l);
        const int r = test.reach;
        const bool inside = l >= r && c >= r && l < sample->lines - r && c < sample->columns - r;
        const bool clean = !inside || counts.Count(c - r, l - r, c + r, l + r) == (2 * r + 1) * (2 * r + 1);
        if (!holed->IsValid(c, l)) {
          invented += !std::isnan(b);
        } else if (clean) {
          changed += !SameFloat(a, b);
        } else {
          valued += !std::isnan(b);
          // NoData closer than the reach lies in the window whichever side it is on.
          const int near = r - 1;
          valuedNearNoData += !std::isnan(b) && counts.Count(c - near, l - near, c + near, l + near) !=
                                                    (2 * near + 1) * (2 * near + 1);
        }
      }
    EXPECT_EQ(changed, 0);
    EXPECT_EQ(invented, 0);
    if (test.overGround) {
      EXPECT_GT(valued, 0);
    } else {
      EXPECT_EQ(valuedNearNoData, 0);
    }
  }
}

TEST(NoDataWindows, NoStreamIsTracedOverNoData) {
  const auto sample = testing::LoadSampleDem();
  ASSERT_NE(sample, nullptr);
  auto holed = sample->Clone();
  std::vector<std::uint8_t> mask(static_cast<std::size_t>(sample->columns) * sample->lines, 1);
  for (int l = 60; l < 200; ++l)
    for (int c = 100; c < 300; ++c) mask[static_cast<std::size_t>(l) * sample->columns + c] = (l + c) % 7 == 0;
  ASSERT_TRUE(holed->SetValidity(mask));
  const WindowCase extract{"extract-drainage", {{"upper", 5}}, {}, 5};
  const ValueGrid before = RunCase(extract, *sample);
  const ValueGrid after = RunCase(extract, *holed);
  const TGroundCounts counts(*holed);
  int onNoData = 0, streams = 0, markedBeside = 0;
  for (int l = 0; l < sample->lines; ++l)
    for (int c = 0; c < sample->columns; ++c) {
      const float v = after.At(c, l);
      if (!holed->IsValid(c, l)) {
        onNoData += !std::isnan(v);
        continue;
      }
      streams += v == 1.0f;
      // A cell is marked only when a whole window of range 2 or more lies on ground.
      if (l >= 2 && c >= 2 && l < sample->lines - 2 && c < sample->columns - 2)
        markedBeside += v == 1.0f && counts.WindowCount(c, l, 2) != 25;
    }
  EXPECT_EQ(onNoData, 0);
  EXPECT_EQ(markedBeside, 0);
  EXPECT_GT(streams, 1000);
  // The network raster stays one: its NoData cells are background (255), since the treatments
  // reading it take any other gray value, a NoData colour too, for network.
  const auto network = NetworkOf(*holed);
  ASSERT_NE(network, nullptr);
  int readAsNetwork = 0;
  for (int l = 0; l < sample->lines; ++l)
    for (int c = 0; c < sample->columns; ++c) {
      int gray = 255;
      network->GetValue(c, l, gray);
      readAsNetwork += !holed->IsValid(c, l) && gray != 255;
    }
  EXPECT_EQ(readAsNetwork, 0);
  EXPECT_EQ(std::count(before.values.begin(), before.values.end(), 1.0f) > streams, true);
}

TEST(NoDataWindows, AWindowWithLessThanHalfGroundHasNoValue) {
  // Ground in the first eleven columns and one lone cell (12, 5) in the void beside them.
  auto dem = testing::RandomDem(20, 20, 3, {.lo = 100, .hi = 200});
  std::vector<std::uint8_t> mask(400, 1);
  for (int l = 0; l < 20; ++l)
    for (int c = 11; c < 20; ++c) mask[static_cast<std::size_t>(l) * 20 + c] = c == 12 && l == 5;
  ASSERT_TRUE(dem->SetValidity(mask));
  const ValueGrid depth = RunCase({"total-depth", {{"window", 3}}, {}, 1}, *dem);
  EXPECT_FALSE(std::isnan(depth.At(10, 5)));  // six of nine cells on ground
  EXPECT_TRUE(std::isnan(depth.At(12, 5)));   // one of nine
  const ValueGrid mean = RunCase({"circular", {{"stat", 1}, {"radius", 1}}, {}, 1}, *dem);
  EXPECT_FALSE(std::isnan(mean.At(10, 5)));  // four of the plus sign's five
  EXPECT_TRUE(std::isnan(mean.At(12, 5)));   // one of five
}

TEST(NoDataWindows, TheEarthInMillimetresGivesTheValuesInMetres) {
  // From -11,000 m to 8,900 m in whole metres, and the same ground in millimetres: sums of
  // squares, relief, surface areas and the densities' lengths grow a thousand- or millionfold
  // and must neither overflow nor refuse.
  auto metres = testing::RandomDem(150, 150, 11, {.lo = -11000, .hi = 8900, .step = 400, .cliffs = 5, .pixel = 90.0f});
  auto millimetres = metres->Clone();
  for (int l = 0; l < metres->lines; ++l)
    for (int c = 0; c < metres->columns; ++c) millimetres->Int32Row(l)[c] = metres->Int32Row(l)[c] * 1000;
  millimetres->pixelSizeX = millimetres->pixelSizeY = 90000.0f;
  millimetres->UpdateMinMax();
  std::vector<WindowCase> cases = Cases();
  cases.push_back({"circular", {{"stat", 3}, {"radius", 70}}, {}, 70});  // sums of squares past 2^62
  cases.push_back({"circular", {{"stat", 5}, {"radius", 70}}, {}, 70});
  const auto network = NetworkOf(*metres);
  for (WindowCase& test : cases) {
    SCOPED_TRACE(Name(test));
    if (test.treatment == "contour-density") test.args = {{"window", 9}, {"interval", 500}};
    const ValueGrid m = RunCase(test, *metres, 1, network.get());
    const ValueGrid mm = RunCase(test, *millimetres, 1000, network.get());
    ASSERT_EQ(m.values.size(), mm.values.size());
    int different = 0, finite = 0;
    for (std::size_t k = 0; k < m.values.size(); ++k) {
      const float a = m.values[k], b = mm.values[k];
      finite += std::isfinite(b);
      if (std::isnan(a) != std::isnan(b) || (!std::isnan(a) && std::fabs(a - b) > 1e-5f * std::fabs(a) + 1e-6f))
        different += 1;
    }
    EXPECT_EQ(different, 0);
    EXPECT_GT(finite, 0);
  }
}

}  // namespace
}  // namespace orvane
