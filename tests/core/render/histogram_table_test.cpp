#include "core/render/histogram_table.h"

#include <vector>

#include <gtest/gtest.h>

#include "support/files.h"

namespace orvane {
namespace {

std::vector<std::string> Rows(const std::string& text) {
  std::vector<std::string> rows;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find("\r\n", start);
    EXPECT_NE(end, std::string::npos) << "every row ends in CR LF";
    if (end == std::string::npos) break;
    rows.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return rows;
}

TEST(HistogramTable, DensityDiagramSavesThroughTheClassOfItsBound) {
  std::vector<std::int32_t> counts(300, 0);
  counts[3] = 17;
  counts[73] = 2;    // the class of the maximum: saved
  counts[74] = 99;   // beyond the bound: not saved
  const auto rows = Rows(ClassValueTable(counts, 0, DiagramClassCount(73, counts.size()), 0.1));
  ASSERT_EQ(rows.size(), 74u);
  EXPECT_EQ(rows[0], "0.000000\t0");
  EXPECT_EQ(rows[3], "0.300000\t17");
  EXPECT_EQ(rows[73], "7.300000\t2");
  // As far as the counts reach, whatever the bound; none for a negative one.
  EXPECT_EQ(DiagramClassCount(433, 434), 434);
  EXPECT_EQ(DiagramClassCount(433, 300), 300);
  EXPECT_EQ(DiagramClassCount(-3, 300), 0);
  EXPECT_EQ(Rows(ClassValueTable(counts, 101, 103, 0.01))[0], "1.010000\t0");
}

TEST(HistogramTable, GrayAndDirectionRowsAreIntegerPairs) {
  TGrayHistogram gray{};
  gray[0] = 5;
  gray[255] = 1;
  const auto g = Rows(GrayHistogramTable(gray));
  ASSERT_EQ(g.size(), 256u);
  EXPECT_EQ(g[0], "0\t5");
  EXPECT_EQ(g[255], "255\t1");
  std::vector<std::int32_t> directions(400, 0);
  directions[359] = 8;
  directions[360] = 40;  // bin 360 is neither drawn nor saved
  const auto d = Rows(DirectionTable(directions));
  ASSERT_EQ(d.size(), 360u);
  EXPECT_EQ(d[359], "359\t8");
}

TEST(HistogramTable, PeakOfEmptyOrZeroRangeIsZero) {
  std::vector<std::int32_t> counts(300, 0);
  EXPECT_EQ(PeakCount(counts, 101, 300), 0);
  counts[150] = 6;
  counts[20] = 90;
  EXPECT_EQ(PeakCount(counts, 101, 300), 6);
  EXPECT_EQ(PeakCount(counts, 0, 1000), 90);
  EXPECT_EQ(PeakCount(counts, 200, 100), 0);
}

TEST(HistogramTable, ExtensionIsAppendedAsTyped) {
  EXPECT_EQ(TableFileName("report", 1), "report.xls");
  EXPECT_EQ(TableFileName("report.xls", 1), "report.xls.xls");
  EXPECT_EQ(TableFileName("report", 2), "report.ts");
}

TEST(HistogramTable, GrayLevelHistogramSkipsTheMargin) {
  TRasterImage image(5, 4, kRasterGray);
  image.Fill(Rgb(9, 9, 9));
  for (int c = 1; c < 4; ++c) image.SetValue(c, 1, 200);
  TGrayHistogram all = GrayLevelHistogram(image, 0);
  EXPECT_EQ(all[9], 17);
  EXPECT_EQ(all[200], 3);
  TGrayHistogram inner = GrayLevelHistogram(image, 1);
  EXPECT_EQ(inner[9], 3);
  EXPECT_EQ(inner[200], 3);
  EXPECT_EQ(GrayLevelHistogram(image, 2), TGrayHistogram{});
  EXPECT_EQ(GrayLevelHistogram(TRasterImage(), 0), TGrayHistogram{});
}

TEST(HistogramTable, WritesTheBytesAsTheyStand) {
  TempDir dir;
  ASSERT_TRUE(WriteTextFile(dir.File("t.xls"), "1\t2\r\n"));
  EXPECT_EQ(ReadAll(dir.File("t.xls")), "1\t2\r\n");
  EXPECT_EQ(WriteTextFile(dir.File("missing/t.xls"), "x").code(), kCannotOpen);
}

}  // namespace
}  // namespace orvane
