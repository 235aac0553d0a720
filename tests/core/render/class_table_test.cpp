#include "core/render/class_table.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace orvane {
namespace {

// Three classes: up to 1 blue, up to 3 teal, up to 8 green (the start of the slope Table 2).
TClassTable SmallTable() {
  return TClassTable({{1.0f, 0, 0, 255}, {3.0f, 0, 128, 128}, {8.0f, 0, 160, 0}});
}

TEST(ClassTable, BoundBelongsToTheClassBelowAndLastClassTakesTheRest) {
  const TClassTable t = SmallTable();
  EXPECT_EQ(t.ClassOf(-50.0), 0);
  EXPECT_EQ(t.ClassOf(1.0), 0);
  EXPECT_EQ(t.ClassOf(1.0001), 1);
  EXPECT_EQ(t.ClassOf(3.0), 1);
  EXPECT_EQ(t.ClassOf(3.001), 2);
  EXPECT_EQ(t.ClassOf(8.0), 2);
  EXPECT_EQ(t.ClassOf(1e9), 2);
  EXPECT_EQ(t.ColorOf(3.0, false), Rgb(0, 128, 128));
  EXPECT_EQ(t.ColorOf(3.001, false), Rgb(0, 160, 0));
  EXPECT_EQ(t.ColorOf(1e9, true), Rgb(0, 160, 0));  // above the last bound: never interpolated
}

TEST(ClassTable, SmoothingInterpolatesWithTruncatedChannels) {
  const TClassTable t = SmallTable();
  EXPECT_EQ(t.ColorOf(5.5, true), Rgb(0, 144, 64));  // halfway between teal and green
  EXPECT_EQ(t.ColorOf(0.5, true), Rgb(0, 0, 255));   // first class: plain colour
  EXPECT_EQ(t.ColorOf(3.0, true), Rgb(0, 128, 128));  // t = 1 at the bound itself
  // t = 1/3 between (0,0,255) and (0,128,128): green 42.67 -> 42, blue 212.67 -> 212.
  const TClassTable u({{0.0f, 0, 0, 255}, {3.0f, 0, 128, 128}});
  EXPECT_EQ(u.ColorOf(1.0, true), Rgb(0, 42, 212));
}

// Where the mix is a whole number it comes out as that number: the product form
// c0 (1 - t) + c1 t falls just below it in floating point (255 and 255 at t = 3/7 gave 254,
// 100 to 130 at t = 7/30 gave 106), and truncation kept the error. Other values still truncate.
TEST(ClassTable, MixIsExactWhereTheMixIsWhole) {
  const TClassEntry white{0.0f, 255, 255, 255};
  for (double t : {3.0 / 7.0, 2.0 / 49.0, 4.0 / 100.0, 17.0 / 360.0}) {
    EXPECT_EQ(MixColors(white, white, t), Rgb(255, 255, 255)) << t;
  }
  const TClassTable ramp({{10.0f, 255, 100, 0}, {40.0f, 255, 130, 30}});
  for (int value = 11; value <= 40; ++value) {
    EXPECT_EQ(ramp.ColorOf(value, true), Rgb(255, 90 + value, value - 10)) << value;
  }
  // Between whole values: 100.5 -> 100, as before.
  EXPECT_EQ(ramp.ColorOf(10.5, true), Rgb(255, 100, 0));
  EXPECT_EQ(MixColors({0.0f, 0, 0, 0}, {0.0f, 3, 3, 3}, 1.0 / 3.0), Rgb(1, 1, 1));
  EXPECT_EQ(MixColors({0.0f, 0, 0, 0}, {0.0f, 2, 2, 2}, 0.7), Rgb(1, 1, 1));
}

TEST(ClassTable, EmptyTableNanAndOutOfRangeChannelsAreSafe) {
  const TClassTable empty;
  EXPECT_EQ(empty.ClassOf(1.0), -1);
  EXPECT_EQ(empty.ColorOf(1.0, true), TColor{});
  EXPECT_EQ(SmallTable().ColorOf(std::numeric_limits<double>::quiet_NaN(), true), TColor{});
  const TClassTable wild({{1.0f, 300, -4, 128}});
  EXPECT_EQ(wild.ColorOf(0.0, false), Rgb(255, 0, 128));
  std::vector<TClassEntry> many(300, TClassEntry{1.0f, 1, 2, 3});
  TClassTable full(many);
  EXPECT_EQ(full.count(), kMaxClassCount);
  full.Add({2.0f, 0, 0, 0});
  EXPECT_EQ(full.count(), kMaxClassCount);
}

TEST(ClassTable, ScaleBoundsSpreadsOverTheRangeEndingAtMax) {
  TClassTable t = SmallTable();
  t.ScaleBounds(10.0, 40.0);
  EXPECT_FLOAT_EQ(t[0].bound, 20.0f);
  EXPECT_FLOAT_EQ(t[1].bound, 30.0f);
  EXPECT_FLOAT_EQ(t[2].bound, 40.0f);
}

TEST(ClassTableLegend, PlainRowsOutlinedAndLabelledButTheLast) {
  const TLegend legend = BuildLegend(SmallTable(), false, LegendLabelFormat::kDegrees);
  EXPECT_EQ(legend.paintBoxHeight, 80);
  EXPECT_EQ(legend.clearY1, 70);
  ASSERT_EQ(legend.bands.size(), 3u);
  EXPECT_EQ(legend.bands[1].y0, 30);
  EXPECT_EQ(legend.bands[1].y1, 48);
  EXPECT_TRUE(legend.bands[1].outlined);
  EXPECT_EQ(legend.bands[2].colour, Rgb(0, 160, 0));
  ASSERT_EQ(legend.labels.size(), 2u);
  EXPECT_EQ(legend.labels[1].x, 74);
  EXPECT_EQ(legend.labels[1].y, 44);
  EXPECT_EQ(legend.labels[1].text, "    3 \xC2\xB0");
  EXPECT_EQ(LegendDialogHeight(legend.paintBoxHeight, 300), 330);
  EXPECT_EQ(LegendDialogHeight(400, 300), 460);
}

TEST(ClassTableLegend, SmoothRowsAreTwentyGradientLinesAndTheLastIsPlain) {
  const TLegend legend = BuildLegend(SmallTable(), true, LegendLabelFormat::kDecimal);
  ASSERT_EQ(legend.bands.size(), 41u);
  EXPECT_EQ(legend.bands[0].colour, Rgb(0, 0, 255));
  EXPECT_EQ(legend.bands[10].colour, Rgb(0, 64, 191));  // k = 10: mean of classes 0 and 1
  EXPECT_EQ(legend.bands[19].y0, 29);
  EXPECT_EQ(legend.bands[40].colour, Rgb(0, 160, 0));
  EXPECT_EQ(legend.bands[40].y1 - legend.bands[40].y0, 20);
  EXPECT_EQ(legend.labels[0].text, "1.00   ");
  EXPECT_EQ(FormatLegendLabel(12.7f, LegendLabelFormat::kMetres), "   12 m");
}

}  // namespace
}  // namespace orvane
