// DEM raw grids, their headers, ReadRaw and the opening of a DEM.
#include "core/terrain/dem_file.h"

#include <cstring>
#include <filesystem>

#include <gtest/gtest.h>

#include "support/files.h"

namespace orvane {
namespace {

std::string Le16(std::initializer_list<int> values) {
  std::string bytes;
  for (int v : values) {
    bytes += static_cast<char>(v & 0xFF);
    bytes += static_cast<char>((v >> 8) & 0xFF);
  }
  return bytes;
}

std::string Le32(std::initializer_list<std::int32_t> values) {
  std::string bytes;
  for (std::int32_t v : values) {
    char b[4];
    std::memcpy(b, &v, 4);
    bytes.append(b, 4);
  }
  return bytes;
}

TEST(DemFile, HeaderPathReplacesTheExtension) {
  EXPECT_EQ(HeaderPathFor("site_m2.raw"), "site_m2.txt");
  EXPECT_EQ(HeaderPathFor("/d/a.b/site_m4.raw"), "/d/a.b/site_m4.txt");
  EXPECT_EQ(HeaderPathFor("/d/a.b/noext"), "/d/a.b/noext.txt");
  EXPECT_EQ(HeaderPathFor("net.raw.raw"), "net.raw.txt");
}

TEST(DemFile, HeaderReadsTwoIntegersAndIgnoresTheRest) {
  TempDir dir;
  const std::string path = dir.File("h.txt");
  for (const char* text : {"3 5", "3\n5\n", "  3\t 5 1 0 255 90\r\n", "3 5junk"}) {
    WriteAll(path, text);
    auto header = ReadDemHeader(path);
    ASSERT_TRUE(header) << text << ": " << header.error().message;
    EXPECT_EQ(header->lines, 3);
    EXPECT_EQ(header->columns, 5);
  }
}

TEST(DemFile, BadHeadersAreExplained) {
  TempDir dir;
  const std::string path = dir.File("bad.txt");
  auto missing = ReadDemHeader(dir.File("none.txt"));
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.error().code, kCannotOpen);
  EXPECT_NE(missing.error().message.find("none.txt"), std::string::npos);
  EXPECT_NE(missing.error().message.find("No such file"), std::string::npos);

  const std::pair<const char*, const char*> cases[] = {
      {"", "two integers"},
      {"344", "two integers"},
      {"lines 344 403", "two integers"},
      {"344,403", "two integers"},
      {"0 403", "lines 0"},
      {"-4 403", "lines -4"},
      {"344 -1", "columns -1"},
      {"40000 10", "lines 40000"},
      {"10 99999999999999999999", "columns"},
  };
  for (const auto& [text, expected] : cases) {
    WriteAll(path, text);
    auto header = ReadDemHeader(path);
    ASSERT_FALSE(header) << text;
    EXPECT_EQ(header.error().code, kWrongFormat);
    EXPECT_NE(header.error().message.find("bad.txt"), std::string::npos) << header.error().message;
    EXPECT_NE(header.error().message.find(expected), std::string::npos) << header.error().message;
  }
}

TEST(DemFile, SixteenBitValuesAreWidenedWithoutSign) {
  TempDir dir;
  const std::string path = dir.File("g_m2.raw");
  WriteAll(path, Le16({65535, 0, 1, 300, 2, 3}) + "extra bytes are ignored");
  auto scan = ScanDemFile(path, 2, 3, 2);
  ASSERT_TRUE(scan) << scan.error().message;
  EXPECT_EQ(scan->values, (std::vector<std::int32_t>{65535, 0, 1, 300, 2, 3}));
  EXPECT_EQ(scan->minValue, 0);
  EXPECT_EQ(scan->maxValue, 65535);
  EXPECT_EQ(scan->fileLength, 12 + 23);
}

TEST(DemFile, ThirtyTwoBitValuesAreSigned) {
  TempDir dir;
  const std::string path = dir.File("g_m4.raw");
  WriteAll(path, Le32({-5, 7, 2000000}));
  auto scan = ScanDemFile(path, 1, 3, 4);
  ASSERT_TRUE(scan);
  EXPECT_EQ(scan->values, (std::vector<std::int32_t>{-5, 7, 2000000}));
  EXPECT_EQ(scan->minValue, -5);
  EXPECT_EQ(scan->maxValue, 2000000);
}

TEST(DemFile, ScanStartValuesShowThroughForExtremeGrids) {
  TempDir dir;
  const std::string path = dir.File("neg_m4.raw");
  WriteAll(path, Le32({-10, -20, 2000000, 3000000}));
  auto negative = ScanDemFile(path, 1, 2, 4);
  ASSERT_TRUE(negative);
  EXPECT_EQ(negative->maxValue, 0);  // the scan starts from 0
  WriteAll(path, Le32({2000000, 3000000}));
  auto high = ScanDemFile(path, 1, 2, 4);
  ASSERT_TRUE(high);
  EXPECT_EQ(high->minValue, 1000000);  // and from 1000000
}

TEST(DemFile, ScanRefusesShortFilesAndBadWidths) {
  TempDir dir;
  const std::string path = dir.File("s_m2.raw");
  WriteAll(path, std::string(29, '\0'));
  auto shortScan = ScanDemFile(path, 3, 5, 2);  // needs 30 bytes
  ASSERT_FALSE(shortScan);
  EXPECT_EQ(shortScan.error().code, kWrongFormat);
  EXPECT_NE(shortScan.error().message.find("29 bytes"), std::string::npos) << shortScan.error().message;
  EXPECT_NE(shortScan.error().message.find("s_m2.raw"), std::string::npos);
  WriteAll(path, std::string(30, '\0'));
  EXPECT_TRUE(ScanDemFile(path, 3, 5, 2));
  EXPECT_FALSE(ScanDemFile(path, 3, 5, 4));  // 60 needed
  EXPECT_EQ(ScanDemFile(path, 3, 5, 3).error().code, kBadParameter);
  EXPECT_EQ(ScanDemFile(path, 0, 5, 2).error().code, kWrongFormat);
  // Sizes whose product overflows 32 bits are refused by the file length, not allocated.
  EXPECT_EQ(ScanDemFile(path, 32767, 32767, 4).error().code, kWrongFormat);
  EXPECT_EQ(ScanDemFile(dir.File("absent.raw"), 1, 1, 2).error().code, kCannotOpen);
}

TEST(DemFile, LoadWritesTheWorkFileAndBuildsTheDescriptiveBlock) {
  TempDir dir;
  DemFileScan scan;
  scan.lines = 2;
  scan.columns = 2;
  scan.values = {65535, -3, 0, 12};
  scan.minValue = -3;
  scan.maxValue = 65535;
  DemOpenOptions options;
  options.unitFactor = 10;
  options.pixelSizeMetres = 30;
  options.workDirectory = dir.File("work/sub");  // created on demand
  auto model = LoadScannedDem(scan, options);
  ASSERT_TRUE(model) << model.error().message;
  const TDemModel& m = **model;
  EXPECT_EQ(m.elementType, kDemInt32);
  EXPECT_EQ(m.lines, 2);
  EXPECT_EQ(m.columns, 2);
  EXPECT_EQ(m.pixelSizeX, 300.0f);
  EXPECT_EQ(m.pixelSizeY, 300.0f);
  EXPECT_EQ(m.scale, 1.0f);
  EXPECT_EQ(m.offset, 0.0f);
  EXPECT_EQ(m.authorName, "Anonyme");
  EXPECT_EQ(m.producerText, DemSignatureLine());
  EXPECT_EQ(m.producerText.back(), '\n');
  EXPECT_EQ(m.minElevation, -3.0f);
  EXPECT_EQ(m.maxElevation, 65535.0f);
  EXPECT_EQ(m.Int32Row(0)[0], 65535);
  EXPECT_EQ(m.Int32Row(0)[1], -3);
  EXPECT_EQ(m.Int32Row(1)[1], 12);
  EXPECT_EQ(ReadAll(dir.File("work/sub/orvane.raw")), Le32({65535, -3, 0, 12}));
}

TEST(DemFile, LoadWithoutTheWorkFileGivesTheSameModelAndWritesNothing) {
  TempDir dir;
  DemFileScan scan;
  scan.lines = 3;
  scan.columns = 2;
  scan.values = {7, -40, 2000000000, 0, -2000000000, 5};
  DemOpenOptions options;
  options.unitFactor = 100;
  options.pixelSizeMetres = 12.5;
  options.workDirectory = dir.File("written");
  auto viaFile = LoadScannedDem(scan, options);
  ASSERT_TRUE(viaFile);
  options.workDirectory = dir.File("never");
  options.writeWorkFile = false;
  DemFileScan moved = scan;
  auto direct = LoadScannedDem(std::move(moved), options);
  ASSERT_TRUE(direct) << direct.error().message;
  const TDemModel& a = **viaFile;
  const TDemModel& b = **direct;
  EXPECT_EQ(b.elementType, a.elementType);
  EXPECT_EQ(b.elementSize, a.elementSize);
  EXPECT_EQ(b.pixelSizeX, a.pixelSizeX);
  EXPECT_EQ(b.minElevation, a.minElevation);
  EXPECT_EQ(b.maxElevation, a.maxElevation);
  EXPECT_EQ(b.minElevation, -2000000000.0f);
  EXPECT_EQ(b.producerText, a.producerText);
  EXPECT_EQ(b.authorName, a.authorName);
  for (int l = 0; l < 3; ++l)
    for (int c = 0; c < 2; ++c) EXPECT_EQ(b.GetElevation(c, l), a.GetElevation(c, l));
  EXPECT_FALSE(std::filesystem::exists(dir.File("never")));
  // The same checks refuse a bad scan on both paths.
  DemFileScan shortScan = scan;
  shortScan.values.pop_back();
  EXPECT_EQ(LoadScannedDem(std::move(shortScan), options).error().code, kBadParameter);
}

TEST(DemFile, LoadRefusesInconsistentScans) {
  TempDir dir;
  DemFileScan scan;
  scan.lines = 2;
  scan.columns = 2;
  scan.values = {1, 2, 3};
  DemOpenOptions options;
  options.workDirectory = dir.path();
  EXPECT_EQ(LoadScannedDem(scan, options).error().code, kBadParameter);
  scan.values.push_back(4);
  options.pixelSizeMetres = 0.0;
  EXPECT_EQ(LoadScannedDem(scan, options).error().code, kBadParameter);
  options.pixelSizeMetres = 1.0;
  options.workDirectory = "/proc/no-such-place";
  auto failed = LoadScannedDem(scan, options);
  ASSERT_FALSE(failed);
  EXPECT_NE(failed.error().message.find("/proc/no-such-place"), std::string::npos);
}

TEST(DemFile, OpenTheSampleDem) {
  TempDir dir;
  DemOpenOptions options;
  options.pixelSizeMetres = 90;
  options.workDirectory = dir.path();
  auto model = OpenDemFile(std::string(ORVANE_SAMPLE_DIR) + "/jacksboro_m2.raw", 2, options);
  ASSERT_TRUE(model) << model.error().message;
  EXPECT_EQ((*model)->lines, 344);
  EXPECT_EQ((*model)->columns, 403);
  EXPECT_EQ((*model)->minElevation, 236.0f);
  EXPECT_EQ((*model)->maxElevation, 1076.0f);
  EXPECT_EQ((*model)->pixelSizeX, 90.0f);
}

TEST(DemFile, OpenTakesTheGivenSizeOverAMissingHeader) {
  TempDir dir;
  const std::string path = dir.File("nohdr_m2.raw");
  WriteAll(path, Le16({1, 2, 3, 4, 5, 6}));
  DemOpenOptions options;
  options.workDirectory = dir.path();
  EXPECT_EQ(OpenDemFile(path, 2, options).error().code, kCannotOpen);
  auto model = OpenDemFile(path, 2, options, 3, 2);
  ASSERT_TRUE(model);
  EXPECT_EQ((*model)->GetElevation(1, 2), 6.0);
}

TEST(ReadRaw, ErrorsAndOffset) {
  TempDir dir;
  const std::string path = dir.File("g.raw");
  WriteAll(path, "HDR" + Le32({1, 2, 3, 4, 5, 6}));
  TDemDescriptor block;
  block.lines = 2;
  block.columns = 3;
  block.elementType = kDemInt32;
  block.offset = 50.0f;  // the reader sets the offset to 0
  block.pixelSizeX = 7.0f;
  TDemModel m;
  ASSERT_TRUE(m.ReadRaw(path, block, 3));
  EXPECT_EQ(m.offset, 0.0f);
  EXPECT_EQ(m.pixelSizeX, 7.0f);
  EXPECT_DOUBLE_EQ(m.GetElevation(2, 1), 6.0);
  EXPECT_EQ(m.minElevation, 1.0f);
  EXPECT_EQ(m.maxElevation, 6.0f);

  TDemDescriptor taller = block;
  taller.lines = 3;
  const std::string absent = dir.File("absent.raw");
  const struct {
    std::string path;
    const TDemDescriptor& block;
    std::int64_t offset;
    int code;
    std::string message;
  } refusals[] = {
      {path, block, 4, kWrongFormat, "'" + path + "' is shorter than its announced grid"},
      {path, taller, 0, kWrongFormat, "'" + path + "' is shorter than its announced grid"},
      {absent, block, 0, kOutsideOrShortRead, "cannot read '" + absent + "'"},
      {path, block, -1, kCannotOpen, "cannot position in '" + path + "'"},
  };
  for (const auto& r : refusals) {
    const Status s = m.ReadRaw(r.path, r.block, r.offset);
    EXPECT_EQ(s.code(), r.code) << r.message;
    EXPECT_EQ(s.message(), r.message);
    // A refused read leaves the model as it was.
    EXPECT_EQ(m.lines, 2);
    EXPECT_DOUBLE_EQ(m.GetElevation(2, 1), 6.0);
  }

  block.lines = 1;
  block.columns = 2;
  block.elementType = kDemInt16;
  ASSERT_TRUE(m.ReadRaw(path, block, 3));
  EXPECT_EQ(m.elementSize, 2);
  EXPECT_DOUBLE_EQ(m.GetElevation(1, 0), 0.0);  // high half of the first int32
}

}  // namespace
}  // namespace orvane
