// orvane-cli slope, aspect and gray-histogram against the core results on the sample DEM.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "cli/cli.h"
#include "core/render/histogram_table.h"
#include "core/render/shading.h"
#include "core/surface/aspect.h"
#include "core/surface/slope.h"
#include "core/terrain/dem_file.h"
#include "core/terrain/raster_file.h"

namespace orvane {
namespace {

namespace fs = std::filesystem;

class SlopeAspectCli : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("orvane_slope_cli_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    DemOpenOptions options;
    options.pixelSizeMetres = 90.0;
    options.workDirectory = dir_.string();
    auto dem = OpenDemFile(Sample(), 2, options);
    ASSERT_TRUE(dem) << dem.error().message;
    dem_ = std::move(*dem);
  }
  void TearDown() override { fs::remove_all(dir_); }

  static std::string Sample() { return std::string(ORVANE_SAMPLE_DIR) + "/jacksboro_m2.raw"; }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  int Run(std::vector<std::string> args) {
    out_.str("");
    err_.str("");
    return cli::RunCli(args, out_, err_);
  }

  static std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  fs::path dir_;
  std::unique_ptr<TDemModel> dem_;
  std::ostringstream out_, err_;
};

TEST_F(SlopeAspectCli, SlopeRawIsTheSameFileAsTheDesktopRawSave) {
  ASSERT_EQ(Run({"slope", "--dem", Sample(), "--pixel", "90", "--table", "gray", "--norm", "180",
                 "--out", Path("cli.raw")}),
            0)
      << err_.str();
  TSlopeParams p;
  p.grayTones = true;
  p.normalization = 180;
  auto slope = ComputeSlope(*dem_, p);
  ASSERT_TRUE(slope);
  ASSERT_TRUE(SaveRasterRaw(*slope->image, Path("gui"), 90));
  EXPECT_EQ(Bytes(Path("cli.raw")), Bytes(Path("gui.raw")));
  EXPECT_EQ(Bytes(Path("cli.txt")), Bytes(Path("gui.txt")));
}

TEST_F(SlopeAspectCli, ShadedColourSlopeIsTheAverageWithTheOpeningRelief) {
  ASSERT_EQ(Run({"slope", "--dem", Sample(), "--pixel", "90", "--table", "3", "--smooth", "--shade",
                 "--out", Path("s.bmp")}),
            0)
      << err_.str();
  TSlopeParams p;
  p.table = SlopeTable(3);
  p.smoothing = true;
  auto slope = ComputeSlope(*dem_, p);
  ASSERT_TRUE(slope);
  auto relief = RenderShaded(*dem_, TLightParams{});
  ASSERT_TRUE(relief);
  auto blended = slope->image->Blend(*relief, 0.5);
  ASSERT_TRUE(SaveRasterBmp(*blended, Path("expected.bmp")));
  EXPECT_EQ(Bytes(Path("s.bmp")), Bytes(Path("expected.bmp")));
}

TEST_F(SlopeAspectCli, AspectWritesImageAndDirectionTable) {
  ASSERT_EQ(Run({"aspect", "--dem", Sample(), "--pixel", "90", "--out", Path("a.bmp"),
                 "--histogram", Path("a.xls")}),
            0)
      << err_.str();
  TAspectParams p;
  p.table = AspectPaintingPalette();
  auto aspect = ComputeAspect(*dem_, p);
  ASSERT_TRUE(aspect);
  EXPECT_EQ(Bytes(Path("a.xls")), DirectionTable(aspect->histogram));
  ASSERT_TRUE(SaveRasterBmp(*aspect->image, Path("expected.bmp")));
  EXPECT_EQ(Bytes(Path("a.bmp")), Bytes(Path("expected.bmp")));
}

TEST_F(SlopeAspectCli, RefusesWhatTheDialogsCannotSetWithStatusTwo) {
  const std::string dem = Sample();
  EXPECT_EQ(Run({"slope", "--dem", dem, "--pixel", "90", "--norm", "100", "--out", Path("x.bmp")}), 2);
  EXPECT_EQ(Run({"slope", "--dem", dem, "--pixel", "90", "--norm", "255", "--out", Path("x.bmp")}), 2);
  EXPECT_NE(err_.str().find("--norm"), std::string::npos);
  EXPECT_EQ(Run({"slope", "--dem", dem, "--pixel", "90", "--out", Path("x.raw")}), 2);  // colour
  EXPECT_EQ(Run({"aspect", "--dem", dem, "--pixel", "90", "--norm", "90", "--out", Path("x.bmp")}), 2);
  EXPECT_EQ(Run({"aspect", "--dem", dem, "--pixel", "90", "--palette", "gray", "--shade", "--out",
                 Path("x.bmp")}),
            2);
  EXPECT_FALSE(fs::exists(Path("x.bmp")));
  EXPECT_FALSE(fs::exists(Path("x.raw")));
}

TEST_F(SlopeAspectCli, GrayHistogramOfAParameterImageInsideItsMargin) {
  ASSERT_EQ(Run({"aspect", "--dem", Sample(), "--pixel", "90", "--palette", "gray", "--norm", "90",
                 "--out", Path("g.raw")}),
            0)
      << err_.str();
  ASSERT_EQ(Run({"gray-histogram", "--param", Path("g.raw"), "--margin", "1", "--histogram",
                 Path("g.xls")}),
            0)
      << err_.str();
  TAspectParams p;
  p.grayTones = true;
  p.normalization = 90;
  auto aspect = ComputeAspect(*dem_, p);
  ASSERT_TRUE(aspect);
  const std::string table = Bytes(Path("g.xls"));
  EXPECT_EQ(table, GrayHistogramTable(GrayLevelHistogram(*aspect->image, 1)));
  // Margin 1 leaves out the black ring: no level 0 from the border.
  TGrayHistogram inner = GrayLevelHistogram(*aspect->image, 1);
  TGrayHistogram all = GrayLevelHistogram(*aspect->image, 0);
  EXPECT_EQ(all[0] - inner[0], 2 * (344 + 403) - 4);
  EXPECT_EQ(Run({"gray-histogram", "--param", Path("g.raw"), "--margin", "-1", "--histogram",
                 Path("h.xls")}),
            2);
}

}  // namespace
}  // namespace orvane
