#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "core/exchange/ilwis_export.h"
#include "core/exchange/ilwis_import.h"
#include "support/dems.h"
#include "support/files.h"

namespace orvane {
namespace {

namespace fs = std::filesystem;

class IlwisTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return dir.File(name); }
  template <class T>
  static std::string Bytes(const std::vector<T>& values) {
    std::string out(values.size() * sizeof(T), '\0');
    std::memcpy(out.data(), values.data(), out.size());
    return out;
  }

  TempDir dir;
};

TEST_F(IlwisTest, ExportWritesTheFourFilesWithTheirSizesAndValues) {
  const double heights[2][3] = {{1234.9, 20, 0}, {-7.5, 5, 99}};
  // Float model so fractional elevations reach the exporter unchanged.
  TDemModel real(3, 2, kDemFloat64);
  for (int l = 0; l < 2; ++l)
    for (int c = 0; c < 3; ++c) real.SetElevation(c, l, heights[l][c]);

  IlwisExportParams params;
  params.folder = dir.path();
  params.name = "site";
  params.xMin = 500000;
  params.yMin = 4000000;
  params.xMax = 500300;
  params.yMax = 4000200;
  params.unitDivisor = 1;
  auto result = ExportIlwis(real, params);
  ASSERT_TRUE(result) << result.error().message;

  const std::string data = ReadAll(Path("site.mp#"));
  ASSERT_EQ(data.size(), 48u);
  double first, fourth;
  std::memcpy(&first, data.data(), 8);
  std::memcpy(&fourth, data.data() + 24, 8);
  EXPECT_EQ(first, 1234.0);
  EXPECT_EQ(fourth, -7.0);
  EXPECT_EQ(result->minValue, -7);
  EXPECT_EQ(result->maxValue, 1234);

  const std::string grf = ReadAll(Path("site.grf"));
  EXPECT_NE(grf.find("Lines=2\r\nColumns=3\r\n"), std::string::npos);
  EXPECT_NE(grf.find("MinX=500000.000000\r\nMinY=4000000.000000\r\n"), std::string::npos);
  EXPECT_NE(grf.find("Type=GeoRef\r\n\r\n[GeoRef]"), std::string::npos);
  EXPECT_EQ(grf.find("\n\n"), std::string::npos) << "every line end is CR LF";

  const std::string mpr = ReadAll(Path("site.mpr"));
  EXPECT_NE(mpr.find("Size=2 3\r\n"), std::string::npos);
  EXPECT_NE(mpr.find("RowLength=3\r\n"), std::string::npos);
  EXPECT_NE(mpr.find("MinMax=-7:1234\r\nPerc1=-17:1214\r\n\r\n"), std::string::npos);
  EXPECT_NE(mpr.find("Data='site'.mp#\r\n"), std::string::npos);
  EXPECT_NE(mpr.find("CoordBounds=500000.000000 4000000.000000 500300.000000 4000200.000000"),
            std::string::npos);

  const std::string dom = ReadAll(Path("site.dom"));
  EXPECT_EQ(dom.substr(0, 9), "[Ilwis]\r\n");
  EXPECT_NE(dom.find("Step=0.1\r\n"), std::string::npos);
}

TEST_F(IlwisTest, ExportDividesTruncatedElevationsByTheUnit) {
  EXPECT_EQ(IlwisExportValue(1234.9, 10), 123);
  EXPECT_EQ(IlwisExportValue(1234.9, 1), 1234);
  EXPECT_EQ(IlwisExportValue(-7.5, 1), -7);
  EXPECT_EQ(IlwisExportValue(-1239.0, 100), -12);
}

TEST_F(IlwisTest, ExportReportsAFileThatCannotBeWritten) {
  TDemModel dem(2, 2, kDemInt32);
  IlwisExportParams params;
  params.folder = Path("missing/dir");
  params.name = "x";
  auto result = ExportIlwis(dem, params);
  ASSERT_FALSE(result);
  EXPECT_NE(result.error().message.find("x.mp#"), std::string::npos);
}

TEST_F(IlwisTest, ExportThenImportGivesTheSameElevations) {
  auto dem = testing::RandomDem(37, 23, 7, {.lo = -300, .hi = 3699, .step = 0});
  IlwisExportParams params;
  params.folder = dir.path();
  params.name = "round";
  ASSERT_TRUE(ExportIlwis(*dem, params));

  IlwisImportParams import;
  import.mprPath = Path("round.mpr");
  import.type = IlwisElementType::kDouble;
  import.outputName = Path("back");
  auto result = ImportIlwis(import);
  ASSERT_TRUE(result) << result.error().message;
  EXPECT_EQ(result->info.lines, 23);
  EXPECT_EQ(result->info.columns, 37);
  EXPECT_EQ(result->info.elementSize, 8);
  const std::string raw = ReadAll(Path("back_m4.raw"));
  ASSERT_EQ(raw.size(), 23u * 37u * 4u);
  for (int l = 0; l < dem->lines; ++l) {
    for (int c = 0; c < dem->columns; ++c) {
      std::int32_t v;
      std::memcpy(&v, raw.data() + (static_cast<std::size_t>(l) * 37 + c) * 4, 4);
      ASSERT_EQ(v, dem->Int32Row(l)[c]) << l << "," << c;
    }
  }
  const std::string header = ReadAll(Path("back_m4.txt"));
  EXPECT_EQ(header.substr(0, 11), "23\r\n37\r\n8\r\n");
}

TEST_F(IlwisTest, ImportConvertsEachElementType) {
  WriteAll(Path("m.mpr"), "[Map]\r\nGeoRef='m'.grf\r\nSize=1 4\r\nType=MapVirtual\r\n");
  struct Case {
    IlwisElementType type;
    std::string data;
    std::vector<std::int32_t> expected;
  };
  const std::vector<Case> cases = {
      {IlwisElementType::kUnsignedShort, Bytes<std::uint16_t>({65535, 0, 7, 300}), {65535, 0, 7, 300}},
      {IlwisElementType::kInteger, Bytes<std::int32_t>({-5, 70000, 0, 1}), {-5, 70000, 0, 1}},
      {IlwisElementType::kFloat, Bytes<float>({-2.7f, 2.7f, 0.5f, 1e12f}), {-2, 2, 0, 2147483647}},
      {IlwisElementType::kDouble, Bytes<double>({-2.7, 2.7, -0.2, 9.99}), {-2, 2, 0, 9}},
  };
  for (const Case& c : cases) {
    WriteAll(Path("m.mp#"), c.data);
    auto result = ImportIlwis({Path("m.mpr"), c.type, Path("out")});
    ASSERT_TRUE(result) << result.error().message;
    const std::string raw = ReadAll(Path("out_m4.raw"));
    ASSERT_EQ(raw.size(), 16u);
    std::vector<std::int32_t> values(4);
    std::memcpy(values.data(), raw.data(), 16);
    EXPECT_EQ(values, c.expected) << static_cast<int>(c.type);
  }

  WriteAll(Path("m.mp#"), std::string("\x01\xff\x00\x10", 4));
  auto bytes = ImportIlwis({Path("m.mpr"), IlwisElementType::kCharacter, Path("chars")});
  ASSERT_TRUE(bytes);
  EXPECT_EQ(ReadAll(Path("chars.raw")), std::string("\x01\xff\x00\x10", 4));
  EXPECT_EQ(ReadAll(Path("chars.txt")), "1\r\n4\r\n1\r\n0\r\n255\r\n");
}

TEST_F(IlwisTest, ImportSizeParsingKeepsAllDigitsAndRefusesBadMaps) {
  WriteAll(Path("big.mpr"), "Description='Some Site'.mps\nSize=12345 2\n");
  WriteAll(Path("big.mp#"), std::string(12345 * 2 * 2, '\0'));
  auto info = ReadIlwisMapInfo(Path("big.mpr"));
  ASSERT_TRUE(info) << info.error().message;
  EXPECT_EQ(info->lines, 12345);
  EXPECT_EQ(info->columns, 2);
  EXPECT_EQ(info->elementSize, 2);

  WriteAll(Path("nosize.mpr"), "[Ilwis]\nType=Map\n");
  EXPECT_FALSE(ReadIlwisMapInfo(Path("nosize.mpr")));
  WriteAll(Path("zero.mpr"), "Size=0 5\n");
  WriteAll(Path("zero.mp#"), "abc");
  EXPECT_FALSE(ReadIlwisMapInfo(Path("zero.mpr")));
  EXPECT_FALSE(ReadIlwisMapInfo(Path("absent.mpr")));

  WriteAll(Path("short.mpr"), "Size=4 4\n");
  WriteAll(Path("short.mp#"), std::string(40, '\0'));
  auto shortImport = ImportIlwis({Path("short.mpr"), IlwisElementType::kInteger, Path("s")});
  ASSERT_FALSE(shortImport);
  EXPECT_NE(shortImport.error().message.find("short.mp#"), std::string::npos);
  EXPECT_FALSE(fs::exists(Path("s_m4.raw")));

  auto unchosen = ImportIlwis({Path("short.mpr"), IlwisElementType::kNone, Path("s")});
  ASSERT_FALSE(unchosen);
  EXPECT_EQ(unchosen.error().message, "Check the Format");

  WriteAll(Path("odd.mpr"), "Size=2 2\n");
  WriteAll(Path("odd.mp#"), std::string(9, '\x01'));
  auto odd = ImportIlwis({Path("odd.mpr"), IlwisElementType::kUnsignedShort, Path("o")});
  ASSERT_TRUE(odd);
  EXPECT_FALSE(odd->warning.empty());
}

}  // namespace
}  // namespace orvane
