// NoData in the DEM and the treatments that read a square window around each cell: their
// values are NaN exactly where the window holds a NoData cell, and everywhere else equal, bit
// for bit, to the values of the same DEM without the void; their pictures paint the NoData
// cells in one colour that no other cell shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>
#include <string>
#include <vector>

#include "core/treatment/treatment.h"
#include "core/exchange/dem_source.h"
#include "core/render/histogram_table.h"
#include "core/settings/settings_file.h"
#include "support/files.h"
#include "support/gdal_rasters.h"
#include "support/sample_dem.h"

namespace orvane {
namespace {

using testing::TestRaster;

// The sample as a Float32 GeoTIFF (UTM, 90 m), with a 40 x 100 void of -9999 when `voided`;
// opened as orvane-cli opens it (no --unit: tenths of a millimetre).
OpenedDem OpenSample(const TempDir& dir, bool voided) {
  const auto sample = testing::LoadSampleDem();
  TestRaster r;
  r.columns = sample->columns;
  r.lines = sample->lines;
  r.noData = -9999.0;
  r.transform = std::array<double, 6>{500000.0, 90.0, 0.0, 3700000.0, 0.0, -90.0};
  r.epsg = 32614;
  for (int l = 0; l < r.lines; ++l)
    for (int c = 0; c < r.columns; ++c)
      r.values.push_back(voided && l >= 100 && l < 140 && c >= 100 && c < 200
                             ? -9999.0
                             : sample->GetElevation(c, l));
  const std::string path = dir.File(voided ? "void.tif" : "whole.tif");
  EXPECT_TRUE(testing::WriteTestGeoTiff(path, r));
  DemSource source;
  source.path = path;
  auto opened = OpenDemSource(source);
  EXPECT_TRUE(opened) << opened.error().message;
  return std::move(*opened);
}

struct WindowCase {
  std::string treatment;
  std::vector<std::pair<std::string, double>> args;
  int radius;
  bool shrinkToFit;  // the window shrinks to fit near the borders (shape surfaces)
};

TreatmentOutput RunCase(const WindowCase& test, const OpenedDem& dem) {
  const TreatmentDescriptor* treatment = FindTreatment(test.treatment);
  TreatmentArgs args;
  for (const auto& [name, value] : test.args) args.Set(name, value);
  EXPECT_TRUE(CompleteArgs(*treatment, args));
  const TSettings settings;
  TreatmentInputs inputs;
  inputs.dem = dem.model.get();
  inputs.settings = &settings;
  inputs.unitFactor = dem.unitFactor;
  inputs.pixelMetres = dem.pixelMetres;
  inputs.wholeMetres = dem.wholeMetres;
  auto output = treatment->run(inputs, args, kOutputPicture | kOutputValues, nullptr);
  EXPECT_TRUE(output) << output.error().message;
  return std::move(*output);
}

TColor ColourAt(const TRasterImage& picture, int c, int l) {
  TColor colour;
  picture.GetColor(c, l, colour);
  return colour;
}

TEST(NoDataRule, WindowTreatmentsGiveNaNWhereTheWindowHoldsNoDataAndTheSameValuesElsewhere) {
  TempDir dir;
  const OpenedDem whole = OpenSample(dir, false);
  const OpenedDem voided = OpenSample(dir, true);
  ASSERT_TRUE(whole.model && voided.model);
  ASSERT_EQ(voided.unitFactor, 10000);
  ASSERT_EQ(voided.model->NoDataCount(), 4000);
  const TDemModel& dem = *voided.model;
  for (const WindowCase& test : std::vector<WindowCase>{
           {"slope", {}, 1, false},
           {"slope", {{"table", 0}, {"norm", 255}}, 1, false},  // gray: becomes a palette picture
           {"aspect", {}, 1, false},
           {"shade", {}, 1, false},
           {"convexity", {{"range", 3}}, 3, true},
           {"concavity", {{"range", 2}}, 2, true},
           {"horizontal", {{"range", 3}}, 3, true}}) {
    SCOPED_TRACE(test.treatment + " " + std::to_string(test.args.size()));
    const TreatmentDescriptor* treatment = FindTreatment(test.treatment);
    EXPECT_FALSE(treatment->noDataRule.empty());
    const TreatmentOutput before = RunCase(test, whole);
    const TreatmentOutput after = RunCase(test, voided);
    ASSERT_TRUE(after.values && after.picture && before.values && before.picture);
    const TRasterImage& picture = *after.picture;
    bool colourFound = false;
    TColor noDataColour;
    int reached = 0;
    for (int l = 0; l < dem.lines; ++l)
      for (int c = 0; c < dem.columns; ++c) {
        int half = test.radius;
        if (test.shrinkToFit) half = std::min({half, l, c, dem.lines - 1 - l, dem.columns - 1 - c});
        bool reach = false;
        for (int ll = std::max(0, l - half); ll <= std::min(dem.lines - 1, l + half); ++ll)
          for (int cc = std::max(0, c - half); cc <= std::min(dem.columns - 1, c + half); ++cc)
            reach = reach || !dem.IsValid(cc, ll);
        reached += reach;
        const float value = after.values->At(c, l), was = before.values->At(c, l);
        ASSERT_EQ(picture.IsNoData(c, l), reach) << c << "," << l;
        if (reach) {
          ASSERT_TRUE(std::isnan(value)) << c << "," << l;
          const TColor colour = ColourAt(picture, c, l);
          if (!colourFound) noDataColour = colour;
          colourFound = true;
          ASSERT_EQ(colour, noDataColour) << c << "," << l;
          continue;
        }
        ASSERT_EQ(std::memcmp(&value, &was, sizeof value), 0) << c << "," << l;
        ASSERT_EQ(ColourAt(picture, c, l), ColourAt(*before.picture, c, l)) << c << "," << l;
      }
    EXPECT_GE(reached, 4000);
    // Histograms leave the NoData cells out.
    const TGrayHistogram levels = GrayLevelHistogram(picture, 0);
    EXPECT_EQ(std::accumulate(levels.begin(), levels.end(), std::int64_t{0}),
              static_cast<std::int64_t>(dem.lines) * dem.columns - reached);
    // No cell with a value shows the NoData colour.
    for (int l = 0; l < dem.lines; ++l)
      for (int c = 0; c < dem.columns; ++c)
        if (!picture.IsNoData(c, l)) {
          ASSERT_NE(ColourAt(picture, c, l), noDataColour) << c << "," << l;
        }
  }
}

TEST(NoDataRule, TheFinestUnitOverTheWholeReliefOfTheEarthStaysInRange) {
  // -11000 m to 8900 m in tenths of a millimetre, the finest unit chosen for real elevations:
  // no sum, square or difference of the treatments leaves its integers. The heights are whole
  // metres, so every value, in metres or without a unit, is that of the same DEM in metres.
  TempDir dir;
  TestRaster r;
  r.columns = r.lines = 40;
  for (int l = 0; l < r.lines; ++l)
    for (int c = 0; c < r.columns; ++c)
      r.values.push_back((l + c) % 5 == 0 ? -11000.0 : (l * c) % 7 == 0 ? 8900.0 : 100.0 * (c - l));
  r.transform = std::array<double, 6>{500000.0, 30.0, 0.0, 3700000.0, 0.0, -30.0};
  r.epsg = 32614;
  ASSERT_TRUE(testing::WriteTestGeoTiff(dir.File("earth.tif"), r));
  DemSource source;
  source.path = dir.File("earth.tif");
  auto fine = OpenDemSource(source);
  source.unit = "m";
  auto metres = OpenDemSource(source);
  ASSERT_TRUE(fine && metres);
  ASSERT_EQ(fine->unitFactor, 10000);
  struct Case {
    WindowCase run;
    bool sameValues;  // false: the value depends on the unit (a light, a gradient scale)
  };
  for (const Case& test : std::vector<Case>{
           {{"slope", {}, 1, false}, true},
           {{"aspect", {}, 1, false}, false},
           {{"shade", {}, 1, false}, false},
           {{"convexity", {{"range", 4}}, 4, true}, true},
           {{"concavity", {{"range", 4}}, 4, true}, true},
           {{"horizontal", {{"range", 4}}, 4, true}, true},
           {{"circular", {{"stat", 1}, {"radius", 6}}, 6, false}, true},
           {{"circular", {{"stat", 2}, {"radius", 6}}, 6, false}, true},
           {{"circular", {{"stat", 3}, {"radius", 6}}, 6, false}, true},
           {{"circular", {{"stat", 4}, {"radius", 6}}, 6, false}, true},
           {{"circular", {{"stat", 5}, {"radius", 6}}, 6, false}, true},
           {{"circular", {{"stat", 6}, {"radius", 6}}, 6, false}, true},
           {{"total-depth", {{"window", 9}}, 4, false}, true},
           {{"surface3d", {{"window", 9}}, 5, false}, true},
           {{"local-fractal", {{"window", 12}, {"h", 1}}, 6, false}, true},
           {{"contour-density", {{"window", 9}, {"interval", 500}, {"tiling", 1}}, 5, false}, true},
           {{"contours", {{"first", -11000}, {"last", 8900}, {"interval", 100}}, 1, false}, true},
           {{"extract-drainage", {{"upper", 3}}, 3, false}, true},
       }) {
    SCOPED_TRACE(test.run.treatment);
    const TreatmentOutput inFine = RunCase(test.run, *fine);
    const TreatmentOutput inMetres = RunCase(test.run, *metres);
    ASSERT_TRUE(inFine.values && inMetres.values);
    for (std::size_t k = 0; k < inFine.values->values.size(); ++k) {
      const float v = inFine.values->values[k], w = inMetres.values->values[k];
      ASSERT_EQ(std::isnan(v), std::isnan(w)) << k;
      if (std::isnan(v)) continue;
      ASSERT_TRUE(std::isfinite(v)) << k;
      if (test.sameValues) {
        ASSERT_NEAR(v, w, 1e-4 * std::max(1.0f, std::fabs(w))) << k;
      }
    }
  }
}

}  // namespace
}  // namespace orvane
