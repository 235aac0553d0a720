// 8-bit raw images with their six-line header, and opening rasters by extension.
#include "core/terrain/raster_file.h"

#include <gtest/gtest.h>

#include "support/files.h"

namespace orvane {
namespace {

TEST(RasterFile, SaveWritesHeaderAndBytesBesideTheNameAsTyped) {
  TempDir dir;
  TRasterImage r(3, 2, kRasterGray);
  for (int i = 0; i < 6; ++i) r.SetValue(i % 3, i / 3, 250 + i);  // 250..255
  const std::string base = dir.File("site_slope");
  ASSERT_TRUE(SaveRasterRaw(r, base, 90));
  EXPECT_EQ(ReadAll(base + ".txt"), "2\r\n3\r\n1\r\n0\r\n255\r\n90\r\n");
  EXPECT_EQ(ReadBytes(base + ".raw"), (std::vector<std::uint8_t>{250, 251, 252, 253, 254, 255}));
  ASSERT_TRUE(SaveRasterRaw(r, dir.File("net.raw"), 30));  // the extension is appended anyway
  EXPECT_EQ(ReadAll(dir.File("net.raw.txt")).substr(0, 6), "2\r\n3\r\n");
  EXPECT_EQ(ReadBytes(dir.File("net.raw.raw")).size(), 6u);
}

TEST(RasterFile, ColourRasterSavesItsGrayValue) {
  TempDir dir;
  TRasterImage r(2, 1, kRasterRgb);
  r.SetColor(0, 0, Rgb(255, 255, 255));
  r.SetColor(1, 0, Rgb(0, 0, 255));  // a blue network: 85
  ASSERT_TRUE(SaveRasterRaw(r, dir.File("net"), 90));
  EXPECT_EQ(ReadBytes(dir.File("net.raw")), (std::vector<std::uint8_t>{255, 85}));
}

TEST(RasterFile, RawRoundTripThroughTheHeader) {
  TempDir dir;
  TRasterImage r(5, 4, kRasterGray);
  for (int l = 0; l < 4; ++l)
    for (int c = 0; c < 5; ++c) r.SetValue(c, l, l * 50 + c);
  ASSERT_TRUE(SaveRasterRaw(r, dir.File("p"), 90));
  std::int64_t missing = -1;
  auto back = LoadRasterFile(dir.File("p.raw"), &missing);
  ASSERT_TRUE(back) << back.error().message;
  EXPECT_EQ(missing, 0);
  EXPECT_EQ((*back)->kind, kRasterGray);
  ASSERT_EQ((*back)->lines, 4);
  ASSERT_EQ((*back)->columns, 5);
  for (int l = 0; l < 4; ++l)
    for (int c = 0; c < 5; ++c) {
      int v;
      (*back)->GetValue(c, l, v);
      EXPECT_EQ(v, l * 50 + c);
    }
}

TEST(RasterFile, ShortRawFileLoadsWithZerosAndSaysSo) {
  TempDir dir;
  WriteBytes(dir.File("s.raw"), {255, 255, 255, 7});
  std::int64_t missing = 0;
  auto r = LoadRasterRaw(dir.File("s.raw"), 2, 3, &missing);
  ASSERT_TRUE(r);
  EXPECT_EQ(missing, 2);
  int v;
  (*r)->GetValue(0, 1, v);
  EXPECT_EQ(v, 7);
  (*r)->GetValue(2, 1, v);
  EXPECT_EQ(v, 0);
  WriteAll(dir.File("empty.raw"), "");
  auto empty = LoadRasterRaw(dir.File("empty.raw"), 2, 2, &missing);
  ASSERT_TRUE(empty);
  EXPECT_EQ(missing, 4);
}

TEST(RasterFile, OpeningFailuresNameTheFile) {
  TempDir dir;
  auto noHeader = LoadRasterFile(dir.File("x.raw"));
  ASSERT_FALSE(noHeader);
  EXPECT_NE(noHeader.error().message.find("x.txt"), std::string::npos);
  WriteAll(dir.File("y.txt"), "2 2");
  auto noData = LoadRasterFile(dir.File("y.raw"));
  ASSERT_FALSE(noData);
  EXPECT_NE(noData.error().message.find("y.raw"), std::string::npos);
  EXPECT_EQ(LoadRasterFile(dir.File("z.png")).error().code, kBadParameter);
  EXPECT_EQ(LoadRasterRaw(dir.File("y.raw"), -1, 2).error().code, kWrongFormat);
}

TEST(RasterFile, BmpHelpersRoundTripAndUpperCaseExtensions) {
  TempDir dir;
  TRasterImage r(3, 3, kRasterRgb);
  r.SetColor(1, 1, Rgb(1, 2, 3));
  ASSERT_TRUE(SaveRasterBmp(r, dir.File("c.BMP")));
  auto back = LoadRasterFile(dir.File("c.BMP"));
  ASSERT_TRUE(back);
  TColor c;
  (*back)->GetColor(1, 1, c);
  EXPECT_EQ(c, Rgb(1, 2, 3));
  EXPECT_EQ(LowerExtension("/a.b/c"), "");
  EXPECT_EQ(LowerExtension("x.Raw"), ".raw");
}

TEST(RasterFile, FailedSaveReplacesNeitherFile) {
  TempDir dir;
  TRasterImage r(2, 2, kRasterGray);
  const std::string base = dir.File("keep");
  WriteAll(base + ".txt", "old header");
  std::filesystem::create_directory(base + ".raw");  // the data file cannot be renamed into place
  EXPECT_FALSE(SaveRasterRaw(r, base, 1));
  EXPECT_EQ(ReadAll(base + ".txt"), "old header");
  EXPECT_EQ(FileCount(dir.path()), 2);
}

}  // namespace
}  // namespace orvane
