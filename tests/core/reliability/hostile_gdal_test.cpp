// Hostile rasters given to the GDAL import, and files the user may not read given to every
// reader: each is refused with a message naming the file, nothing is allocated beyond what
// the file can hold and nothing is written.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "core/exchange/gdal_raster.h"
#include "core/exchange/ilwis_import.h"
#include "core/settings/settings_file.h"
#include "core/terrain/bmp_file.h"
#include "core/terrain/dem_file.h"
#include "core/terrain/raster_file.h"
#include "support/gdal_rasters.h"
#include "support/files.h"

namespace orvane {
namespace {

using testing::TestRaster;
using testing::WriteTestGeoTiff;

std::uint32_t Get(const std::string& b, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | static_cast<std::uint8_t>(b[at + i]);
  return v;
}

// Sets a SHORT or LONG entry of the first directory of a little-endian classic TIFF.
bool SetTiffTag(std::string& tiff, int tag, std::uint32_t value) {
  if (tiff.size() < 8 || tiff.compare(0, 4, "II*\0", 4) != 0) return false;
  const std::size_t ifd = Get(tiff, 4, 4);
  const std::uint32_t entries = Get(tiff, ifd, 2);
  for (std::uint32_t e = 0; e < entries; ++e) {
    const std::size_t at = ifd + 2 + 12 * e;
    if (static_cast<int>(Get(tiff, at, 2)) != tag) continue;
    const int type = static_cast<int>(Get(tiff, at + 2, 2));
    for (int i = 0; i < (type == 3 ? 2 : 4); ++i)
      tiff[at + 8 + i] = static_cast<char>((value >> (8 * i)) & 255);
    return true;
  }
  return false;
}

class HostileGdal : public ::testing::Test {
 protected:
  void SetUp() override {
    TestRaster r;
    r.columns = 64;
    r.lines = 48;
    r.type = GDT_Int16;
    r.values.assign(static_cast<std::size_t>(r.columns) * r.lines, 250.0);
    ASSERT_TRUE(WriteTestGeoTiff(dir.File("good.tif"), r));
    good = ReadAll(dir.File("good.tif"));
    ASSERT_TRUE(ImportGdalRaster({dir.File("good.tif"), 1, dir.File("good")}));
  }
  // The import of `bytes` is refused naming the file and writes no DEM.
  void ExpectRefused(const std::string& bytes, const char* what) {
    const std::string path = dir.File("hostile.tif");
    std::filesystem::remove(dir.File("hostile_m4.raw"));
    WriteAll(path, bytes);
    const auto imported = ImportGdalRaster({path, 1, dir.File("hostile")});
    ASSERT_FALSE(imported) << what;
    EXPECT_NE(imported.error().message.find(path), std::string::npos)
        << what << ": " << imported.error().message;
    EXPECT_FALSE(std::filesystem::exists(dir.File("hostile_m4.raw"))) << what;
  }
  TempDir dir;
  std::string good;
};

TEST_F(HostileGdal, BrokenFilesAreRefusedNamingTheFile) {
  ExpectRefused("", "empty file");
  ExpectRefused("MM\0*garbage", "wrong magic");
  ExpectRefused(good.substr(0, 6), "cut inside the header");
  // Pixels cut off: the directory is read but a strip is missing.
  ExpectRefused(good.substr(0, good.size() / 2), "truncated pixels");
  for (const auto& [tag, value, what] :
       {std::tuple{256, 0u, "zero width"}, {257, 0u, "zero height"},
        {256, 40000u, "width above the limit"}, {257, 40000u, "height above the limit"},
        {273, 0xFFFFFF00u, "strip offset beyond the file"}}) {
    std::string bytes = good;
    ASSERT_TRUE(SetTiffTag(bytes, tag, value)) << what;
    ExpectRefused(bytes, what);
  }
}

TEST_F(HostileGdal, HugeDimensionsWithinTheLimitAreCheckedBeforeReading) {
  // 32767 x 32767 announced in a tiny file: inspecting it allocates nothing; the size is
  // reported as it stands.
  std::string bytes = good;
  ASSERT_TRUE(SetTiffTag(bytes, 256, 32767));
  ASSERT_TRUE(SetTiffTag(bytes, 257, 32767));
  WriteAll(dir.File("huge.tif"), bytes);
  const auto info = InspectGdalRaster(dir.File("huge.tif"));
  if (info) {
    EXPECT_EQ(info->lines, 32767);
    EXPECT_EQ(info->columns, 32767);
  } else {
    EXPECT_NE(info.error().message.find("huge.tif"), std::string::npos);
  }
}

TEST_F(HostileGdal, ADirectoryIsRefused) {
  std::filesystem::create_directory(dir.File("folder.tif"));
  const auto imported = ImportGdalRaster({dir.File("folder.tif"), 1, dir.File("folder")});
  ASSERT_FALSE(imported);
  EXPECT_NE(imported.error().message.find("folder.tif"), std::string::npos);
}

// Root reads whatever the permission bits say; the case is checked as an ordinary user.
TEST(HostileReaders, AFileThatMayNotBeReadIsRefusedWithTheReason) {
  if (::geteuid() == 0) GTEST_SKIP() << "running as root: permission bits do not stop reading";
  TempDir dir;
  const auto lock = [](const std::string& path) { ASSERT_EQ(::chmod(path.c_str(), 0), 0); };
  const auto expect = [](const std::string& message, const std::string& path) {
    EXPECT_NE(message.find(path), std::string::npos) << message;
    EXPECT_NE(message.find("Permission denied"), std::string::npos) << message;
  };

  WriteAll(dir.File("site_m2.txt"), "2 2");
  WriteAll(dir.File("site_m2.raw"), std::string(8, '\1'));
  lock(dir.File("site_m2.txt"));
  expect(ReadDemHeader(dir.File("site_m2.txt")).error().message, dir.File("site_m2.txt"));
  lock(dir.File("site_m2.raw"));
  DemOpenOptions options;
  options.pixelSizeMetres = 90.0;
  options.workDirectory = dir.File("work");
  const auto dem = OpenDemFile(dir.File("site_m2.raw"), 2, options, 2, 2);
  ASSERT_FALSE(dem);
  expect(dem.error().message, dir.File("site_m2.raw"));

  TRasterImage image(3, 2, kRasterGray);
  ASSERT_TRUE(SaveRasterBmp(image, dir.File("p.bmp")));
  lock(dir.File("p.bmp"));
  expect(LoadRasterFile(dir.File("p.bmp")).error().message, dir.File("p.bmp"));

  ASSERT_TRUE(SaveRasterRaw(image, dir.File("r"), 90));
  lock(dir.File("r.raw"));
  expect(LoadRasterFile(dir.File("r.raw")).error().message, dir.File("r.raw"));

  WriteAll(dir.File("m.mpr"), "[Map]\r\nSize=2 2\r\n");
  lock(dir.File("m.mpr"));
  expect(ReadIlwisMapInfo(dir.File("m.mpr")).error().message, dir.File("m.mpr"));

  ASSERT_TRUE(WriteSettings(dir.File("o.ini"), TSettings{}));
  lock(dir.File("o.ini"));
  expect(ReadSettingsChecked(dir.File("o.ini")).error().message, dir.File("o.ini"));

  TestRaster r;
  r.columns = r.lines = 2;
  r.values = {1, 2, 3, 4};
  ASSERT_TRUE(WriteTestGeoTiff(dir.File("g.tif"), r));
  lock(dir.File("g.tif"));
  const auto info = InspectGdalRaster(dir.File("g.tif"));
  ASSERT_FALSE(info);
  expect(info.error().message, dir.File("g.tif"));
}

}  // namespace
}  // namespace orvane
