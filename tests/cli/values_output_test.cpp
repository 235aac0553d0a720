// --values, --stats and --json: the real-valued results of the treatments as data.
#include <gdal.h>
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstring>
#include <filesystem>

#include "cli/command.h"
#include "core/surface/circular_window.h"
#include "support/sample_dem.h"
#include "support/gdal_rasters.h"
#include "support/cli_run.h"

namespace orvane::cli {
namespace {

// Band 1 of a Float32 GeoTIFF, with its NoData flag.
std::vector<float> ReadFloatBand(const std::string& path, int& columns, int& lines, bool& nanNoData) {
  testing::RegisterGdal();
  GDALDatasetH dataset = GDALOpen(path.c_str(), GA_ReadOnly);
  if (!dataset) return {};
  GDALRasterBandH band = GDALGetRasterBand(dataset, 1);
  columns = GDALGetRasterXSize(dataset);
  lines = GDALGetRasterYSize(dataset);
  int has = 0;
  nanNoData = std::isnan(GDALGetRasterNoDataValue(band, &has)) && has &&
              GDALGetRasterDataType(band) == GDT_Float32;
  std::vector<float> values(static_cast<std::size_t>(columns) * lines);
  if (GDALRasterIO(band, GF_Read, 0, 0, columns, lines, values.data(), columns, lines,
                   GDT_Float32, 0, 0) != CE_None)
    values.clear();
  GDALClose(dataset);
  return values;
}

TEST(ValuesOutput, MisuseIsAUsageErrorNamingTheReason) {
  TempDir dir;
  const struct {
    std::vector<std::string> args;
    const char* message;
  } cases[] = {
      {OnSample({"slope", "--values", dir.File("s.png")}), "must end in .tif or .tiff"},
      {OnSample({"total-depth", "--window", "5"}), "--out is required (or --values or --stats)"},
      {OnSample({"total-depth", "--window", "5", "--out", dir.File("d.raw")}),
       "a colour image can only be saved as .bmp"},
  };
  for (const auto& c : cases) {
    const CliRun run = Cli(c.args);
    EXPECT_EQ(run.status, kExitUsage) << c.message;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
  }
  EXPECT_EQ(FileCount(dir.path()), 0);
}

TEST(ValuesOutput, GeoTiffHoldsTheValuesWithNoDataWhereNoWindowReaches) {
  TempDir dir;
  // The circular mean of radius 3 in metres: NaN on the three-cell margin, elevations inside.
  const CliRun run = Cli(OnSample({"circular", "--stat", "1", "--radius", "3", "--values",
                                dir.File("mean.tif"), "--stats", "--json"}));
  ASSERT_EQ(run.status, kExitOk) << run.err;
  int columns = 0, lines = 0;
  bool nanNoData = false;
  const std::vector<float> values = ReadFloatBand(dir.File("mean.tif"), columns, lines, nanNoData);
  ASSERT_EQ(columns, 403);
  ASSERT_EQ(lines, 344);
  EXPECT_TRUE(nanNoData);
  std::int64_t valid = 0;
  for (int l = 0; l < lines; ++l) {
    for (int c = 0; c < columns; ++c) {
      const float v = values[static_cast<std::size_t>(l) * columns + c];
      const bool inside = l >= 3 && l < lines - 3 && c >= 3 && c < columns - 3;
      ASSERT_EQ(!std::isnan(v), inside) << l << "," << c;
      if (inside) {
        ++valid;
        ASSERT_TRUE(v >= 236 && v <= 1076) << v;
      }
    }
  }
  EXPECT_NE(run.out.find("{\"values\": {\"count\": " + std::to_string(valid) + ", \"nodata\": " +
                        std::to_string(static_cast<std::int64_t>(columns) * lines - valid) +
                        ", \"min\": "),
            std::string::npos)
      << run.out;
  // The same call, the DEM's heights stored in decimetres: the values stay in metres.
  EXPECT_EQ(Cli(OnSample({"circular", "--unit", "dm", "--stat", "1", "--radius", "3", "--values",
                          dir.File("dm.tif")}))
                .status,
            kExitOk);
  const std::vector<float> decimetres = ReadFloatBand(dir.File("dm.tif"), columns, lines, nanNoData);
  ASSERT_EQ(decimetres.size(), values.size());
  const std::size_t centre = static_cast<std::size_t>(170) * columns + 200;
  EXPECT_NEAR(decimetres[centre], values[centre] / 10.0, 0.1);
}

TEST(ValuesOutput, CircularStatisticsOfAVoidedFloatDemAreRealAndTakenOverTheGround) {
  // The sample as Float32 metres with a void of 4000 cells (NoData -9999): the mean of radius 3
  // is NaN on the void, and beside it the real mean of the disc's ground cells.
  TempDir dir;
  const auto sample = orvane::testing::LoadSampleDem();
  ASSERT_NE(sample, nullptr);
  testing::TestRaster voided;
  voided.columns = sample->columns;
  voided.lines = sample->lines;
  voided.noData = -9999.0;
  voided.transform = std::array<double, 6>{500000.0, 90.0, 0.0, 3700000.0, 0.0, -90.0};
  voided.epsg = 32614;
  const auto inVoid = [](int c, int l) { return l >= 100 && l < 140 && c >= 150 && c < 250; };
  for (int l = 0; l < voided.lines; ++l)
    for (int c = 0; c < voided.columns; ++c)
      voided.values.push_back(inVoid(c, l) ? -9999.0 : sample->GetElevation(c, l));
  ASSERT_TRUE(testing::WriteTestGeoTiff(dir.File("void.tif"), voided));
  const CliRun run = Cli({"circular", "--dem", dir.File("void.tif"), "--stat", "1", "--radius", "3",
                          "--values", dir.File("mean.tif"), "--stats"});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  int columns = 0, lines = 0;
  bool nanNoData = false;
  const std::vector<float> values = ReadFloatBand(dir.File("mean.tif"), columns, lines, nanNoData);
  ASSERT_EQ(values.size(), voided.values.size());
  const std::vector<std::uint8_t> disc = CircularDisc(3);
  int fractional = 0;
  for (int l = 3; l < lines - 3; ++l)
    for (int c = 3; c < columns - 3; ++c) {
      const float v = values[static_cast<std::size_t>(l) * columns + c];
      if (inVoid(c, l)) {
        ASSERT_TRUE(std::isnan(v)) << c << "," << l;
        continue;
      }
      double sum = 0.0;
      int n = 0;
      for (int i = 0; i < 7; ++i)
        for (int j = 0; j < 7; ++j)
          if (disc[static_cast<std::size_t>(i) * 7 + j] && !inVoid(c - 3 + j, l - 3 + i)) {
            sum += sample->GetElevation(c - 3 + j, l - 3 + i);
            ++n;
          }
      ASSERT_NEAR(v, sum / n, 1e-3) << c << "," << l;
      fractional += std::fabs(v - std::round(v)) > 0.01;
    }
  EXPECT_GT(fractional, 100000);  // not whole metres
  // The margin and the void, nothing more.
  const std::int64_t without = static_cast<std::int64_t>(columns) * lines - (columns - 6) * (lines - 6) + 4000;
  EXPECT_NE(run.out.find("values.nodata=" + std::to_string(without) + "\n"), std::string::npos) << run.out;
}

TEST(ValuesOutput, AFailedWriteLeavesNoFile) {
  TempDir dir;
  const std::string target = dir.File("missing/s.tif");
  const CliRun run = Cli(OnSample({"slope", "--values", target}));
  EXPECT_EQ(run.status, kExitFailure);
  EXPECT_FALSE(std::filesystem::exists(target));
  EXPECT_EQ(FileCount(dir.path()), 0);
}

// GDAL's name of a GeoTIFF's compression and predictor ("" when none).
std::string ImageStructure(const std::string& path, const char* item) {
  GDALDatasetH dataset = GDALOpen(path.c_str(), GA_ReadOnly);
  if (!dataset) return "unreadable";
  const char* value = GDALGetMetadataItem(dataset, item, "IMAGE_STRUCTURE");
  std::string text = value ? value : "";
  GDALClose(dataset);
  return text;
}

TEST(ValuesOutput, EveryCompressionHoldsTheSameCellsAndItsWritingIsTimedAsWriting) {
  TempDir dir;
  // A colour picture goes through the three-band path; its BMP is the reference.
  const std::vector<std::string> colour = {"total-depth", "--window", "5", "--out"};
  auto bmpArgs = colour;
  bmpArgs.push_back(dir.File("depth.bmp"));
  ASSERT_EQ(Cli(OnSample(bmpArgs)).status, kExitOk);
  const testing::ReadBack bmp = testing::ReadTestRaster(dir.File("depth.bmp"));
  ASSERT_EQ(bmp.bands, 3);
  std::vector<float> first;
  for (const char* name : {"deflate", "zstd", "lzw", "none"}) {
    const std::string values = dir.File(std::string(name) + ".tif");
    const std::string picture = dir.File(std::string(name) + "_depth.tif");
    const CliRun run = Cli(OnSample({"slope", "--values", values, "--compress", name, "--timing"}));
    ASSERT_EQ(run.status, kExitOk) << run.err;
    double read = -1, compute = -1, write = -1;
    ASSERT_EQ(std::sscanf(run.err.c_str(), "timing: read %lf s, compute %lf s, write %lf s",
                          &read, &compute, &write), 3) << run.err;
    EXPECT_GE(write, 0.001) << "the GeoTIFF's writing counted as computing: " << run.err;
    auto pictureArgs = colour;
    for (const std::string& word : {picture, std::string("--compress"), std::string(name)})
      pictureArgs.push_back(word);
    ASSERT_EQ(Cli(OnSample(pictureArgs)).status, kExitOk) << name;

    int columns = 0, lines = 0;
    bool nanNoData = false;
    const std::vector<float> cells = ReadFloatBand(values, columns, lines, nanNoData);
    ASSERT_EQ(cells.size(), 403u * 344u) << name;
    if (first.empty()) first = cells;
    EXPECT_EQ(std::memcmp(cells.data(), first.data(), cells.size() * sizeof(float)), 0) << name;
    const testing::ReadBack tif = testing::ReadTestRaster(picture);
    EXPECT_EQ(tif.values, bmp.values) << name;
    const bool none = std::string(name) == "none";
    std::string upper(name);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(ImageStructure(values, "COMPRESSION"), none ? "" : upper);
    EXPECT_EQ(ImageStructure(picture, "COMPRESSION"), none ? "" : upper);
    EXPECT_EQ(ImageStructure(values, "PREDICTOR"), none ? "" : "3");
  }
  const CliRun wrong =
      Cli(OnSample({"slope", "--values", dir.File("x.tif"), "--compress", "jpeg"}));
  EXPECT_EQ(wrong.status, kExitUsage);
  EXPECT_NE(wrong.err.find("--compress"), std::string::npos) << wrong.err;
}

TEST(ValuesOutput, AGeoTiffReadInBandsGivesTheWholeGridsValues) {
  // Wide enough for bands of 256 lines: NoData across a band's edge, a band of NoData alone,
  // a south-up raster of whole numbers. --stats reads the whole grid at once: the reference.
  TempDir dir;
  testing::TestRaster north;
  north.columns = 4100;
  north.lines = 600;
  north.transform = std::array<double, 6>{500000.0, 30.0, 0.0, 3600000.0, 0.0, -30.0};
  north.epsg = 32614;
  north.noData = -9999.0;
  for (int l = 0; l < north.lines; ++l)
    for (int c = 0; c < north.columns; ++c) {
      const bool hole = (l >= 250 && l < 262 && c % 7 < 3) || l >= 520;
      const double ground =
          300.0 + 40.0 * std::sin(c * 0.01) * std::cos(l * 0.013) + 0.37 * (c % 5);
      north.values.push_back(hole ? -9999.0 : ground);
    }
  testing::TestRaster south = north;
  south.type = GDT_Int16;
  south.transform = std::array<double, 6>{500000.0, 30.0, 0.0, 3582000.0, 0.0, 30.0};
  ASSERT_TRUE(testing::WriteTestGeoTiff(dir.File("north.tif"), north));
  ASSERT_TRUE(testing::WriteTestGeoTiff(dir.File("south.tif"), south));
  const struct {
    const char* dem;
    std::vector<std::string> treatment;
    int noDataLine;  // a line of the band of NoData alone, from the north
  } cases[] = {{"north.tif", {"slope"}, 560},
               {"north.tif", {"convexity", "--range", "3"}, 560},
               {"south.tif", {"slope"}, 39}};
  for (const auto& [dem, treatment, noDataLine] : cases) {
    SCOPED_TRACE(std::string(dem) + " " + treatment[0]);
    auto args = treatment;
    for (const std::string& word : {std::string("--dem"), dir.File(dem), std::string("--values")})
      args.push_back(word);
    auto banded = args, whole = args;
    banded.push_back(dir.File("banded.tif"));
    whole.push_back(dir.File("whole.tif"));
    whole.push_back("--stats");
    const CliRun run = Cli(banded);
    ASSERT_EQ(run.status, kExitOk) << run.err;
    ASSERT_EQ(Cli(whole).status, kExitOk);
    int columns = 0, lines = 0;
    bool nanNoData = false;
    const std::vector<float> a = ReadFloatBand(dir.File("banded.tif"), columns, lines, nanNoData);
    const std::vector<float> b = ReadFloatBand(dir.File("whole.tif"), columns, lines, nanNoData);
    ASSERT_EQ(a.size(), 4100u * 600u);
    ASSERT_EQ(a.size(), b.size());
    EXPECT_EQ(std::memcmp(a.data(), b.data(), a.size() * sizeof(float)), 0);
    EXPECT_TRUE(std::isnan(a[static_cast<std::size_t>(noDataLine) * 4100 + 9]));
  }
  // Nothing but NoData: refused as a whole grid is, and no file is left.
  testing::TestRaster empty = north;
  std::fill(empty.values.begin(), empty.values.end(), -9999.0);
  ASSERT_TRUE(testing::WriteTestGeoTiff(dir.File("empty.tif"), empty));
  const CliRun none = Cli({"slope", "--dem", dir.File("empty.tif"), "--values", dir.File("e.tif")});
  EXPECT_EQ(none.status, kExitFailure);
  EXPECT_NE(none.err.find("every cell is NoData"), std::string::npos) << none.err;
  EXPECT_FALSE(std::filesystem::exists(dir.File("e.tif")));
}

TEST(JsonOutput, KeyValueLinesBecomeOneObject) {
  const struct {
    const char* lines;
    const char* json;
  } cases[] = {
      {"lines=344\nunit=m\nD=3.10\n", "{\"lines\": 344, \"unit\": \"m\", \"D\": 3.10}\n"},
      {"min=1\nvalues.count=4\nvalues.max=2.5\n",
       "{\"min\": 1, \"values\": {\"count\": 4, \"max\": 2.5}}\n"},
      {"k=1\nk=2\nname=a \"b\"\n", "{\"k\": [1, 2], \"name\": \"a \\\"b\\\"\"}\n"},
      {"x=nan\ny=0x10\nz=007\n", "{\"x\": \"nan\", \"y\": \"0x10\", \"z\": \"007\"}\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(KeyValuesToJson(c.lines), c.json) << c.lines;
}

}  // namespace
}  // namespace orvane::cli
