// The settings file: defaults, the written format, and what survives a read-write cycle.
#include "core/settings/settings_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <clocale>
#include <cstdlib>

#include "support/files.h"

namespace orvane {
namespace {

constexpr double kPi = 3.14159265358979323846;

TEST(Settings, DefaultsWithoutAFile) {
  TempDir dir;
  const TSettings s = ReadSettings(dir.File("absent.ini"));
  EXPECT_NEAR(s.light.azimuth, 315.0 * kPi / 180.0, 1e-6);
  EXPECT_NEAR(s.light.elevation, 65.0 * kPi / 180.0, 1e-6);
  EXPECT_EQ(s.light.exaggeration, 2.0f);
  EXPECT_EQ(s.light.brightness, 2.0f);
  EXPECT_EQ(s.skeletonSize, 20);
  EXPECT_EQ(s.previewSize, 100);
  EXPECT_EQ(s.eyeDistance, 10);
  EXPECT_EQ(s.smoothing3D, 1);
  EXPECT_EQ(s.demDir, HomeDirectory());
  EXPECT_EQ(s.imageDir, HomeDirectory());
  for (const auto& f : s.files) EXPECT_EQ(f, "");
  EXPECT_FALSE(ReadSettingsChecked(dir.File("absent.ini")));
}

TEST(Settings, WrittenDefaultsUseTheFixedFormats) {
  TempDir dir;
  const std::string path = dir.File("Orvane.ini");
  ASSERT_TRUE(WriteSettings(path, TSettings{}));
  const std::string text = ReadAll(path);
  EXPECT_NE(text.find("[SHADOW PARAM]\nTETA=315.00\nPHI=65.00 \nEXA=2.00  \nREF=2.00  \n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("[SQUEL]\nSIZE=20\n"), std::string::npos);
  EXPECT_NE(text.find("[SHADOW]\nSIZE=100\n"), std::string::npos);
  EXPECT_NE(text.find("[RELIEF]\nECART=10\n"), std::string::npos);
  EXPECT_NE(text.find("[LISSAGE3D]\nSIZE=1\n"), std::string::npos);
  EXPECT_NE(text.find("[FICHIERS]\n1=\n2=\n3=\n4=\n"), std::string::npos);
  EXPECT_NE(text.find("MNTDIR=" + HomeDirectory() + "\n"), std::string::npos);
  // Sections in the order of the table.
  EXPECT_LT(text.find("[REPERTOIRES]"), text.find("[SHADOW PARAM]"));
  EXPECT_LT(text.find("[SQUEL]"), text.find("[FICHIERS]"));
}

TEST(Settings, ReadsValuesCaseInsensitivelyAndTolerantly) {
  TempDir dir;
  const std::string path = dir.File("Orvane.ini");
  WriteAll(path,
           "; my settings\r\n"
           "[Repertoires]\r\n"
           "mntdir = /data/dem \r\n"
           "[SHADOW PARAM]\r\n"
           "TETA=90\r\n"
           "PHI=abc\r\n"
           "EXA=1.5\r\n"
           "[SQUEL]\r\n"
           "SIZE=12x5\r\n"
           "[shadow]\r\n"
           "size=\"150\"\r\n");
  const TSettings s = ReadSettings(path);
  EXPECT_EQ(s.demDir, "/data/dem");
  EXPECT_NEAR(s.light.azimuth, kPi / 2, 1e-6);
  EXPECT_EQ(s.light.elevation, 0.0f);  // not a number
  EXPECT_EQ(s.light.exaggeration, 1.5f);
  EXPECT_EQ(s.light.brightness, 2.0f);  // missing: default
  EXPECT_EQ(s.skeletonSize, 12);
  EXPECT_EQ(s.previewSize, 150);
  EXPECT_EQ(s.eyeDistance, 10);
}

TEST(Settings, RewriteKeepsFilesEntriesAndUnknownContent) {
  TempDir dir;
  const std::string path = dir.File("Orvane.ini");
  WriteAll(path,
           "[FICHIERS]\n1=/a/one_m2.raw\n3=three\n"
           "[MINE]\nkeep=this\n"
           "[SQUEL]\nSIZE=40\nCOLOR=red\n");
  TSettings s = ReadSettings(path);
  EXPECT_EQ(s.files[0], "/a/one_m2.raw");
  EXPECT_EQ(s.files[2], "three");
  s.skeletonSize = 55;
  s.light.elevation = static_cast<float>(30.0 * kPi / 180.0);
  ASSERT_TRUE(WriteSettings(path, s));
  const TSettings again = ReadSettings(path);
  EXPECT_EQ(again.files, s.files);
  EXPECT_EQ(again.skeletonSize, 55);
  EXPECT_NEAR(again.light.elevation, 30.0 * kPi / 180.0, 1e-6);
  const std::string text = ReadAll(path);
  EXPECT_NE(text.find("[MINE]\nkeep=this\n"), std::string::npos) << text;
  EXPECT_NE(text.find("SIZE=55\nCOLOR=red\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("SIZE=40"), std::string::npos);
}

TEST(Settings, LongValuesAreCutTo255Characters) {
  IniFile ini;
  ini.Parse("[A]\nK=" + std::string(300, 'x') + "\n");
  EXPECT_EQ(ini.GetString("a", "k", "").size(), 255u);
  ini.SetString("A", "L", std::string(400, 'y'));
  EXPECT_EQ(ini.GetString("A", "L", "").size(), 255u);
  EXPECT_EQ(ini.GetInt("A", "missing", -7), -7);
  EXPECT_FALSE(ini.Has("B", "K"));
}

TEST(Settings, DefaultPathFollowsTheConfigDirectory) {
  const char* saved = std::getenv("XDG_CONFIG_HOME");
  const std::string keep = saved ? saved : "";
  ::setenv("XDG_CONFIG_HOME", "/cfg", 1);
  EXPECT_EQ(DefaultSettingsPath(), "/cfg/orvane/Orvane.ini");
  ::unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(DefaultSettingsPath(), HomeDirectory() + "/.config/orvane/Orvane.ini");
  if (saved) ::setenv("XDG_CONFIG_HOME", keep.c_str(), 1);
}

TEST(Settings, WriteCreatesTheDirectoryAndReportsFailures) {
  TempDir dir;
  EXPECT_TRUE(WriteSettings(dir.File("orvane/sub/Orvane.ini"), TSettings{}));
  const Status failed = WriteSettings("/proc/orvane/Orvane.ini", TSettings{});
  EXPECT_FALSE(failed);
  EXPECT_NE(failed.message().find("/proc/orvane/Orvane.ini"), std::string::npos);
}

}  // namespace
}  // namespace orvane

namespace orvane {
namespace {

TEST(Settings, DecimalsIgnoreTheProcessLocale) {
  const char* previous = std::setlocale(LC_NUMERIC, nullptr);
  const std::string keep = previous ? previous : "C";
  const bool french = std::setlocale(LC_NUMERIC, "fr_FR.UTF-8") != nullptr;
  TempDir dir;
  const std::string path = dir.File("Orvane.ini");
  TSettings s;
  s.light.exaggeration = 2.5f;
  ASSERT_TRUE(WriteSettings(path, s));
  EXPECT_NE(ReadAll(path).find("EXA=2.50  \n"), std::string::npos);
  EXPECT_EQ(ReadSettings(path).light.exaggeration, 2.5f);
  std::setlocale(LC_NUMERIC, keep.c_str());
  if (!french) GTEST_SKIP() << "no French locale installed; checked in the C locale only";
}

}  // namespace
}  // namespace orvane
