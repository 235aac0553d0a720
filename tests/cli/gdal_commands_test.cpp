#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "cli/cli.h"
#include "support/gdal_rasters.h"
#include "support/cli_run.h"

namespace orvane::cli {
namespace {

using orvane::testing::ReadBack;
using orvane::testing::ReadTestRaster;
using orvane::testing::TestRaster;
using orvane::testing::WriteTestGeoTiff;

// An inclined plane with a bump, 30 m cells in UTM zone 14 north.
TestRaster Plane(int columns, int lines) {
  TestRaster r;
  r.columns = columns;
  r.lines = lines;
  r.type = GDT_Float32;
  for (int l = 0; l < lines; ++l)
    for (int c = 0; c < columns; ++c) r.values.push_back(200.0 + 3.0 * c + 7.0 * l + (c == 5 && l == 4 ? 40 : 0));
  r.transform = std::array<double, 6>{600000.0, 30.0, 0.0, 3500000.0, 0.0, -30.0};
  r.epsg = 32614;
  return r;
}

TEST(GdalCli, InfoOpensAGeoTiffWithItsPixelSizeAndTheChosenUnit) {
  TempDir dir;
  const std::string tif = dir.File("plane.tif");
  ASSERT_TRUE(WriteTestGeoTiff(tif, Plane(12, 9)));
  // Float32 without --unit: the finest unit of its range, said by info.
  CliRun chosen = Cli({"info", "--dem", tif});
  ASSERT_EQ(chosen.status, kExitOk) << chosen.err;
  EXPECT_EQ(chosen.out, "lines=9\ncolumns=12\nmin=2e+06\nmax=2890000\npixelSizeX=3e+05\n"
                        "pixelSizeY=3e+05\nunit=0.1mm\nunitChosen=0.1mm\nnodata=0\n");
  CliRun metres = Cli({"info", "--dem", tif, "--unit", "m"});
  ASSERT_EQ(metres.status, kExitOk) << metres.err;
  EXPECT_EQ(metres.out, "lines=9\ncolumns=12\nmin=200\nmax=289\npixelSizeX=30\npixelSizeY=30\n"
                        "unit=m\nnodata=0\n");
  CliRun decimetres = Cli({"info", "--dem", tif, "--unit", "dm"});
  ASSERT_EQ(decimetres.status, kExitOk) << decimetres.err;
  EXPECT_EQ(decimetres.out, "lines=9\ncolumns=12\nmin=2000\nmax=2890\npixelSizeX=300\n"
                            "pixelSizeY=300\nunit=dm\nnodata=0\n");
  // --pixel wins over the georeference.
  CliRun given = Cli({"info", "--dem", tif, "--pixel", "25"});
  EXPECT_NE(given.out.find("pixelSizeX=250000\n"), std::string::npos) << given.out;
}

TEST(GdalCli, SlopeOfAGeoTiffEqualsThatOfTheSamePlaneAsRawAndKeepsItsGeoreference) {
  TempDir dir;
  const TestRaster plane = Plane(12, 9);
  ASSERT_TRUE(WriteTestGeoTiff(dir.File("plane.tif"), plane));
  std::string raw;
  for (double v : plane.values) {
    const auto z = static_cast<std::int32_t>(v);
    raw.append(reinterpret_cast<const char*>(&z), 4);
  }
  WriteAll(dir.File("plane_m4.raw"), raw);
  WriteAll(dir.File("plane_m4.txt"), "9 12\n");

  CliRun fromTif = Cli({"slope", "--dem", dir.File("plane.tif"), "--unit", "m", "--table",
                        "gray", "--out", dir.File("slope.tif")});
  ASSERT_EQ(fromTif.status, kExitOk) << fromTif.err;
  CliRun fromRaw = Cli({"slope", "--dem", dir.File("plane_m4.raw"), "--pixel", "30", "--table",
                     "gray", "--out", dir.File("slope.raw")});
  ASSERT_EQ(fromRaw.status, kExitOk) << fromRaw.err;

  const ReadBack tif = ReadTestRaster(dir.File("slope.tif"));
  ASSERT_TRUE(tif.opened);
  EXPECT_EQ(tif.columns, 12);
  EXPECT_EQ(tif.lines, 9);
  EXPECT_EQ(tif.transform, *plane.transform);
  EXPECT_EQ(tif.utmZone, 14);
  const std::string bytes = ReadAll(dir.File("slope.raw"));
  ASSERT_EQ(bytes.size(), 12u * 9u);
  for (std::size_t i = 0; i < bytes.size(); ++i)
    ASSERT_EQ(tif.values[0][i], static_cast<unsigned char>(bytes[i])) << i;

  // A colour slope is written as three bands.
  CliRun colour = Cli({"slope", "--dem", dir.File("plane.tif"), "--out", dir.File("colour.tiff")});
  ASSERT_EQ(colour.status, kExitOk) << colour.err;
  EXPECT_EQ(ReadTestRaster(dir.File("colour.tiff")).bands, 3);
  // Results of a raw DEM carry no georeference.
  ASSERT_EQ(Cli({"shade", "--dem", dir.File("plane_m4.raw"), "--pixel", "30", "--out",
                 dir.File("shade.tif")}).status,
            kExitOk);
  EXPECT_FALSE(ReadTestRaster(dir.File("shade.tif")).hasTransform);
}

TEST(GdalCli, ReportsFilledCellsAndRefusesWhatItCannotUse) {
  TempDir dir;
  TestRaster holes = Plane(6, 5);
  holes.noData = -1.0;
  holes.values[3] = -1.0;
  holes.values[10] = -1.0;
  ASSERT_TRUE(WriteTestGeoTiff(dir.File("holes.tif"), holes));
  CliRun kept = Cli({"info", "--dem", dir.File("holes.tif")});
  ASSERT_EQ(kept.status, kExitOk) << kept.err;
  EXPECT_NE(kept.out.find("nodata=2\n"), std::string::npos) << kept.out;
  EXPECT_EQ(kept.err, "");
  CliRun filled = Cli({"info", "--dem", dir.File("holes.tif"), "--fill-nodata"});
  ASSERT_EQ(filled.status, kExitOk) << filled.err;
  EXPECT_NE(filled.out.find("nodata=0\n"), std::string::npos) << filled.out;
  EXPECT_NE(filled.err.find("warning: 2 NoData cells"), std::string::npos) << filled.err;

  TestRaster bare = Plane(6, 5);
  bare.transform.reset();
  bare.epsg = 0;
  ASSERT_TRUE(WriteTestGeoTiff(dir.File("bare.tif"), bare));
  CliRun noPixel = Cli({"info", "--dem", dir.File("bare.tif")});
  EXPECT_EQ(noPixel.status, kExitUsage);
  EXPECT_NE(noPixel.err.find("--pixel is required"), std::string::npos);
  EXPECT_EQ(Cli({"info", "--dem", dir.File("bare.tif"), "--pixel", "10"}).status, kExitOk);

  WriteAll(dir.File("junk.tif"), "junk");
  CliRun junk = Cli({"info", "--dem", dir.File("junk.tif")});
  EXPECT_EQ(junk.status, kExitFailure);
  EXPECT_NE(junk.err.find("junk.tif"), std::string::npos);

  CliRun rawWithoutPixel = Cli({"info", "--dem", dir.File("x_m2.raw")});
  EXPECT_EQ(rawWithoutPixel.status, kExitUsage);
  EXPECT_NE(rawWithoutPixel.err.find("--pixel is required"), std::string::npos);

  CliRun badOut = Cli({"slope", "--dem", dir.File("holes.tif"), "--out", dir.File("x.png")});
  EXPECT_EQ(badOut.status, kExitUsage);
  EXPECT_NE(badOut.err.find(".tif"), std::string::npos);
}

// 1 where the cell or one of its 8 neighbours (inside the grid) is NoData.
std::vector<int> NeighbourNoData(const std::vector<bool>& noData, int columns, int lines) {
  std::vector<int> reach(noData.size(), 0);
  for (int l = 0; l < lines; ++l)
    for (int c = 0; c < columns; ++c)
      for (int dl = -1; dl <= 1; ++dl)
        for (int dc = -1; dc <= 1; ++dc) {
          const int ll = l + dl, cc = c + dc;
          if (ll >= 0 && cc >= 0 && ll < lines && cc < columns &&
              noData[static_cast<std::size_t>(ll) * columns + cc])
            reach[static_cast<std::size_t>(l) * columns + c] = 1;
        }
  return reach;
}

TEST(GdalCli, ACountrysOutlineInDegreesGivesNoSlopeOnItsNoDataAndCountsOnlyItsGround) {
  // Int16 in degrees with NoData -32768 around an elliptic country: 46 % of the cells.
  TempDir dir;
  TestRaster country;
  country.columns = 95;
  country.lines = 90;
  country.type = GDT_Int16;
  country.noData = -32768.0;
  country.transform = std::array<double, 6>{5.0, 1.0 / 1200, 0.0, 46.0, 0.0, -1.0 / 1200};
  country.epsg = 4326;
  std::vector<bool> noData;
  for (int l = 0; l < country.lines; ++l)
    for (int c = 0; c < country.columns; ++c) {
      const double u = (l - 45) / 40.0, v = (c - 47) / 37.0;
      noData.push_back(u * u + v * v >= 1.0);
      country.values.push_back(noData.back() ? -32768.0
                                             : std::trunc(200 + 50 * std::sin(c / 7.0) * std::cos(l / 5.0)));
    }
  ASSERT_TRUE(WriteTestGeoTiff(dir.File("country.tif"), country));
  CliRun run = Cli({"slope", "--dem", dir.File("country.tif"), "--table", "gray", "--values",
                    dir.File("slope.tif"), "--out", dir.File("picture.tif"), "--stats"});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  const std::vector<int> reach = NeighbourNoData(noData, country.columns, country.lines);
  const auto cells = static_cast<std::int64_t>(reach.size());
  const std::int64_t without = std::count(reach.begin(), reach.end(), 1);
  EXPECT_NEAR(static_cast<double>(std::count(noData.begin(), noData.end(), true)) / cells, 0.46, 0.01);
  EXPECT_NE(run.out.find("values.count=" + std::to_string(cells - without) + "\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("values.nodata=" + std::to_string(without) + "\n"), std::string::npos) << run.out;
  const ReadBack values = ReadTestRaster(dir.File("slope.tif"));
  const ReadBack picture = ReadTestRaster(dir.File("picture.tif"));
  ASSERT_TRUE(values.opened && picture.opened);
  // The picture's NoData level is declared and held by exactly the cells without a slope.
  orvane::testing::RegisterGdal();
  GDALDatasetH ds = GDALOpen(dir.File("picture.tif").c_str(), GA_ReadOnly);
  int hasNoData = 0;
  const double level = GDALGetRasterNoDataValue(GDALGetRasterBand(ds, 1), &hasNoData);
  GDALClose(ds);
  ASSERT_TRUE(hasNoData);
  for (std::size_t k = 0; k < reach.size(); ++k) {
    ASSERT_EQ(std::isnan(values.values[0][k]), reach[k] == 1) << k;
    ASSERT_EQ(picture.values[0][k] == level, reach[k] == 1) << k;
  }

  // The same cells filled are ground again: a slope everywhere, and the count said.
  CliRun filled = Cli({"slope", "--dem", dir.File("country.tif"), "--fill-nodata", "--stats"});
  ASSERT_EQ(filled.status, kExitOk) << filled.err;
  EXPECT_NE(filled.out.find("values.count=" + std::to_string(cells) + "\n"), std::string::npos);
  EXPECT_NE(filled.err.find("NoData cells"), std::string::npos);
}

TEST(GdalCli, ARawGridMarksItsNoDataWithTheGivenValue) {
  TempDir dir;
  std::string raw;
  for (int k = 0; k < 5 * 6; ++k) {
    const std::int32_t z = k == 14 ? -9999 : 100 + k;
    raw.append(reinterpret_cast<const char*>(&z), 4);
  }
  WriteAll(dir.File("grid_m4.raw"), raw);
  WriteAll(dir.File("grid_m4.txt"), "5 6\n");
  CliRun run = Cli({"info", "--dem", dir.File("grid_m4.raw"), "--pixel", "10", "--nodata", "-9999"});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  // The extremes are those of the ground.
  EXPECT_EQ(run.out, "lines=5\ncolumns=6\nmin=100\nmax=129\npixelSizeX=10\npixelSizeY=10\n"
                     "unit=m\nnodata=1\n");
  CliRun slope = Cli({"slope", "--dem", dir.File("grid_m4.raw"), "--pixel", "10", "--nodata",
                      "-9999", "--stats"});
  EXPECT_NE(slope.out.find("values.count=21\nvalues.nodata=9\n"), std::string::npos) << slope.out;
  // Exported, the NoData cell stays NoData.
  ASSERT_EQ(Cli({"export-geotiff", "--dem", dir.File("grid_m4.raw"), "--pixel", "10", "--nodata",
                 "-9999", "--out", dir.File("back.tif")}).status,
            kExitOk);
  const ReadBack back = ReadTestRaster(dir.File("back.tif"));
  EXPECT_EQ(back.values[0][14], std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(back.values[0][15], 115.0);
  CliRun refused = Cli({"info", "--dem", dir.File("x.tif"), "--nodata", "0"});
  EXPECT_EQ(refused.status, kExitUsage);
}

TEST(GdalCli, AShadeWithEveryGrayLevelAndNoDataStillSavesAsRaw) {
  // A steep bowl lit from the horizon shows every azimuth, so its shading takes all 256
  // levels: no level is left for the void, whose colour then turns the picture 24-bit.
  TempDir dir;
  TestRaster bowl;
  bowl.columns = bowl.lines = 300;
  bowl.noData = -9999.0;
  bowl.transform = std::array<double, 6>{500000.0, 30.0, 0.0, 3700000.0, 0.0, -30.0};
  bowl.epsg = 32614;
  for (int l = 0; l < bowl.lines; ++l)
    for (int c = 0; c < bowl.columns; ++c)
      bowl.values.push_back(l >= 10 && l < 14 && c >= 10 && c < 30 ? -9999.0
                                                                  : (l - 150.0) * (l - 150.0) + (c - 150.0) * (c - 150.0));
  ASSERT_TRUE(WriteTestGeoTiff(dir.File("bowl.tif"), bowl));
  CliRun run = Cli({"shade", "--dem", dir.File("bowl.tif"), "--elevation", "0", "--brightness", "1",
                    "--exaggeration", "1e6", "--out", dir.File("shade.raw"), "--values", dir.File("shade.tif")});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  const std::vector<std::uint8_t> raw = ReadBytes(dir.File("shade.raw"));
  const ReadBack values = ReadTestRaster(dir.File("shade.tif"));
  ASSERT_EQ(raw.size(), values.values.at(0).size());
  std::vector<bool> levels(256, false);
  for (std::size_t k = 0; k < raw.size(); ++k) {
    const double v = values.values[0][k];
    const std::size_t l = k / 300, c = k % 300;
    const bool nearVoid = l >= 9 && l <= 14 && c >= 9 && c <= 30;
    // The gray level of each cell with a value, magenta's gray (170) on those resting on the
    // void; the last line and column have no shading and stay 0.
    ASSERT_EQ(raw[k], nearVoid ? 170 : std::isnan(v) ? 0 : static_cast<int>(v)) << k;
    if (!std::isnan(v)) levels[raw[k]] = true;
  }
  EXPECT_EQ(std::count(levels.begin(), levels.end(), true), 256);
}

TEST(GdalCli, AForgedGeoTiffDeclaringAHugeBlockIsRefusedBeforeReading) {
  // 240 bytes declaring one strip of 17748 cells over 65535 pixel-interleaved bands: 4.6 GB.
  const std::string forged =
      std::string(ORVANE_SAMPLE_DIR) + "/../fuzz/corpus/gdal_fuzz/whole_raster_strip";
  CliRun run = Cli({"slope", "--dem", forged, "--out", "never.bmp"});
  EXPECT_EQ(run.status, kExitFailure);
  EXPECT_NE(run.err.find("damaged or forged"), std::string::npos) << run.err;
}

TEST(GdalCli, ImportThenExportGivesBackTheElevations) {
  TempDir dir;
  const TestRaster plane = Plane(7, 4);
  ASSERT_TRUE(WriteTestGeoTiff(dir.File("plane.tif"), plane));
  CliRun imported = Cli({"import-gdal", "--src", dir.File("plane.tif"), "--unit", "cm", "--name",
                      dir.File("site")});
  ASSERT_EQ(imported.status, kExitOk) << imported.err;
  EXPECT_NE(imported.out.find("lines=4\ncolumns=7\nmin=20000\nmax=23900\nfilled=0\n"
                              "pixelSize=30\n"),
            std::string::npos)
      << imported.out;
  EXPECT_NE(imported.out.find("zone=14\nxmin=600000\nymin=3499880\nxmax=600210\nymax=3500000\n"),
            std::string::npos)
      << imported.out;

  // The pair opens as a raw DEM; the export goes back to metres with the given UTM frame.
  CliRun exported = Cli({"export-geotiff", "--dem", dir.File("site_m4.raw"), "--pixel", "30",
                      "--unit", "cm", "--zone", "14", "--xmin", "600000", "--xmax", "600210",
                      "--ymin", "3499880", "--ymax", "3500000", "--out", dir.File("back.tif")});
  ASSERT_EQ(exported.status, kExitOk) << exported.err;
  const ReadBack back = ReadTestRaster(dir.File("back.tif"));
  ASSERT_TRUE(back.opened);
  EXPECT_EQ(back.type, GDT_Float32);
  EXPECT_EQ(back.transform, *plane.transform);
  EXPECT_EQ(back.utmZone, 14);
  for (std::size_t i = 0; i < plane.values.size(); ++i)
    ASSERT_NEAR(back.values[0][i], plane.values[i], 1e-4) << i;

  // Straight from the GeoTIFF: its own georeference; read in millimetres, written back as
  // Float32 metres.
  ASSERT_EQ(Cli({"export-geotiff", "--dem", dir.File("plane.tif"), "--out",
                 dir.File("direct.tif")}).status,
            kExitOk);
  const ReadBack direct = ReadTestRaster(dir.File("direct.tif"));
  EXPECT_EQ(direct.type, GDT_Float32);
  EXPECT_EQ(direct.transform, *plane.transform);
  EXPECT_EQ(direct.values[0], plane.values);
}

}  // namespace
}  // namespace orvane::cli
