// Hostile files given to every reader: each is refused (or read safely) with a message naming
// the file, and nothing the reader was handed is changed. The table in docs/hostile-inputs.md
// lists these cases.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "core/exchange/ilwis_import.h"
#include "core/settings/settings_file.h"
#include "core/terrain/bmp_file.h"
#include "core/terrain/dem_file.h"
#include "core/terrain/raster_file.h"
#include "support/files.h"

namespace orvane {
namespace {

std::string Le16(int v) { return {static_cast<char>(v & 255), static_cast<char>((v >> 8) & 255)}; }
std::string Le32(std::int64_t v) {
  std::string s;
  for (int i = 0; i < 4; ++i) s += static_cast<char>((v >> (8 * i)) & 255);
  return s;
}

// A 24-bit BMP of the given header fields followed by `pixels` bytes.
std::string Bmp(std::int64_t width, std::int64_t height, int bits, std::int64_t offset,
                const std::string& pixels, const std::string& magic = "BM") {
  std::string h = magic + Le32(14 + 40 + static_cast<std::int64_t>(pixels.size())) + Le32(0) +
                  Le32(offset);
  h += Le32(40) + Le32(width) + Le32(height) + Le16(1) + Le16(bits) + Le32(0) +
       Le32(static_cast<std::int64_t>(pixels.size())) + Le32(10000) + Le32(10000) + Le32(0) +
       Le32(0);
  return h + pixels;
}

TEST(HostileDemHeader, BadSizesAreRefusedNamingTheFile) {
  TempDir dir;
  const std::string path = dir.File("site.txt");
  for (const char* text : {"", "abc def", "12", "0 10", "10 0", "-5 10", "10 -5", "40000 10",
                           "10 99999999999999999999", "\x01\x02\xff"}) {
    WriteAll(path, text);
    auto header = ReadDemHeader(path);
    ASSERT_FALSE(header) << text;
    EXPECT_NE(header.error().message.find(path), std::string::npos) << text;
  }
  for (const char* text : {"4 5", "4 5\r\n1\r\n", "4\r5\r", " 4\t5 "}) {
    WriteAll(path, text);
    auto header = ReadDemHeader(path);
    ASSERT_TRUE(header) << text;
    EXPECT_EQ(header->lines, 4);
    EXPECT_EQ(header->columns, 5);
  }
  // A directory in place of the header, and a header that does not exist.
  std::filesystem::create_directory(dir.File("dir.txt"));
  EXPECT_FALSE(ReadDemHeader(dir.File("dir.txt")));
  EXPECT_FALSE(ReadDemHeader(dir.File("absent.txt")));
}

TEST(HostileDemGrid, ShortOrMissingGridsAreRefusedBeforeAllocating) {
  TempDir dir;
  const std::string raw = dir.File("site.raw");
  WriteAll(raw, std::string(10, '\0'));
  // The header's largest size with a ten-byte file: refused from the length alone.
  auto scan = ScanDemFile(raw, kMaxDemFileSide, kMaxDemFileSide, 4);
  ASSERT_FALSE(scan);
  EXPECT_EQ(scan.error().code, kWrongFormat);
  EXPECT_NE(scan.error().message.find(raw), std::string::npos);
  EXPECT_FALSE(ScanDemFile(raw, 2, 3, 3));  // width neither 2 nor 4
  EXPECT_FALSE(ScanDemFile(dir.File("absent.raw"), 2, 2, 2));
  std::filesystem::create_directory(dir.File("folder.raw"));
  EXPECT_FALSE(ScanDemFile(dir.File("folder.raw"), 2, 2, 2));
  // Exactly long enough is read; the extra bytes at the end are ignored.
  WriteAll(raw, Le16(7) + Le16(9) + "junk");
  auto ok = ScanDemFile(raw, 1, 2, 2);
  ASSERT_TRUE(ok);
  EXPECT_EQ(ok->minValue, 7);
  EXPECT_EQ(ok->maxValue, 9);
}

TEST(HostileBmp, MalformedHeadersAreRefusedNamingTheFile) {
  TempDir dir;
  const std::string path = dir.File("image.bmp");
  const std::string row = std::string(6, 'x') + std::string(2, '\0');  // 2 pixels, padded
  const struct {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"empty", ""},
      {"truncated header", Bmp(2, 1, 24, 54, row).substr(0, 30)},
      {"wrong magic", Bmp(2, 1, 24, 54, row, "MB")},
      {"truncated pixels", Bmp(2, 2, 24, 54, row)},
      {"zero width", Bmp(0, 1, 24, 54, row)},
      {"negative width", Bmp(-2, 1, 24, 54, row)},
      {"huge width x height", Bmp(0x7fffffff, 0x7fffffff, 24, 54, row)},
      {"most negative height", Bmp(2, -0x7fffffff - 1, 24, 54, row)},
      {"wrong offset", Bmp(2, 1, 24, 4000, row)},
      {"offset inside the header", Bmp(2, 1, 24, 10, row)},
      {"palette beyond the file", Bmp(2, 1, 8, 1078, row)},
      {"unsupported depth", Bmp(2, 1, 16, 54, row)},
  };
  for (const auto& c : cases) {
    WriteAll(path, c.bytes);
    const auto loaded = LoadRasterBmp(path);
    ASSERT_FALSE(loaded) << c.what;
    EXPECT_NE(loaded.error().message.find(path), std::string::npos) << c.what;
  }
  WriteAll(path, Bmp(2, 1, 24, 54, row));
  const auto loaded = LoadRasterBmp(path);
  ASSERT_TRUE(loaded);
  EXPECT_EQ((*loaded)->columns, 2);
  std::filesystem::create_directory(dir.File("folder.bmp"));
  EXPECT_FALSE(LoadRasterBmp(dir.File("folder.bmp")));
}

TEST(HostileRasterRaw, HeadersAndDataOfParameterAndDrainageFiles) {
  TempDir dir;
  const std::string raw = dir.File("net.raw");
  const std::string txt = dir.File("net.txt");
  WriteAll(raw, std::string("\x01\x02\x03", 3));
  for (const char* header : {"", "x y", "0 3", "-1 3", "3 70000"}) {
    WriteAll(txt, header);
    auto raster = LoadRasterFile(raw);
    ASSERT_FALSE(raster) << header;
    EXPECT_NE(raster.error().message.find("net"), std::string::npos) << header;
  }
  // A short file loads with black pixels and tells how many bytes were missing.
  WriteAll(txt, "2\r\n3\r\n1\r\n0\r\n255\r\n90\r\n");
  std::int64_t missing = -1;
  auto raster = LoadRasterFile(raw, &missing);
  ASSERT_TRUE(raster);
  EXPECT_EQ(missing, 3);
  EXPECT_FALSE(LoadRasterFile(dir.File("net.tif")));  // unknown type
  std::filesystem::create_directory(dir.File("folder.raw"));
  WriteAll(dir.File("folder.txt"), "1 1");
  EXPECT_FALSE(LoadRasterFile(dir.File("folder.raw")));
}

TEST(HostileIlwis, SizesAndDataFilesThatDoNotAgree) {
  TempDir dir;
  const std::string mpr = dir.File("map.mpr");
  const std::string data = dir.File("map.mp#");
  WriteAll(data, std::string(12, '\1'));
  for (const char* text : {"", "[BaseMap]\nType=Map\n", "Size=abc 4", "Size=3", "Size=0 4",
                           "Size=-3 4", "Size=3 -4", "Size=2000000 2000000",
                           "Size=99999999999999999999 4"}) {
    WriteAll(mpr, text);
    auto info = ReadIlwisMapInfo(mpr);
    ASSERT_FALSE(info) << text;
    EXPECT_NE(info.error().message.find(mpr), std::string::npos) << text;
  }
  // A large announced size with a 12-byte data file: refused, nothing written.
  WriteAll(mpr, "Size=1000000 1000000\r\n");
  IlwisImportParams params{mpr, IlwisElementType::kInteger, dir.File("out")};
  EXPECT_FALSE(ImportIlwis(params));
  WriteAll(mpr, "Size=3 4\r\n");
  params.type = IlwisElementType::kDouble;  // 96 bytes needed, 12 present
  EXPECT_FALSE(ImportIlwis(params));
  EXPECT_FALSE(std::filesystem::exists(dir.File("out_m4.raw")));
  std::filesystem::remove(data);
  EXPECT_FALSE(ReadIlwisMapInfo(mpr));
}

TEST(HostileSettings, LineEndsOfEveryKindAndBinaryNoise) {
  TempDir dir;
  const std::string path = dir.File("Orvane.ini");
  for (const char* eol : {"\n", "\r\n", "\r"}) {
    WriteAll(path, std::string("[SQUEL]") + eol + "SIZE=300" + eol + "[RELIEF]" + eol +
                       "ECART=25" + eol);
    const TSettings s = ReadSettings(path);
    EXPECT_EQ(s.skeletonSize, 300) << static_cast<int>(eol[0]);
    EXPECT_EQ(s.eyeDistance, 25) << static_cast<int>(eol[0]);
  }
  // Found by fuzzing: a stray CR inside a line made the written form change at every save.
  IniFile ini;
  ini.Parse("[A]\r\r\nK=1\rL=2\n");
  IniFile again;
  again.Parse(ini.Text());
  EXPECT_EQ(again.Text(), ini.Text());
  EXPECT_EQ(ini.GetInt("A", "L", 0), 2);
  // Noise and a directory in place of the file read as the defaults.
  WriteAll(path, std::string("\0\xff[\x01=\n=\n[", 9));
  EXPECT_EQ(ReadSettings(path).skeletonSize, 20);
  std::filesystem::create_directory(dir.File("folder.ini"));
  EXPECT_EQ(ReadSettings(dir.File("folder.ini")).skeletonSize, 20);
}

}  // namespace
}  // namespace orvane
