#include <gtest/gtest.h>

#include "core/exchange/levels.h"
#include "core/exchange/page_layout.h"
#include "core/exchange/utm_frame.h"

namespace orvane {
namespace {

TEST(UtmFrameTest, CellCoordinatesFromTheCorners) {
  UtmFrame frame{31, 1000, 3000, 2000, 4000, 100, 100};
  auto size = UtmCalculatedPixelSize(frame);
  ASSERT_TRUE(size);
  EXPECT_DOUBLE_EQ(size->x, 10.0);
  EXPECT_EQ(UtmReadout(frame, 0, 0), "Coord. UTM   X  1000.00    Y  4000.00 ");
  EXPECT_EQ(UtmReadout(frame, 99, 99), "Coord. UTM   X  1990.00    Y  3010.00 ");

  const UtmFrame unset{0, 0, 0, 0, 0, 100, 100};
  EXPECT_EQ(UtmReadout(unset, 5, 5), "Coord. UTM   X     0.00    Y     0.00 ");
  EXPECT_FALSE(UtmCalculatedPixelSize(unset));

  const UtmFrame empty{0, 1000, 3000, 2000, 4000, 0, 0};
  EXPECT_EQ(UtmReadout(empty, 0, 0), " ");
  EXPECT_FALSE(UtmCalculatedPixelSize(empty));
  EXPECT_EQ(ParseDecimalOrZero("12.5x"), 12.5);
  EXPECT_EQ(ParseDecimalOrZero("abc"), 0.0);
}

TEST(LevelsTest, TableStretchesBetweenTheBounds) {
  const TLevelsTable t = LevelsTable(50, 100);
  EXPECT_EQ(t[50], 0u);
  EXPECT_EQ(t[75], 127u);
  EXPECT_EQ(t[100], 255u);
  EXPECT_EQ(t[49], 0u);
  EXPECT_EQ(t[101], 255u);

  THistogram256 counts{};
  counts[10] = 3;
  counts[75] = 2;
  counts[200] = 4;
  const THistogram256 shown = StretchedHistogram(counts, 50, 100);
  EXPECT_EQ(shown[0], 3u);
  EXPECT_EQ(shown[127], 2u);
  EXPECT_EQ(shown[255], 4u);
}

TEST(LevelsTest, BoundsStayOrderedAndLinkJoinsTheChannels) {
  LevelsState state;
  state.Reset(false);
  EXPECT_FALSE(state.Linked());
  state.SetMaximum(kLevelsRed, 200);
  state.SetMinimum(kLevelsRed, 230);
  EXPECT_EQ(state.Channel(kLevelsRed).lo, 230);
  EXPECT_EQ(state.Channel(kLevelsRed).hi, 231);
  state.SetMaximum(kLevelsRed, 10);
  EXPECT_EQ(state.Channel(kLevelsRed).lo, 9);

  state.Reset(false);
  state.SetMinimum(kLevelsRed, 10);
  state.SetMaximum(kLevelsRed, 200);
  state.SetMinimum(kLevelsGreen, 20);
  state.SetMaximum(kLevelsGreen, 180);
  state.SetMinimum(kLevelsBlue, 5);
  state.SetMaximum(kLevelsBlue, 250);
  state.SetLinked(true);
  for (int ch = 0; ch < 3; ++ch) {
    EXPECT_EQ(state.Channel(ch).lo, 5);
    EXPECT_EQ(state.Channel(ch).hi, 250);
  }

  state.Reset(true);
  EXPECT_TRUE(state.LinkLocked());
  state.SetLinked(false);
  EXPECT_TRUE(state.Linked());
  state.SetMinimum(kLevelsGreen, 40);
  EXPECT_EQ(state.Channel(kLevelsRed).lo, 40);
  EXPECT_EQ(state.Channel(kLevelsBlue).lo, 40);
}

TEST(LevelsTest, ApplyOnAGrayImage) {
  TRasterImage gray(2, 1, kRasterGray);
  gray.SetValue(0, 0, 75);
  gray.SetValue(1, 0, 20);
  LevelsState state;
  state.Reset(true);
  state.SetMinimum(kLevelsRed, 50);
  state.SetMaximum(kLevelsRed, 100);
  auto out = state.Apply(gray);
  ASSERT_TRUE(out);
  int v = 0;
  out->GetValue(0, 0, v);
  EXPECT_EQ(v, 127);
  out->GetValue(1, 0, v);
  EXPECT_EQ(v, 0);
}

TEST(PageLayoutTest, A4PageFitsAndCentres) {
  PageLayout layout;
  layout.SetPage(210, 297);
  layout.SetBitmap(400, 200);
  layout.Activate();
  EXPECT_FLOAT_EQ(layout.w, 105);
  EXPECT_FLOAT_EQ(layout.h, 52.5);
  EXPECT_FLOAT_EQ(layout.x0, 52.5);
  EXPECT_FLOAT_EQ(layout.y0, 122.25);
  EXPECT_FLOAT_EQ(PageLayout::RoundTenth(layout.y0), 122.3f);

  layout.SetImageWidth(300);
  EXPECT_FLOAT_EQ(layout.w, 210);
  EXPECT_FLOAT_EQ(layout.h, 105);

  PageLayout tall;
  tall.SetPage(210, 297);
  tall.SetBitmap(100, 400);
  tall.Activate();
  tall.SetWholePage(true);
  EXPECT_FLOAT_EQ(tall.h, 297);
  EXPECT_FLOAT_EQ(tall.w, 74.25);
}

TEST(PageLayoutTest, MarginsAreCutBackAndTheRectangleScales) {
  PageLayout layout;
  layout.SetPage(210, 297);
  layout.SetBitmap(400, 200);
  layout.Activate();
  layout.SetCentred(false);
  layout.SetLeftMargin(500);
  EXPECT_FLOAT_EQ(layout.x0, 210 - 105);
  layout.SetTopMargin(10);
  EXPECT_FLOAT_EQ(layout.y0, 10);
  const PrinterRect r = layout.ToDevice(2100, 2970);
  EXPECT_EQ(r.left, 1050);
  EXPECT_EQ(r.right, 2100);
  EXPECT_EQ(r.top, 100);
  EXPECT_EQ(r.bottom, 625);

  PageLayout none;
  EXPECT_EQ(none.ToDevice(100, 100).left, -1);
}

TEST(PageLayoutTest, DecimalEditsAcceptPointOrComma) {
  EXPECT_FLOAT_EQ(PageLayout::ParseDecimal("12.5"), 12.5f);
  EXPECT_FLOAT_EQ(PageLayout::ParseDecimal("12,5"), 12.5f);
  EXPECT_FLOAT_EQ(PageLayout::ParseDecimal("12a"), 12.0f);
  EXPECT_FLOAT_EQ(PageLayout::ParseDecimal(""), 0.0f);
  EXPECT_EQ(PageLayout::CleanDecimalText("3.25mm"), "3,25");
}

}  // namespace
}  // namespace orvane
