// Pixel rules and pixel-wise combinations of the raster model.
#include "core/terrain/raster_image.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "core/treatment/nodata_rule.h"

namespace orvane {
namespace {

TEST(RasterImage, NewRasterIsBlackWithDefaultTexts) {
  TRasterImage empty;
  EXPECT_EQ(empty.lines, -1);
  EXPECT_EQ(empty.columns, -1);
  EXPECT_FALSE(empty.IsAllocated());
  TRasterImage r(4, 3, kRasterRgb);
  EXPECT_TRUE(r.IsAllocated());
  EXPECT_EQ(r.title, "Aucun");
  EXPECT_EQ(r.authorName, "Anonyme");
  EXPECT_TRUE(r.fileName.empty());
  TColor c{1, 2, 3};
  EXPECT_EQ(r.GetColor(3, 2, c), 0);
  EXPECT_EQ(c, TColor{});
  EXPECT_EQ(r.palette, GrayRamp());
}

TEST(RasterImage, ReadsOutsideReportThreeWritesOutsideAreIgnored) {
  TRasterImage r(2, 2, kRasterGray);
  int v = 5;
  EXPECT_EQ(r.GetValue(-1, 0, v), 3);
  EXPECT_EQ(v, -1);
  TColor c = Rgb(9, 9, 9);
  EXPECT_EQ(r.GetColor(0, 2, c), 3);
  EXPECT_EQ(c, Rgb(9, 9, 9));  // untouched
  r.SetValue(2, 0, 200);
  r.SetColor(0, -1, Rgb(200, 200, 200));
  for (int l = 0; l < 2; ++l)
    for (int col = 0; col < 2; ++col) {
      r.GetValue(col, l, v);
      EXPECT_EQ(v, 0);
    }
}

TEST(RasterImage, GrayAndColourConversions) {
  TRasterImage gray(1, 1, kRasterGray);
  gray.SetColor(0, 0, TColor{10, 20, 30});
  int v = 0;
  gray.GetValue(0, 0, v);
  EXPECT_EQ(v, 20);
  TColor c;
  gray.GetColor(0, 0, c);
  EXPECT_EQ(c, Rgb(20, 20, 20));

  TRasterImage rgb(1, 1, kRasterRgb);
  rgb.SetColor(0, 0, Rgb(100, 50, 1));  // (1 + 50 + 100) / 3 = 50
  rgb.GetValue(0, 0, v);
  EXPECT_EQ(v, 50);
  rgb.SetValue(0, 0, 77);
  rgb.GetColor(0, 0, c);
  EXPECT_EQ(c, Rgb(77, 77, 77));

  TRasterImage pal(1, 1, kRasterPalette);
  pal.palette[5] = {1, 2, 3, 0};
  pal.SetValue(0, 0, 5);
  pal.GetColor(0, 0, c);
  EXPECT_EQ(c, (TColor{1, 2, 3}));
  pal.GetValue(0, 0, v);
  EXPECT_EQ(v, 5);  // the index, not the colour
}

TEST(RasterImage, MeanColorCountsOnlyInsidePixels) {
  TRasterImage r(2, 2, kRasterGray);
  r.SetValue(0, 0, 10);
  r.SetValue(1, 0, 20);
  r.SetValue(0, 1, 31);
  r.SetValue(1, 1, 40);
  TColor c;
  ASSERT_EQ(r.MeanColor(0, 0, 1, c), 0);
  EXPECT_EQ(c.red, (10 + 20 + 31 + 40) / 4);
  EXPECT_EQ(r.MeanColor(10, 10, 1, c), 3);
}

TEST(RasterImage, FillCopyAndClone) {
  TRasterImage r(3, 2, kRasterPalette);
  r.Fill(Rgb(7, 1, 1));  // 8-bit kinds take the red component
  r.title = "slope";
  r.palette[7] = {9, 9, 9, 0};
  auto copy = r.Clone();
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->title, "slope");
  EXPECT_EQ(copy->kind, kRasterPalette);
  EXPECT_EQ(copy->palette[7], (TPaletteEntry{9, 9, 9, 0}));
  int v;
  copy->GetValue(2, 1, v);
  EXPECT_EQ(v, 7);

  TRasterImage window(3, 3, kRasterRgb);
  r.CopyWindow(window, 0, 0, Rgb(255, 0, 0), 1);
  TColor c;
  window.GetColor(0, 0, c);
  EXPECT_EQ(c, Rgb(255, 0, 0));
  window.GetColor(1, 1, c);
  EXPECT_EQ(c, (TColor{9, 9, 9}));
}

TEST(RasterImage, HistogramCountsComponents) {
  TRasterImage r(2, 1, kRasterRgb);
  r.SetColor(0, 0, Rgb(1, 2, 3));
  r.SetColor(1, 0, Rgb(1, 5, 3));
  THistogram256 red, green, blue;
  r.Histogram(red, green, blue);
  EXPECT_EQ(red[1], 2u);
  EXPECT_EQ(green[2], 1u);
  EXPECT_EQ(green[5], 1u);
  EXPECT_EQ(blue[3], 2u);
}

TEST(RasterImage, CombineClampsAndPicksTheKind) {
  TRasterImage a(1, 1, kRasterGray), b(1, 1, kRasterGray);
  auto value = [&](int op, int x, int y) {
    a.SetValue(0, 0, x);
    b.SetValue(0, 0, y);
    auto r = a.Combine(b, op);
    int v = -1;
    r->GetValue(0, 0, v);
    return v;
  };
  EXPECT_EQ(value(1, 10, 20), 0);
  EXPECT_EQ(value(0, 200, 100), 255);
  EXPECT_EQ(value(2, 255, 128), 128);
  EXPECT_EQ(value(3, 10, 30), 20);
  EXPECT_EQ(value(4, 10, 30), 10);
  EXPECT_EQ(value(5, 10, 30), 30);
  EXPECT_EQ(value(6, 11, 30), 20);
  EXPECT_EQ(value(7, 12, 10), 8);
  EXPECT_EQ(value(8, 12, 10), 14);
  EXPECT_EQ(value(9, 12, 10), 6);

  TRasterImage rgb(1, 1, kRasterRgb);
  EXPECT_EQ(a.Combine(rgb, 0)->kind, kRasterRgb);
  TRasterImage pal(1, 1, kRasterPalette);
  EXPECT_EQ(pal.Combine(pal, 0)->kind, kRasterGray);
  TRasterImage other(2, 2, kRasterGray);
  EXPECT_EQ(a.Combine(other, 0), nullptr);  // differs in both sizes
  TRasterImage wider(2, 1, kRasterGray);
  EXPECT_NE(a.Combine(wider, 0), nullptr);  // one size in common is enough
}

TEST(RasterImage, BlendMixesAndClampsT) {
  TRasterImage a(1, 1, kRasterGray), b(1, 1, kRasterRgb);
  a.SetValue(0, 0, 100);
  b.SetColor(0, 0, Rgb(200, 0, 100));
  auto r = a.Blend(b, 0.5);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->kind, kRasterRgb);
  TColor c;
  r->GetColor(0, 0, c);
  EXPECT_EQ(c, Rgb(150, 50, 100));
  auto clamped = a.Blend(b, 7.0);  // t = 1: the other raster
  clamped->GetColor(0, 0, c);
  EXPECT_EQ(c, Rgb(200, 0, 100));
  TRasterImage small(2, 2, kRasterGray);
  EXPECT_EQ(a.Blend(small, 0.5), nullptr);
}

// NoData in either picture is NoData in the blend, in a colour no blended cell shows; the level
// that held an input's NoData colour is gray again for the cells that land on it.
TEST(RasterImage, BlendKeepsTheNoDataOfBothPictures) {
  TRasterImage slope(3, 1, kRasterGray), relief(3, 1, kRasterGray);
  for (int c = 0; c < 3; ++c) {
    slope.SetValue(c, 0, std::array{255, 10, 0}[c]);
    relief.SetValue(c, 0, std::array{253, 10, 20}[c]);
  }
  PaintNoData(slope, {0, 0, 1});   // its NoData colour on the free level 254
  PaintNoData(relief, {0, 1, 0});
  auto blend = slope.Blend(relief, 0.5);
  ASSERT_NE(blend, nullptr);
  EXPECT_EQ(blend->noData, (std::vector<std::uint8_t>{0, 1, 1}));
  TColor mixed, voidColour, otherVoid;
  blend->GetColor(0, 0, mixed);
  blend->GetColor(1, 0, voidColour);
  blend->GetColor(2, 0, otherVoid);
  EXPECT_EQ(mixed, Rgb(254, 254, 254));
  EXPECT_EQ(voidColour, NoDataColourFor(*blend, blend->noData));
  EXPECT_EQ(otherVoid, voidColour);
  EXPECT_NE(voidColour, mixed);
}

TEST(RasterImage, ApplyTablesUsesTheFirstByteOfEachEntry) {
  TRasterImage r(1, 1, kRasterRgb);
  r.SetColor(0, 0, Rgb(1, 2, 3));
  std::array<std::uint32_t, 256> red{}, green{}, blue{};
  red[1] = 0x1234'5678u;
  green[2] = 0x20u;
  blue[3] = 0x30u;
  auto out = r.ApplyTables(red, green, blue);
  TColor c;
  out->GetColor(0, 0, c);
  EXPECT_EQ(c, Rgb(0x78, 0x20, 0x30));
}

TEST(RasterImage, ResampleSizesAndLimits) {
  TRasterImage r(101, 101, kRasterGray);
  auto half = r.Resample(0.5, 0, 0);
  ASSERT_NE(half, nullptr);
  EXPECT_EQ(half->lines, 51);
  EXPECT_EQ(half->columns, 51);
  EXPECT_EQ(r.Resample(0.0, 0, 0), nullptr);
  EXPECT_EQ(r.Resample(-1.0, 0, 0), nullptr);
  EXPECT_EQ(r.Resample(199.0, 0, 0), nullptr);  // 20099 > 20000

  TRasterImage ramp(4, 1, kRasterGray);
  for (int c = 0; c < 4; ++c) ramp.SetValue(c, 0, 10 * c);
  auto twice = ramp.Resample(2.0, 0, 0);
  int v;
  twice->GetValue(1, 0, v);  // sample at 0.5: 5
  EXPECT_EQ(v, 5);
}

}  // namespace
}  // namespace orvane
