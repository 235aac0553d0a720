// Every writer saves through a temporary file renamed into place: a target marked read-only,
// a read-only directory or a path through a plain file gives a message naming the file and
// the system's reason, and the files already there keep their bytes. Read-only here means no
// write bit for anyone, which the writers honour even when the tests run as root.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <functional>
#include <string>
#include <vector>

#include "core/common/atomic_file.h"
#include "core/exchange/gdal_raster.h"
#include "core/exchange/ilwis_export.h"
#include "core/render/histogram_table.h"
#include "core/settings/settings_file.h"
#include "core/terrain/bmp_file.h"
#include "core/terrain/raster_file.h"
#include "support/files.h"

namespace orvane {
namespace {

struct Writer {
  const char* name;
  std::vector<std::string> targets;  // the files it writes in its directory, first opened first
  std::function<Status(const std::string& directory)> write;
};

TRasterImage SmallRaster(int kind) {
  TRasterImage raster(5, 3, kind);
  for (int l = 0; l < 3; ++l)
    for (int c = 0; c < 5; ++c) raster.SetValue(c, l, 10 * l + c);
  return raster;
}

TDemModel SmallDem() {
  TDemModel dem(4, 3, kDemInt32);
  for (int l = 0; l < 3; ++l)
    for (int c = 0; c < 4; ++c) dem.Int32Row(l)[c] = 100 + c + l;
  dem.pixelSizeX = dem.pixelSizeY = 90.0f;
  dem.UpdateMinMax();
  return dem;
}

std::vector<Writer> AllWriters() {
  return {
      {"raster raw", {"p.txt", "p.raw"},
       [](const std::string& d) { return SaveRasterRaw(SmallRaster(kRasterGray), d + "/p", 90); }},
      {"bmp", {"p.bmp"},
       [](const std::string& d) {
         TRasterImage raster = SmallRaster(kRasterRgb);
         return SaveRasterBmp(raster, d + "/p.bmp");
       }},
      {"table", {"t.xls"},
       [](const std::string& d) { return WriteTextFile(d + "/t.xls", "1\t2\r\n"); }},
      {"ilwis export", {"m.mp#", "m.grf", "m.dom", "m.mpr"},
       [](const std::string& d) {
         IlwisExportParams params;
         params.folder = d;
         params.name = "m";
         params.xMax = params.yMax = 100.0;
         const auto result = ExportIlwis(SmallDem(), params);
         return result ? Status::Ok() : Status(result.error());
       }},
      {"geotiff raster", {"p.tif"},
       [](const std::string& d) {
         return ExportRasterGeoTiff(SmallRaster(kRasterGray), d + "/p.tif", nullptr);
       }},
      {"geotiff dem", {"d.tif"},
       [](const std::string& d) { return ExportDemGeoTiff(SmallDem(), 1, d + "/d.tif", nullptr); }},
      {"settings", {"orvane.ini"},
       [](const std::string& d) { return WriteSettings(d + "/orvane.ini", TSettings{}); }},
  };
}

std::string Old(const std::string& name) { return "old bytes of " + name; }

void FillOld(const std::string& directory, const Writer& writer) {
  for (const std::string& name : writer.targets) WriteAll(directory + "/" + name, Old(name));
}

void ExpectOldKept(const std::string& directory, const Writer& writer) {
  for (const std::string& name : writer.targets)
    EXPECT_EQ(ReadAll(directory + "/" + name), Old(name)) << writer.name << ": " << name;
  // No temporary file left behind.
  EXPECT_EQ(FileCount(directory), static_cast<int>(writer.targets.size())) << writer.name;
}

void ExpectNames(const Status& status, const std::string& path, const std::string& reason,
                 const char* writer) {
  ASSERT_FALSE(status) << writer << " succeeded onto " << path;
  EXPECT_NE(status.message().find(path), std::string::npos) << writer << ": " << status.message();
  EXPECT_NE(status.message().find(reason), std::string::npos) << writer << ": " << status.message();
}

TEST(SafeSave, EveryWriterReplacesItsFilesAndKeepsTheirPermissions) {
  for (const Writer& writer : AllWriters()) {
    TempDir dir;
    FillOld(dir.path(), writer);
    for (const std::string& name : writer.targets) ::chmod((dir.path() + "/" + name).c_str(), 0640);
    ASSERT_TRUE(writer.write(dir.path())) << writer.name;
    for (const std::string& name : writer.targets) {
      const std::string path = dir.path() + "/" + name;
      EXPECT_NE(ReadAll(path), Old(name)) << writer.name << ": " << name;
      struct stat st {};
      ASSERT_EQ(::stat(path.c_str(), &st), 0);
      EXPECT_EQ(st.st_mode & 07777, 0640u) << writer.name << ": " << name;
    }
    EXPECT_EQ(FileCount(dir.path()), static_cast<int>(writer.targets.size())) << writer.name;
  }
}

TEST(SafeSave, AReadOnlyTargetIsRefusedAndNoFileOfTheSaveChanges) {
  for (const Writer& writer : AllWriters()) {
    // Each of the files in turn is the read-only one: a save of several files replaces none.
    for (const std::string& readOnly : writer.targets) {
      TempDir dir;
      FillOld(dir.path(), writer);
      const std::string path = dir.path() + "/" + readOnly;
      ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
      ExpectNames(writer.write(dir.path()), path, "Permission denied", writer.name);
      ExpectOldKept(dir.path(), writer);
    }
  }
}

TEST(SafeSave, AReadOnlyDirectoryIsRefusedAndTheOldFilesStay) {
  for (const Writer& writer : AllWriters()) {
    TempDir dir;
    FillOld(dir.path(), writer);
    ASSERT_EQ(::chmod(dir.path().c_str(), 0555), 0);
    ExpectNames(writer.write(dir.path()), dir.path() + "/" + writer.targets.front(),
                "Permission denied", writer.name);
    ::chmod(dir.path().c_str(), 0755);
    ExpectOldKept(dir.path(), writer);
  }
}

TEST(SafeSave, APathThroughAPlainFileOrADirectoryInTheTargetsPlaceIsRefused) {
  for (const Writer& writer : AllWriters()) {
    TempDir dir;
    const std::string plain = dir.File("plain");
    WriteAll(plain, "a file, not a directory");
    ExpectNames(writer.write(plain), plain + "/" + writer.targets.front(), "Not a directory",
                writer.name);
    EXPECT_EQ(ReadAll(plain), "a file, not a directory");
    EXPECT_EQ(FileCount(dir.path()), 1);

    FillOld(dir.path(), writer);
    const std::string last = dir.path() + "/" + writer.targets.back();
    std::filesystem::remove(last);
    std::filesystem::create_directory(last);
    ExpectNames(writer.write(dir.path()), last, "Is a directory", writer.name);
    for (std::size_t i = 0; i + 1 < writer.targets.size(); ++i)
      EXPECT_EQ(ReadAll(dir.path() + "/" + writer.targets[i]), Old(writer.targets[i]))
          << writer.name;
  }
}

// A write that fails half-way (the file size limit stands in for a full disk): the message
// names the file and the reason, the old file stays and the temporary one is removed.
TEST(SafeSave, AWriteFailingHalfWayKeepsTheOldFile) {
  TempDir dir;
  const std::string table = dir.File("t.xls");
  const std::string raw = dir.File("p");
  WriteAll(table, "old table");
  WriteAll(raw + ".raw", "old data");
  WriteAll(raw + ".txt", "old header");
  TRasterImage big(300, 200, kRasterGray);
  struct rlimit old {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  void (*oldHandler)(int) = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 4096;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const Status tableWritten = WriteTextFile(table, std::string(100000, 'x'));
  const Status rawWritten = SaveRasterRaw(big, raw, 90);
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  ExpectNames(tableWritten, table, "File too large", "table");
  EXPECT_EQ(tableWritten.code(), kWriteFailed);
  ExpectNames(rawWritten, raw + ".raw", "File too large", "raster raw");
  EXPECT_EQ(ReadAll(table), "old table");
  EXPECT_EQ(ReadAll(raw + ".raw"), "old data");
  EXPECT_EQ(ReadAll(raw + ".txt"), "old header");
  EXPECT_EQ(FileCount(dir.path()), 3);
}

TEST(SafeSave, ASymbolicLinkKeepsPointingAtTheSavedFile) {
  TempDir dir;
  const std::string real = dir.File("real.xls");
  const std::string link = dir.File("link.xls");
  WriteAll(real, "old");
  std::filesystem::create_symlink(real, link);
  ASSERT_TRUE(WriteTextFile(link, "new"));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadAll(real), "new");
  EXPECT_EQ(FileCount(dir.path()), 2);
}

}  // namespace
}  // namespace orvane
