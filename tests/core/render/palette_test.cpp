#include "core/render/palette.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

TEST(PaletteTest, BoundsAndClasses) {
  const TClassTable table = PaletteTable(kPaletteClassical, 0, 100);
  ASSERT_EQ(table.count(), 10);
  for (int i = 0; i < 10; ++i) EXPECT_FLOAT_EQ(table[i].bound, 10.0f * (i + 1));
  TRasterImage gray(4, 1, kRasterGray);
  gray.SetValue(0, 0, 10);
  gray.SetValue(1, 0, 11);
  gray.SetValue(2, 0, 250);
  gray.SetValue(3, 0, 0);
  auto colour = ApplyPalette(gray, table, false, 0);
  ASSERT_TRUE(colour);
  EXPECT_EQ(colour->kind, kRasterRgb);
  TColor c;
  colour->GetColor(0, 0, c);
  EXPECT_EQ(c, Rgb(0, 100, 0));
  colour->GetColor(1, 0, c);
  EXPECT_EQ(c, Rgb(0, 128, 0));
  colour->GetColor(2, 0, c);
  EXPECT_EQ(c, Rgb(255, 128, 0));
  // "Blue Base" differs in its first class only.
  auto blue = ApplyPalette(gray, PaletteTable(kPaletteBlueBase, 0, 100), false, 0);
  blue->GetColor(3, 0, c);
  EXPECT_EQ(c, Rgb(0, 0, 255));
  blue->GetColor(1, 0, c);
  EXPECT_EQ(c, Rgb(0, 128, 0));
}

TEST(PaletteTest, SmoothingMidpointIsTheMeanColour) {
  TRasterImage gray(3, 1, kRasterGray);
  gray.SetValue(0, 0, 15);   // halfway between bounds 10 and 20: (0,100,0) .. (0,128,0)
  gray.SetValue(1, 0, 55);   // halfway between 50 (128,255,0) and 60 (160,255,0)
  gray.SetValue(2, 0, 200);  // above the last bound: plain last colour
  auto colour = ApplyPalette(gray, PaletteTable(kPaletteClassical, 0, 100), true, 0);
  TColor c;
  colour->GetColor(0, 0, c);
  EXPECT_EQ(c, Rgb(0, 114, 0));
  colour->GetColor(1, 0, c);
  EXPECT_EQ(c, Rgb(144, 255, 0));
  colour->GetColor(2, 0, c);
  EXPECT_EQ(c, Rgb(255, 128, 0));
}

TEST(PaletteTest, MarginStaysWhiteAndIsIgnoredByTheRange) {
  TRasterImage gray(12, 9, kRasterGray);
  for (int l = 0; l < 9; ++l)
    for (int c = 0; c < 12; ++c) gray.SetValue(c, l, 40 + c + l);
  gray.SetValue(0, 0, 0);    // in the margin: not part of the range
  gray.SetValue(11, 8, 255);
  const TGrayRange range = InnerGrayRange(gray, 3);
  EXPECT_EQ(range.min, 46);
  EXPECT_EQ(range.max, 40 + 8 + 5);
  auto colour = ApplyPalette(gray, PaletteTable(kPaletteBlueBase, range.min, range.max), false, 3);
  int white = 0, coloured = 0;
  for (int l = 0; l < 9; ++l)
    for (int c = 0; c < 12; ++c) {
      TColor px;
      colour->GetColor(c, l, px);
      const bool inMargin = l < 3 || l >= 6 || c < 3 || c >= 9;
      if (inMargin) {
        EXPECT_EQ(px, Rgb(255, 255, 255));
        ++white;
      } else {
        EXPECT_FALSE(px == Rgb(255, 255, 255));
        ++coloured;
      }
    }
  EXPECT_EQ(coloured, 18);
  // A margin that swallows the image leaves the empty range and an all-white result.
  const TGrayRange none = InnerGrayRange(gray, 5);
  EXPECT_EQ(none.min, 10000);
  EXPECT_EQ(none.max, 0);
}

}  // namespace
}  // namespace orvane
