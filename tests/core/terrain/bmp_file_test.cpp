// The bitmap layout written by SaveRasterBmp and the files LoadRasterBmp accepts or refuses.
#include "core/terrain/bmp_file.h"

#include <gtest/gtest.h>

#include <random>

#include "support/compare.h"
#include "support/files.h"

namespace orvane {
namespace {

std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}
std::uint32_t U16(const std::vector<std::uint8_t>& b, std::size_t at) { return b[at] | (b[at + 1] << 8); }
void Set32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

TRasterImage Pattern(int columns, int lines, std::uint8_t kind, unsigned seed) {
  TRasterImage r(columns, lines, kind);
  std::mt19937 random(seed);
  for (int l = 0; l < lines; ++l)
    for (int c = 0; c < columns; ++c)
      r.SetColor(c, l, Rgb(static_cast<int>(random() % 256), static_cast<int>(random() % 256),
                           static_cast<int>(random() % 256)));
  return r;
}

TEST(BmpFile, EightBitLayout) {
  TempDir dir;
  TRasterImage r(3, 2, kRasterGray);
  r.SetValue(0, 0, 1);  // top line
  r.SetValue(2, 0, 3);
  r.SetValue(0, 1, 4);  // bottom line: stored first
  const std::string path = dir.File("a.bmp");
  ASSERT_TRUE(SaveRasterBmp(r, path));
  EXPECT_EQ(r.fileName, path);
  const auto b = ReadBytes(path);
  ASSERT_EQ(b.size(), 1086u);
  EXPECT_EQ(b[0], 'B');
  EXPECT_EQ(b[1], 'M');
  EXPECT_EQ(U32(b, 2), 1086u);
  EXPECT_EQ(U32(b, 6), 0u);
  EXPECT_EQ(U32(b, 10), 1078u);
  EXPECT_EQ(U32(b, 14), 40u);
  EXPECT_EQ(U32(b, 18), 3u);
  EXPECT_EQ(U32(b, 22), 2u);
  EXPECT_EQ(U16(b, 26), 1u);
  EXPECT_EQ(U16(b, 28), 8u);
  EXPECT_EQ(U32(b, 30), 0u);
  EXPECT_EQ(U32(b, 34), 8u);  // stride 4 x 2 lines
  EXPECT_EQ(U32(b, 38), 10000u);
  EXPECT_EQ(U32(b, 42), 10000u);
  EXPECT_EQ(U32(b, 46), 0u);
  EXPECT_EQ(U32(b, 50), 0u);
  EXPECT_EQ(U32(b, 54 + 4 * 200), 0x00C8C8C8u);  // gray ramp entry 200
  const std::vector<std::uint8_t> pixels(b.begin() + 1078, b.end());
  EXPECT_EQ(pixels, (std::vector<std::uint8_t>{4, 0, 0, 0, 1, 0, 3, 0}));
}

TEST(BmpFile, TwentyFourBitStrideAndOrder) {
  TempDir dir;
  TRasterImage r(5, 1, kRasterRgb);
  r.SetColor(0, 0, Rgb(30, 20, 10));
  const std::string path = dir.File("c.bmp");
  ASSERT_TRUE(SaveRasterBmp(r, path));
  const auto b = ReadBytes(path);
  EXPECT_EQ(BmpStride(5, 24), 16);
  ASSERT_EQ(b.size(), 54u + 16u);
  EXPECT_EQ(U32(b, 10), 54u);
  EXPECT_EQ(U16(b, 28), 24u);
  EXPECT_EQ(U32(b, 34), 16u);
  EXPECT_EQ(b[54], 10);  // blue, green, red
  EXPECT_EQ(b[55], 20);
  EXPECT_EQ(b[56], 30);
  EXPECT_EQ(b[54 + 15], 0);  // padding
}

TEST(BmpFile, RoundTripsEveryKindAndOddWidths) {
  TempDir dir;
  for (std::uint8_t kind : {kRasterGray, kRasterPalette, kRasterRgb}) {
    for (int width : {1, 2, 3, 4, 5, 7, 13}) {
      TRasterImage r = Pattern(width, 3, kind, 17u * width + kind);
      if (kind == kRasterPalette)
        for (int i = 0; i < 256; ++i)
          r.palette[i] = {static_cast<std::uint8_t>(255 - i), static_cast<std::uint8_t>(i / 2), 7, 0};
      const std::string path = dir.File("r.bmp");
      ASSERT_TRUE(SaveRasterBmp(r, path));
      const auto back = LoadRasterBmp(path);
      ASSERT_TRUE(back) << int(kind) << " " << width << ": " << back.error().message;
      EXPECT_EQ((*back)->fileName, path);
      testing::ExpectSameImage(r, **back);
      if (kind == kRasterPalette) {
        EXPECT_EQ((*back)->palette, r.palette);
      }
    }
  }
}

TEST(BmpFile, PaletteDecidesGrayOrPaletteKind) {
  TempDir dir;
  TRasterImage r(2, 2, kRasterPalette);  // palette still the gray ramp
  const std::string path = dir.File("p.bmp");
  ASSERT_TRUE(SaveRasterBmp(r, path));
  auto back = LoadRasterBmp(path);
  ASSERT_TRUE(back);
  EXPECT_EQ((*back)->kind, kRasterGray);
  r.palette[255] = {255, 255, 254, 0};
  ASSERT_TRUE(SaveRasterBmp(r, path));
  back = LoadRasterBmp(path);
  ASSERT_TRUE(back);
  EXPECT_EQ((*back)->kind, kRasterPalette);
}

TEST(BmpFile, SaveFailuresAreSaidAndWriteNothing) {
  TempDir dir;
  const std::string missingDirectory = dir.File("no/such/dir.bmp");
  const std::string empty = dir.File("e.bmp");
  const struct {
    TRasterImage raster;
    std::string path;
    int code;
    std::string message;
  } cases[] = {
      {TRasterImage(2, 2, kRasterGray), missingDirectory, kCannotOpen,
       "cannot create '" + missingDirectory + "': No such file or directory"},
      {TRasterImage(), empty, kWriteFailed, "cannot write '" + empty + "': the image is empty"},
  };
  for (auto c : cases) {
    const Status s = SaveRasterBmp(c.raster, c.path);
    EXPECT_EQ(s.code(), c.code) << c.path;
    EXPECT_EQ(s.message(), c.message);
    EXPECT_TRUE(c.raster.fileName.empty());
  }
  EXPECT_EQ(FileCount(dir.path()), 0);
}

class BmpRefusal : public ::testing::Test {
 protected:
  void SetUp() override {
    TRasterImage r = Pattern(3, 2, kRasterGray, 1);
    ASSERT_TRUE(SaveRasterBmp(r, dir.File("good8.bmp")));
    good8 = ReadBytes(dir.File("good8.bmp"));
    TRasterImage c = Pattern(3, 2, kRasterRgb, 2);
    ASSERT_TRUE(SaveRasterBmp(c, dir.File("good24.bmp")));
    good24 = ReadBytes(dir.File("good24.bmp"));
  }
  // Loads `bytes` from a file; the outcome as a Status.
  Status Load(const std::vector<std::uint8_t>& bytes) {
    WriteBytes(dir.File("x.bmp"), bytes);
    const auto loaded = LoadRasterBmp(dir.File("x.bmp"));
    return loaded ? Status::Ok() : Status(loaded.error());
  }
  TempDir dir;
  std::vector<std::uint8_t> good8, good24;
};

TEST_F(BmpRefusal, WrongFormatGivesSeven) {
  auto b = good8;
  b[0] = 'X';
  EXPECT_EQ(Load(b).code(), 7);
  b = good8;
  Set32(b, 10, 1074);  // 8-bit with another pixel offset
  EXPECT_EQ(Load(b).code(), 7);
  b = good24;
  Set32(b, 10, 1078);  // 24-bit with the palette offset
  EXPECT_EQ(Load(b).code(), 7);
  b = good8;
  b[28] = 4;  // 4 bits per pixel
  EXPECT_EQ(Load(b).code(), 7);
  for (std::uint32_t compression : {1u, 2u, 3u}) {
    b = good8;
    Set32(b, 30, compression);
    const Status s = Load(b);
    EXPECT_EQ(s.code(), 7);
    EXPECT_NE(s.message().find("compress"), std::string::npos) << s.message();
  }
  b = good8;
  Set32(b, 14, 124);  // a larger information header would move the palette
  EXPECT_EQ(Load(b).code(), 7);
}

TEST_F(BmpRefusal, AbsurdSizesAreRefusedBeforeAllocating) {
  const std::pair<std::uint32_t, std::uint32_t> sizes[] = {
      {0xFFFFFFFFu, 2},           // width -1
      {0, 2},                     // no columns
      {3, 0},                     // no lines
      {0x7FFFFFFFu, 0x7FFFFFFFu}, // 2^31 x 2^31
      {0x80000000u, 0x80000000u}, // most negative values
      {200000, 1}};
  for (const auto& [w, h] : sizes) {
    auto b = good8;
    Set32(b, 18, w);
    Set32(b, 22, h);
    const Status s = Load(b);
    EXPECT_EQ(s.code(), 7) << w << "x" << h << ": " << s.message();
  }
  // Plausible sides but more pixels than the file holds: short, not allocated.
  auto b = good24;
  Set32(b, 18, 60000);
  Set32(b, 22, 60000);
  EXPECT_EQ(Load(b).code(), 5);
}

TEST_F(BmpRefusal, TruncatedFilesGiveFive) {
  EXPECT_EQ(Load(std::vector<std::uint8_t>(good8.begin(), good8.begin() + 20)).code(), 5);
  EXPECT_EQ(Load(std::vector<std::uint8_t>(good8.begin(), good8.begin() + 600)).code(), 5);
  const Status s = Load(std::vector<std::uint8_t>(good8.begin(), good8.end() - 1));
  EXPECT_EQ(s.code(), 5);
  EXPECT_NE(s.message().find("x.bmp"), std::string::npos) << s.message();
  EXPECT_EQ(Load(std::vector<std::uint8_t>(good24.begin(), good24.end() - 1)).code(), 5);
}

TEST_F(BmpRefusal, MissingFileGivesFour) {
  const auto loaded = LoadRasterBmp(dir.File("absent.bmp"));
  ASSERT_FALSE(loaded);
  EXPECT_EQ(loaded.error().code, 4);
  EXPECT_NE(loaded.error().message.find("absent.bmp"), std::string::npos);
}

TEST_F(BmpRefusal, NegativeHeightReadsTopDown) {
  TRasterImage r = Pattern(3, 2, kRasterGray, 1);
  auto b = good8;
  Set32(b, 22, static_cast<std::uint32_t>(-2));
  WriteBytes(dir.File("td.bmp"), b);
  const auto loaded = LoadRasterBmp(dir.File("td.bmp"));
  ASSERT_TRUE(loaded);
  const TRasterImage& back = **loaded;
  ASSERT_EQ(back.lines, 2);
  int top = -1, bottom = -1, v = -1;
  r.GetValue(1, 0, top);
  r.GetValue(1, 1, bottom);
  back.GetValue(1, 0, v);
  EXPECT_EQ(v, bottom);  // the first stored line is now the top one
  back.GetValue(1, 1, v);
  EXPECT_EQ(v, top);
}

TEST_F(BmpRefusal, ExtraBytesAfterThePixelsAreIgnored) {
  auto b = good24;
  b.insert(b.end(), 100, 0xAB);
  EXPECT_TRUE(Load(b));
}

}  // namespace
}  // namespace orvane
