#include "core/drainage/density_image.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

// A hand-made field: a grid of 2 x 1 blocks of 3 pixels over a 7 x 4 raster.
DensityField GridField(std::vector<double> d) {
  DensityField f;
  f.columns = 7;
  f.lines = 4;
  f.tiling = DensityTiling::kGrid;
  f.windowSize = 3;
  f.windowsX = static_cast<int>(d.size());
  f.windowsY = 1;
  f.density = d;
  for (double v : d) f.minimum = std::min(f.minimum, v), f.maximum = std::max(f.maximum, v);
  return f;
}

TEST(DensityImage, DefaultClassesAndScaledBounds) {
  const TClassTable coloured = DensityDefaultTable(kColoredPalette);
  ASSERT_EQ(coloured.count(), 10);
  EXPECT_EQ(coloured.ColorOf(10.0, false), Rgb(0, 90, 0));   // a bound belongs to the class below
  EXPECT_EQ(coloured.ColorOf(10.01, false), Rgb(0, 128, 0));
  EXPECT_EQ(coloured.ColorOf(100.5, false), Rgb(255, 160, 0));
  EXPECT_EQ(DensityDefaultTable(kGrayTonesPalette)[4].red, 128);
  EXPECT_TRUE(DensityDefaultTable(kGrayTones0255).empty());

  const TClassTable scaled = DensityClassTable(kColoredPalette, true, 0.0, 50.0);
  for (int k = 0; k < 10; ++k) EXPECT_FLOAT_EQ(scaled[k].bound, 5.0f * (k + 1));
  EXPECT_EQ(DensityClassTable(kColoredPalette, false, 0.0, 50.0), coloured);
}

TEST(DensityImage, GrayTonesDivideTheDensityByTheRange) {
  EXPECT_EQ(DensityGrayValue(20.0, 20.0), 254);
  EXPECT_EQ(DensityGrayValue(10.0, 20.0), 127);
  EXPECT_EQ(DensityGrayValue(40.0, 20.0), 254);  // minimum above 0: held at the top of the scale
  EXPECT_EQ(DensityGrayValue(5.0, 0.0), 0);      // every density equal

  auto img = RenderDensityField(GridField({0.0, 20.0}), kGrayTones0255, TClassTable(), false);
  ASSERT_TRUE(img.has_value());
  const TRasterImage& r = *img->image;
  EXPECT_EQ(r.kind, kRasterGray);
  int v;
  r.GetValue(2, 2, v);
  EXPECT_EQ(v, 0);
  r.GetValue(3, 0, v);
  EXPECT_EQ(v, 254);
  r.GetValue(6, 1, v);  // beyond the last whole block
  EXPECT_EQ(v, 255);
  r.GetValue(1, 3, v);
  EXPECT_EQ(v, 255);
}

TEST(DensityImage, RefusesAFieldWhoseValuesDoNotMatchItsWindows) {
  DensityField f = GridField({1.0, 2.0});
  f.density.pop_back();
  EXPECT_FALSE(RenderDensityField(f, kColoredPalette, DensityDefaultTable(0), false).has_value());
}

TEST(DensityImage, MovingCentresHistogramAndSmoothing) {
  DensityField f;
  f.columns = 6;
  f.lines = 5;
  f.tiling = DensityTiling::kMoving;
  f.windowSize = 3;
  f.firstX = f.firstY = 1;
  f.windowsX = 4;
  f.windowsY = 3;
  f.density = {7.35, 35.0, 0.0, 15.0, 0.05, 29.99, 30.0, 10.0, 0.0, 0.0, 0.0, 0.0};
  f.minimum = 0.0;
  f.maximum = 35.0;
  auto img = RenderDensityField(f, kColoredPalette, DensityDefaultTable(kColoredPalette), true);
  ASSERT_TRUE(img.has_value());
  EXPECT_EQ(img->bound, 350);
  EXPECT_EQ(img->histogram[73], 1);
  EXPECT_EQ(img->histogram[0], 6);  // 0.0 x 5 and 0.05
  EXPECT_EQ(img->histogram[299], 1);
  // Every window is counted, the densest ones too: bins 0 .. 350.
  ASSERT_EQ(img->histogram.size(), 351u);
  EXPECT_EQ(img->histogram[300], 1);
  EXPECT_EQ(img->histogram[350], 1);
  int total = 0;
  for (auto c : img->histogram) total += c;
  EXPECT_EQ(total, 12);
  TColor c;
  img->image->GetColor(2, 1, c);  // 35.0: mapped all the same, between 30 and 40
  EXPECT_EQ(c, Rgb(0, 207, 0));   // 160 x 0.5 + 255 x 0.5 = 207.5, truncated
  img->image->GetColor(0, 0, c);
  EXPECT_EQ(c, Rgb(255, 255, 255));
  img->image->GetColor(4, 1, c);  // 15.0: halfway between classes 0 and 1
  EXPECT_EQ(c, Rgb(0, 109, 0));

  // A coloured choice whose class table was emptied: gray tones in a colour image.
  img = RenderDensityField(f, kColoredPalette, TClassTable(), false);
  img->image->GetColor(2, 1, c);
  EXPECT_EQ(c, Rgb(254, 254, 254));
  EXPECT_EQ(img->image->kind, kRasterRgb);
}

}  // namespace
}  // namespace orvane
