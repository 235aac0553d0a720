#include "core/exchange/gdal_raster.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <numbers>
#include <random>

#include "core/exchange/dem_source.h"
#include "core/exchange/nearest_fill.h"
#include "core/surface/slope.h"
#include "core/terrain/cell_normal.h"
#include "core/terrain/dem_file.h"
#include "core/terrain/elevation_unit.h"
#include "support/gdal_rasters.h"
#include "support/files.h"

namespace orvane {
namespace {

using testing::ReadBack;
using testing::ReadTestRaster;
using testing::TestRaster;
using testing::WriteTestGeoTiff;

std::vector<std::int32_t> Int32s(const std::string& bytes) {
  std::vector<std::int32_t> values(bytes.size() / 4);
  std::memcpy(values.data(), bytes.data(), values.size() * 4);
  return values;
}

// ---- nearest fill ---------------------------------------------------------------------

std::int64_t SquaredDistance(std::int64_t a, std::int64_t b, int columns) {
  const std::int64_t dl = a / columns - b / columns, dc = a % columns - b % columns;
  return dl * dl + dc * dc;
}

TEST(NearestFill, PicksACellAtTheBruteForceDistanceOnRandomMasks) {
  std::mt19937 random(7);
  for (const auto& [lines, columns, density] :
       {std::tuple{1, 1, 0.5}, std::tuple{1, 40, 0.1}, std::tuple{37, 1, 0.2},
        std::tuple{23, 31, 0.02}, std::tuple{64, 300, 0.3}, std::tuple{50, 70, 0.95}}) {
    std::bernoulli_distribution isValid(density);
    std::vector<std::uint8_t> valid(static_cast<std::size_t>(lines) * columns);
    for (auto& v : valid) v = isValid(random);
    const auto nearest = NearestValidCells(valid, lines, columns);
    std::vector<std::int64_t> sources;
    for (std::size_t i = 0; i < valid.size(); ++i)
      if (valid[i]) sources.push_back(static_cast<std::int64_t>(i));
    for (std::size_t i = 0; i < valid.size(); ++i) {
      if (sources.empty()) {
        ASSERT_EQ(nearest[i], -1);
        continue;
      }
      std::int64_t best = std::numeric_limits<std::int64_t>::max();
      for (std::int64_t s : sources)
        best = std::min(best, SquaredDistance(static_cast<std::int64_t>(i), s, columns));
      ASSERT_GE(nearest[i], 0);
      ASSERT_TRUE(valid[static_cast<std::size_t>(nearest[i])]) << lines << "x" << columns << " " << i;
      ASSERT_EQ(SquaredDistance(static_cast<std::int64_t>(i), nearest[i], columns), best)
          << lines << "x" << columns << " cell " << i;
    }
  }
}

TEST(NearestFill, CopiesTheNearestValueAndCountsTheHoles) {
  // 0 marks a hole; the holes take the value of the closest valid cell.
  const int lines = 3, columns = 5;
  std::vector<std::int32_t> values = {10, 0, 0, 0, 0,   //
                                      0,  0, 0, 0, 50,  //
                                      0,  7, 0, 0, 0};
  std::vector<std::uint8_t> valid(values.size());
  for (std::size_t i = 0; i < values.size(); ++i) valid[i] = values[i] != 0;
  EXPECT_EQ(FillFromNearestValid(values, valid, lines, columns), 12);
  EXPECT_EQ(values, (std::vector<std::int32_t>{10, 10, 10, 50, 50,  //
                                               10, 7, 7, 50, 50,    //
                                               7, 7, 7, 50, 50}));
  std::vector<std::uint8_t> none(values.size(), 0);
  std::vector<std::int32_t> untouched(values.size(), 3);
  EXPECT_EQ(FillFromNearestValid(untouched, none, lines, columns), 0);
  EXPECT_EQ(untouched, std::vector<std::int32_t>(values.size(), 3));
}

// ---- import ---------------------------------------------------------------------------

TestRaster UtmRaster() {
  TestRaster r;
  r.columns = 4;
  r.lines = 3;
  r.type = GDT_Float32;
  r.values = {100.0, 123.7, -2.7, 0.25,  //
              200.5, 201.0, 202.0, 203.0, //
              300.0, 301.9, 302.0, 303.0};
  r.transform = std::array<double, 6>{500000.0, 30.0, 0.0, 4100000.0, 0.0, -30.0};
  r.epsg = 32614;
  return r;
}

TEST(GdalImport, WritesTheDemPairWithTheChosenUnitAndReportsTheUtmFrame) {
  TempDir dir;
  const std::string tif = dir.File("site.tif");
  ASSERT_TRUE(WriteTestGeoTiff(tif, UtmRaster()));

  GdalImportParams params;
  params.sourcePath = tif;
  params.unitFactor = 1;
  params.outputName = dir.File("site");
  auto metres = ImportGdalRaster(params);
  ASSERT_TRUE(metres) << metres.error().message;
  EXPECT_EQ(metres->dataPath, dir.File("site_m4.raw"));
  // Truncated toward zero: -2.7 gives -2, 0.25 gives 0.
  EXPECT_EQ(Int32s(ReadAll(metres->dataPath)),
            (std::vector<std::int32_t>{100, 123, -2, 0, 200, 201, 202, 203, 300, 301, 302, 303}));
  EXPECT_EQ(ReadAll(metres->headerPath), "3\r\n4\r\n4\r\n-2\r\n303\r\n");
  EXPECT_EQ(metres->noDataFilled, 0);

  const GdalRasterInfo& info = metres->info;
  EXPECT_TRUE(info.projected);
  EXPECT_EQ(info.georef.utmZone, 14);
  EXPECT_TRUE(info.georef.utmNorth);
  EXPECT_DOUBLE_EQ(info.pixelSizeMetres, 30.0);
  const UtmFrame frame = UtmFrameOf(info.georef);
  EXPECT_EQ(frame.zone, 14);
  EXPECT_DOUBLE_EQ(frame.xMin, 500000.0);
  EXPECT_DOUBLE_EQ(frame.xMax, 500120.0);
  EXPECT_DOUBLE_EQ(frame.yMin, 4099910.0);
  EXPECT_DOUBLE_EQ(frame.yMax, 4100000.0);

  // Decimetres keep the first decimal: 123.7 stored as a float is still 1237.
  params.unitFactor = 10;
  params.outputName = dir.File("site_dm");
  auto decimetres = ImportGdalRaster(params);
  ASSERT_TRUE(decimetres) << decimetres.error().message;
  EXPECT_EQ(Int32s(ReadAll(decimetres->dataPath)),
            (std::vector<std::int32_t>{1000, 1237, -27, 2, 2005, 2010, 2020, 2030, 3000, 3019,
                                       3020, 3030}));

  // The pair opens as any 32-bit DEM would.
  auto opened = OpenDemFile(decimetres->dataPath, 4, {10, 30.0, dir.path()});
  ASSERT_TRUE(opened) << opened.error().message;
  EXPECT_EQ((*opened)->GetElevation(1, 0), 1237.0);
  EXPECT_FLOAT_EQ((*opened)->pixelSizeX, 300.0f);
}

TEST(GdalImport, MarksNoDataAndGivesItsCellsTheNearestValueAndCountsThem) {
  TempDir dir;
  TestRaster r;
  r.columns = 5;
  r.lines = 2;
  r.type = GDT_Int16;
  r.noData = -9999.0;
  r.values = {-9999, 10, -9999, -9999, 40,  //
              -9999, -9999, -9999, -9999, 30};
  r.transform = std::array<double, 6>{0.0, 10.0, 0.0, 0.0, 0.0, -10.0};
  r.epsg = 32633;
  ASSERT_TRUE(WriteTestGeoTiff(dir.File("holes.tif"), r));
  auto grid = ReadGdalDem(dir.File("holes.tif"), 1);
  ASSERT_TRUE(grid) << grid.error().message;
  EXPECT_EQ(grid->noDataFilled, 7);
  EXPECT_EQ(grid->validity, (std::vector<std::uint8_t>{0, 1, 0, 0, 1, 0, 0, 0, 0, 1}));
  EXPECT_EQ(grid->scan.values,
            (std::vector<std::int32_t>{10, 10, 10, 40, 40, 10, 10, 10, 30, 30}));
  EXPECT_EQ(grid->minValue, 10);
  EXPECT_EQ(grid->maxValue, 40);
  // The figures an opening shows start from 1000000 and 0.
  EXPECT_EQ(grid->scan.minValue, 10);
  EXPECT_EQ(grid->scan.maxValue, 40);

  // NaN is a hole even without a NoData value.
  TestRaster f;
  f.columns = 3;
  f.lines = 1;
  f.values = {std::nan(""), 5.5, std::nan("")};
  ASSERT_TRUE(WriteTestGeoTiff(dir.File("nan.tif"), f));
  auto nan = ReadGdalDem(dir.File("nan.tif"), 100);
  ASSERT_TRUE(nan) << nan.error().message;
  EXPECT_EQ(nan->noDataFilled, 2);
  EXPECT_EQ(nan->validity, (std::vector<std::uint8_t>{0, 1, 0}));
  EXPECT_EQ(nan->scan.values, (std::vector<std::int32_t>{550, 550, 550}));
  EXPECT_FALSE(nan->info.hasGeoTransform);
  EXPECT_EQ(nan->info.pixelSizeMetres, 0.0);

  f.values = {std::nan(""), std::nan(""), std::nan("")};
  ASSERT_TRUE(WriteTestGeoTiff(dir.File("empty.tif"), f));
  auto empty = ReadGdalDem(dir.File("empty.tif"), 1);
  ASSERT_FALSE(empty);
  EXPECT_NE(empty.error().message.find("no valid elevation"), std::string::npos);
}

TEST(GdalImport, RealElevationsTakeTheFinestUnitTheirRangeHolds) {
  struct Case {
    double lowest, highest;
    int factor;
  };
  // Tenths of a millimetre for any terrain on Earth; coarser when a value or the range leaves
  // 32 bits.
  for (const Case& c : {Case{-11000.0, 8900.0, 10000}, Case{0.0, 214748.0, 10000},
                        Case{0.0, 214749.0, 1000}, Case{0.0, 2147484.0, 100}, Case{-1.2e6, 1.2e6, 100},
                        Case{0.0, 3.0e7, 10}, Case{0.0, 3.0e8, 1}, Case{0.0, NAN, 1}})
    EXPECT_EQ(FinestUnitFactor(c.lowest, c.highest), c.factor) << c.lowest << " " << c.highest;

  TempDir dir;
  TestRaster real = UtmRaster();  // Float32, -2.7 .. 303
  ASSERT_TRUE(WriteTestGeoTiff(dir.File("real.tif"), real));
  auto chosen = ReadGdalDem(dir.File("real.tif"), 0);
  ASSERT_TRUE(chosen) << chosen.error().message;
  EXPECT_EQ(chosen->unitFactor, 10000);
  EXPECT_TRUE(chosen->unitChosen);
  EXPECT_EQ(chosen->scan.values[1], 1237000);  // 123.7 as a float keeps its decimal
  // A pair written to disk is reopened by naming its unit: millimetres at the finest.
  auto pair = ImportGdalRaster({dir.File("real.tif"), 0, dir.File("pair")});
  ASSERT_TRUE(pair) << pair.error().message;
  EXPECT_EQ(pair->unitFactor, 1000);
  real.type = GDT_Int16;
  ASSERT_TRUE(WriteTestGeoTiff(dir.File("whole.tif"), real));
  auto whole = ReadGdalDem(dir.File("whole.tif"), 0);
  ASSERT_TRUE(whole) << whole.error().message;
  EXPECT_EQ(whole->unitFactor, 1);
  EXPECT_FALSE(whole->unitChosen);
}

// The conversion of one cell as first written, with the library's rounding.
bool StraightforwardStoredValue(double product, double tolerance, std::int32_t& stored) {
  const double whole = std::nearbyint(product);
  if (std::fabs(product - whole) <= std::fabs(product) * tolerance) product = whole;
  const double t = std::trunc(product);
  if (!(t >= std::numeric_limits<std::int32_t>::min() &&
        t <= std::numeric_limits<std::int32_t>::max()))
    return false;
  stored = static_cast<std::int32_t>(t);
  return true;
}

TEST(GdalImport, ReadsRastersInBandsOnEveryCoreCellForCellAsTheStraightforwardReading) {
  const double inf = std::numeric_limits<double>::infinity();
  for (double product : {0.0, -0.0, 0.5, -0.5, 1.5, 2.5, -2.5, 2.4999999999, 123.9999999,
                         -123.9999999, 2147483647.0, 2147483647.9, 2147483648.0, -2147483648.0,
                         -2147483648.9, -2147483649.0, 4503599627370495.5, 0x1p52, 1e300,
                         inf, -inf, std::nan("")})
    for (double tolerance : {0.0, 0x1p-22, 0x1p-40}) {
      std::int32_t fast = 7, slow = 7;
      EXPECT_EQ(ToStoredElevation(product, tolerance, fast),
                StraightforwardStoredValue(product, tolerance, slow))
          << product;
      EXPECT_EQ(fast, slow) << product << " " << tolerance;
    }

  // Rasters of several reading bands, with holes, in each way the reader takes.
  struct Case {
    GDALDataType type;
    int unitFactor;  // 0: chosen from the range
    double scale, offset;
    bool southUp;
    bool holes = true;
  };
  TempDir dir;
  std::mt19937 random(11);
  for (const Case& c : {Case{GDT_Float32, 0, 1.0, 0.0, false}, Case{GDT_Float32, 0, 1.0, 0.0, true},
                        Case{GDT_Float32, 100, 1.0, 0.0, false},
                        Case{GDT_Float64, 0, 1.0, 0.0, true},
                        Case{GDT_Int16, 0, 0.1, -50.0, false},
                        // Plain whole numbers, widened in place: with a mask, turned over, in
                        // a finer unit, and without any NoData.
                        Case{GDT_Int16, 100, 1.0, 0.0, true},
                        Case{GDT_Int32, 0, 1.0, 0.0, false, false},
                        // Float32 without a NoData value: NaN alone makes holes.
                        Case{GDT_Float32, 0, 1.0, 0.0, false, false}}) {
    SCOPED_TRACE(::testing::Message() << GDALGetDataTypeName(c.type) << " unit " << c.unitFactor
                                      << (c.southUp ? " south up" : ""));
    TestRaster r;
    r.columns = 1500;
    r.lines = 800;
    r.type = c.type;
    if (c.holes) r.noData = -9999.0;
    r.scale = c.scale;
    r.offset = c.offset;
    r.transform = std::array<double, 6>{0.0, 30.0, 0.0, c.southUp ? 0.0 : 24000.0, 0.0,
                                        c.southUp ? 30.0 : -30.0};
    std::uniform_real_distribution<double> height(-420.0, 3000.0);
    const bool whole = c.type == GDT_Int16 || c.type == GDT_Int32;
    for (int k = 0; k < r.columns * r.lines; ++k) {
      const double z = whole ? std::round(height(random)) : height(random);
      r.values.push_back(k % 97 == 5 && c.holes ? -9999.0 : (k % 211 == 3 && !whole) ? NAN : z);
    }
    if (!whole) {  // ties and tenths, which a careless rounding moves by one unit
      r.values[10] = 0.5;
      r.values[11] = -2.5;
      r.values[12] = 123.7;
    }
    const std::string path = dir.File("bands.tif");
    ASSERT_TRUE(WriteTestGeoTiff(path, r));
    auto grid = ReadGdalDem(path, c.unitFactor);
    ASSERT_TRUE(grid) << grid.error().message;

    // As the file stores them: what GDAL gives back as doubles, then scale and offset.
    std::vector<double> metres(r.values.size());
    std::vector<std::uint8_t> valid(r.values.size(), 1);
    double lowest = INFINITY, highest = -INFINITY;
    for (std::size_t k = 0; k < r.values.size(); ++k) {
      const double stored = c.type == GDT_Float32 ? static_cast<float>(r.values[k]) : r.values[k];
      if (r.values[k] == -9999.0 || std::isnan(stored)) {
        valid[k] = 0;
        continue;
      }
      metres[k] = stored * c.scale + c.offset;
      lowest = std::min(lowest, metres[k]);
      highest = std::max(highest, metres[k]);
    }
    // Whole metres stay metres; reals take the finest unit their range allows.
    const bool wholeMetres = whole && c.scale == 1.0 && c.offset == 0.0;
    const int unit = c.unitFactor     ? c.unitFactor
                     : wholeMetres ? 1
                                   : FinestUnitFactor(lowest, highest);
    EXPECT_EQ(grid->unitFactor, unit);
    const double tolerance = ElevationPrecision(c.type == GDT_Float32);
    std::size_t differ = 0;
    for (int line = 0; line < r.lines; ++line)
      for (int column = 0; column < r.columns; ++column) {
        const std::size_t k = static_cast<std::size_t>(line) * r.columns + column;
        const std::size_t at =
            static_cast<std::size_t>(c.southUp ? r.lines - 1 - line : line) * r.columns + column;
        std::int32_t expected = 0;
        if (valid[k]) {
          ASSERT_TRUE(StraightforwardStoredValue(metres[k] * unit, tolerance, expected));
        }
        const bool validRead = grid->validity.empty() || grid->validity[at] != 0;
        differ += validRead != (valid[k] != 0) || (valid[k] && grid->scan.values[at] != expected);
      }
    EXPECT_EQ(differ, 0u);
    EXPECT_EQ(grid->validity.empty(), std::count(valid.begin(), valid.end(), 0) == 0);
  }
}

TEST(GdalImport, AFloatDemsSlopeStaysWithinTwoHundredthsOfADegreeOfItsFloatElevations) {
  // Smooth relief on 1 m cells, high enough that a Float32 keeps only about 0.1 mm: the
  // slope of the imported DEM against the slope of the same float heights in double.
  constexpr int kSide = 500;
  TempDir dir;
  TestRaster r;
  r.columns = r.lines = kSide;
  r.transform = std::array<double, 6>{500000.0, 1.0, 0.0, 3700000.0, 0.0, -1.0};
  r.epsg = 32614;
  std::vector<float> heights;
  for (int l = 0; l < kSide; ++l)
    for (int c = 0; c < kSide; ++c) {
      heights.push_back(static_cast<float>(1850.0 + 6.0 * std::sin(c / 23.0) * std::cos(l / 31.0) +
                                           0.02 * c - 0.013 * l));
      r.values.push_back(heights.back());
    }
  ASSERT_TRUE(WriteTestGeoTiff(dir.File("smooth.tif"), r));
  DemSource source;
  source.path = dir.File("smooth.tif");
  auto dem = OpenDemSource(source);
  ASSERT_TRUE(dem) << dem.error().message;
  std::vector<float> degrees(static_cast<std::size_t>(kSide) * kSide);
  TSlopeParams params;
  params.grayTones = true;
  params.degrees = degrees.data();
  ASSERT_TRUE(ComputeSlope(*dem->model, params));

  auto at = [&](int c, int l) {
    return TPoint3{static_cast<double>(l), static_cast<double>(c),
                   static_cast<double>(heights[static_cast<std::size_t>(l) * kSide + c])};
  };
  std::vector<double> errors;
  for (int l = 1; l < kSide - 1; ++l)
    for (int c = 1; c < kSide - 1; ++c) {
      TCellNeighbours around{at(c, l - 1), at(c + 1, l), at(c, l + 1), at(c - 1, l), true, true, true, true};
      const TPoint3 n = CellNormal(at(c, l), around);
      const double length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
      const double slope = 90.0 - std::fabs(std::asin(n.z / length)) * 180.0 / std::numbers::pi;
      errors.push_back(std::fabs(degrees[static_cast<std::size_t>(l) * kSide + c] - slope));
    }
  EXPECT_LT(*std::max_element(errors.begin(), errors.end()), 0.02);
}

TEST(GdalImport, ConvertsDegreesToMetresAtTheCentralLatitude) {
  TempDir dir;
  TestRaster r;
  r.columns = 3600;
  r.lines = 2;
  r.type = GDT_Int16;
  r.values.assign(static_cast<std::size_t>(r.columns) * r.lines, 100.0);
  // One arc-second cells, two lines straddling 45 degrees north.
  const double arcSecond = 1.0 / 3600.0;
  r.transform = std::array<double, 6>{7.0, arcSecond, 0.0, 45.0 + arcSecond, 0.0, -arcSecond};
  r.epsg = 4326;
  ASSERT_TRUE(WriteTestGeoTiff(dir.File("geo.tif"), r));
  auto info = InspectGdalRaster(dir.File("geo.tif"));
  ASSERT_TRUE(info) << info.error().message;
  EXPECT_TRUE(info->geographic);
  EXPECT_NEAR(info->centralLatitude, 45.0, 1e-9);
  // WGS 84 at 45 degrees: 111131.745 m per degree of latitude, 78846.835 m of longitude.
  EXPECT_NEAR(info->pixelHeightMetres, 111131.745 / 3600.0, 1e-3);
  EXPECT_NEAR(info->pixelWidthMetres, 78846.835 / 3600.0, 1e-3);
  EXPECT_NEAR(info->pixelSizeMetres, std::sqrt(info->pixelWidthMetres * info->pixelHeightMetres),
              1e-9);
  EXPECT_EQ(info->georef.utmZone, 0);

  TDemModel model(r.columns, r.lines, kDemInt32);
  ApplyGroundPixelSizes(model, *info, 10);
  EXPECT_NEAR(model.pixelSizeX, 10 * info->pixelHeightMetres, 1e-3);  // the step between lines
  EXPECT_NEAR(model.pixelSizeY, 10 * info->pixelWidthMetres, 1e-3);
}

TEST(GdalImport, TurnsOverASouthUpRasterAndTakesBandOne) {
  TempDir dir;
  TestRaster r;
  r.columns = 2;
  r.lines = 3;
  r.bands = 2;
  r.type = GDT_UInt16;
  r.values = {1, 2, 3, 4, 5, 6};
  r.transform = std::array<double, 6>{1000.0, 10.0, 0.0, 2000.0, 0.0, 10.0};
  r.epsg = 32614;
  ASSERT_TRUE(WriteTestGeoTiff(dir.File("south_up.tif"), r));
  auto grid = ReadGdalDem(dir.File("south_up.tif"), 1);
  ASSERT_TRUE(grid) << grid.error().message;
  EXPECT_EQ(grid->scan.values, (std::vector<std::int32_t>{5, 6, 3, 4, 1, 2}));
  EXPECT_DOUBLE_EQ(grid->info.georef.YMax(), 2030.0);
  EXPECT_DOUBLE_EQ(grid->info.georef.YMin(), 2000.0);
  ASSERT_EQ(grid->info.warnings.size(), 1u);
  EXPECT_NE(grid->info.warnings[0].find("2 bands: band 1 is imported"), std::string::npos);
}

TEST(GdalImport, RefusesWhatCannotBecomeADemWithTheFileAndTheReason) {
  TempDir dir;
  TestRaster rotated = UtmRaster();
  (*rotated.transform)[2] = 0.5;
  ASSERT_TRUE(WriteTestGeoTiff(dir.File("rotated.tif"), rotated));
  auto r = InspectGdalRaster(dir.File("rotated.tif"));
  ASSERT_FALSE(r);
  EXPECT_NE(r.error().message.find("rotated"), std::string::npos);
  EXPECT_NE(r.error().message.find("rotated.tif"), std::string::npos);

  TestRaster wide;
  wide.columns = kMaxDemFileSide + 1;
  wide.lines = 1;
  wide.type = GDT_Byte;
  wide.values.assign(static_cast<std::size_t>(wide.columns), 1.0);
  ASSERT_TRUE(WriteTestGeoTiff(dir.File("wide.tif"), wide));
  auto w = InspectGdalRaster(dir.File("wide.tif"));
  ASSERT_FALSE(w);
  EXPECT_EQ(w.error().code, kWrongFormat);
  EXPECT_NE(w.error().message.find("32768 columns"), std::string::npos);

  WriteAll(dir.File("text.tif"), "not a raster at all");
  auto t = InspectGdalRaster(dir.File("text.tif"));
  ASSERT_FALSE(t);
  EXPECT_EQ(t.error().code, kCannotOpen);
  EXPECT_NE(t.error().message.find("text.tif"), std::string::npos);
  EXPECT_FALSE(InspectGdalRaster(dir.File("missing.tif")));

  // 3000 km in millimetres leaves the 32-bit range: refused, nothing written.
  TestRaster high = UtmRaster();
  high.values[5] = 3.0e6;
  ASSERT_TRUE(WriteTestGeoTiff(dir.File("high.tif"), high));
  auto h = ImportGdalRaster({dir.File("high.tif"), 1000, dir.File("high")});
  ASSERT_FALSE(h);
  EXPECT_NE(h.error().message.find("coarser unit"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir.File("high_m4.raw")));
  EXPECT_TRUE(ImportGdalRaster({dir.File("high.tif"), 1, dir.File("high")}));
  // Whole numbers too, with the cell that leaves the range named.
  high.type = GDT_Int32;
  high.values[5] = 2.0e9;
  ASSERT_TRUE(WriteTestGeoTiff(dir.File("high.tif"), high));
  auto whole = ReadGdalDem(dir.File("high.tif"), 10);
  ASSERT_FALSE(whole);
  EXPECT_NE(whole.error().message.find("2000000000 at line 1, column 1"), std::string::npos)
      << whole.error().message;
}

// ---- export ---------------------------------------------------------------------------

GeoReference UtmGeoReference(int lines, int columns) {
  UtmFrame frame;
  frame.zone = 14;
  frame.xMin = 500000.0;
  frame.xMax = 500000.0 + 90.0 * columns;
  frame.yMin = 4000000.0;
  frame.yMax = 4000000.0 + 90.0 * lines;
  frame.lines = lines;
  frame.columns = columns;
  return GeoReferenceFromUtmFrame(frame);
}

TEST(GdalExport, ImagesKeepTheirPixelsColoursAndGeoreference) {
  TempDir dir;
  TRasterImage gray(3, 2, kRasterGray);
  for (int l = 0; l < 2; ++l)
    for (int c = 0; c < 3; ++c) gray.SetValue(c, l, 10 * l + c);
  const GeoReference georef = UtmGeoReference(2, 3);
  ASSERT_TRUE(ExportRasterGeoTiff(gray, dir.File("gray.tif"), &georef));
  ReadBack g = ReadTestRaster(dir.File("gray.tif"));
  ASSERT_TRUE(g.opened);
  EXPECT_EQ(g.bands, 1);
  EXPECT_EQ(g.type, GDT_Byte);
  EXPECT_EQ(g.values[0], (std::vector<double>{0, 1, 2, 10, 11, 12}));
  EXPECT_EQ(g.transform, (std::array<double, 6>{500000.0, 90.0, 0.0, 4000180.0, 0.0, -90.0}));
  EXPECT_EQ(g.utmZone, 14);
  EXPECT_EQ(g.utmNorth, 1);
  EXPECT_EQ(FileCount(dir.path()), 1);  // no temporary or side file left

  TRasterImage palette(2, 1, kRasterPalette);
  palette.palette[7] = {30, 20, 10, 0};  // blue, green, red
  palette.SetValue(0, 0, 7);
  ASSERT_TRUE(ExportRasterGeoTiff(palette, dir.File("palette.tif"), nullptr));
  ReadBack p = ReadTestRaster(dir.File("palette.tif"));
  ASSERT_EQ(p.colours.size(), 256u);
  EXPECT_EQ(p.colours[7], (std::array<short, 4>{10, 20, 30, 255}));
  EXPECT_EQ(p.values[0][0], 7.0);
  EXPECT_FALSE(p.hasTransform);

  TRasterImage rgb(1, 2, kRasterRgb);
  rgb.SetColor(0, 0, Rgb(200, 100, 50));
  rgb.SetColor(0, 1, Rgb(1, 2, 3));
  UtmFrame south{-33, 100.0, 200.0, 110.0, 220.0, 2, 1};
  const GeoReference southGeo = GeoReferenceFromUtmFrame(south);
  ASSERT_TRUE(ExportRasterGeoTiff(rgb, dir.File("rgb.tif"), &southGeo));
  ReadBack c = ReadTestRaster(dir.File("rgb.tif"));
  ASSERT_EQ(c.bands, 3);
  EXPECT_EQ(c.values[0], (std::vector<double>{200, 1}));  // red
  EXPECT_EQ(c.values[1], (std::vector<double>{100, 2}));  // green
  EXPECT_EQ(c.values[2], (std::vector<double>{50, 3}));   // blue
  EXPECT_EQ(c.utmZone, 33);
  EXPECT_EQ(c.utmNorth, 0);
  EXPECT_EQ(c.transform, (std::array<double, 6>{100.0, 10.0, 0.0, 220.0, 0.0, -10.0}));
}

TEST(GdalExport, AFailedWriteLeavesTheTargetAsItWas) {
  TempDir dir;
  TRasterImage gray(2, 2, kRasterGray);
  auto missing = ExportRasterGeoTiff(gray, dir.File("no/such/dir/x.tif"), nullptr);
  ASSERT_FALSE(missing);
  EXPECT_NE(missing.message().find("x.tif"), std::string::npos);

  WriteAll(dir.File("keep.tif"), "previous");
  TRasterImage empty;
  EXPECT_FALSE(ExportRasterGeoTiff(empty, dir.File("keep.tif"), nullptr));
  EXPECT_EQ(ReadAll(dir.File("keep.tif")), "previous");
  EXPECT_EQ(FileCount(dir.path()), 1);
}

TEST(GdalExport, DemRoundTripGivesBackTheElevationsInMetres) {
  TempDir dir;
  const std::string tif = dir.File("site.tif");
  ASSERT_TRUE(WriteTestGeoTiff(tif, UtmRaster()));
  for (int unit : {1, 100}) {
    auto grid = ReadGdalDem(tif, unit);
    ASSERT_TRUE(grid) << grid.error().message;
    auto model = LoadScannedDem(grid->scan, {unit, grid->info.pixelSizeMetres, dir.path()});
    ASSERT_TRUE(model) << model.error().message;
    const std::string out = dir.File("back" + std::to_string(unit) + ".tif");
    ASSERT_TRUE(ExportDemGeoTiff(**model, unit, out, &grid->info.georef));
    ReadBack back = ReadTestRaster(out);
    ASSERT_TRUE(back.opened);
    EXPECT_EQ(back.type, unit == 1 ? GDT_Int32 : GDT_Float32);
    EXPECT_EQ(back.unit, "m");
    EXPECT_EQ(back.transform, *UtmRaster().transform);
    EXPECT_EQ(back.utmZone, 14);
    const std::vector<double> source = UtmRaster().values;
    for (std::size_t i = 0; i < source.size(); ++i) {
      // Whole metres truncated toward zero; every source value is a whole number of cm.
      const double expected =
          unit == 1 ? std::trunc(source[i]) : std::nearbyint(source[i] * unit) / unit;
      EXPECT_NEAR(back.values[0][i], expected, 1e-5) << unit << " " << i;
    }
  }
}

}  // namespace
}  // namespace orvane
