#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

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
  CliRun metres = Cli({"info", "--dem", tif});
  ASSERT_EQ(metres.status, kExitOk) << metres.err;
  EXPECT_EQ(metres.out,
            "lines=9\ncolumns=12\nmin=200\nmax=289\npixelSizeX=30\npixelSizeY=30\nunit=m\n");
  CliRun decimetres = Cli({"info", "--dem", tif, "--unit", "dm"});
  ASSERT_EQ(decimetres.status, kExitOk) << decimetres.err;
  EXPECT_EQ(decimetres.out, "lines=9\ncolumns=12\nmin=2000\nmax=2890\npixelSizeX=300\n"
                            "pixelSizeY=300\nunit=dm\n");
  // --pixel wins over the georeference.
  CliRun given = Cli({"info", "--dem", tif, "--pixel", "25"});
  EXPECT_NE(given.out.find("pixelSizeX=25\n"), std::string::npos);
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

  CliRun fromTif = Cli({"slope", "--dem", dir.File("plane.tif"), "--table", "gray", "--out",
                     dir.File("slope.tif")});
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
  CliRun filled = Cli({"info", "--dem", dir.File("holes.tif")});
  ASSERT_EQ(filled.status, kExitOk) << filled.err;
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

  // Straight from the GeoTIFF: its own georeference, whole metres as Int32.
  ASSERT_EQ(Cli({"export-geotiff", "--dem", dir.File("plane.tif"), "--out",
                 dir.File("direct.tif")}).status,
            kExitOk);
  const ReadBack direct = ReadTestRaster(dir.File("direct.tif"));
  EXPECT_EQ(direct.type, GDT_Int32);
  EXPECT_EQ(direct.transform, *plane.transform);
  EXPECT_EQ(direct.values[0], plane.values);
}

}  // namespace
}  // namespace orvane::cli
