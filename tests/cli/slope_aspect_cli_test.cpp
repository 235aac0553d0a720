// orvane-cli slope, aspect and gray-histogram against the core results on the sample DEM.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/render/histogram_table.h"
#include "core/render/shading.h"
#include "core/surface/aspect.h"
#include "core/surface/slope.h"
#include "core/terrain/raster_file.h"
#include "support/cli_run.h"

namespace orvane::cli {
namespace {

class SlopeAspectCli : public CliTest {
 protected:
  void SetUp() override { ASSERT_TRUE(dem_); }
  std::unique_ptr<TDemModel> dem_ = testing::LoadSampleDem();
};

TEST_F(SlopeAspectCli, SlopeRawIsTheSameFileAsTheDesktopRawSave) {
  ASSERT_EQ(Run(OnSample({"slope", "--table", "gray", "--norm", "180", "--out", Path("cli.raw")})), 0) << err;
  TSlopeParams p;
  p.grayTones = true;
  p.normalization = 180;
  auto slope = ComputeSlope(*dem_, p);
  ASSERT_TRUE(slope);
  ASSERT_TRUE(SaveRasterRaw(*slope->image, Path("gui"), 90));
  EXPECT_EQ(ReadAll(Path("cli.raw")), ReadAll(Path("gui.raw")));
  EXPECT_EQ(ReadAll(Path("cli.txt")), ReadAll(Path("gui.txt")));
}

TEST_F(SlopeAspectCli, ShadedColourSlopeIsTheAverageWithTheOpeningRelief) {
  ASSERT_EQ(Run(OnSample({"slope", "--table", "3", "--smooth", "--shade", "--out", Path("s.bmp")})), 0) << err;
  TSlopeParams p;
  p.table = SlopeTable(3);
  p.smoothing = true;
  auto slope = ComputeSlope(*dem_, p);
  ASSERT_TRUE(slope);
  auto relief = RenderShaded(*dem_, TLightParams{});
  ASSERT_TRUE(relief);
  auto blended = slope->image->Blend(*relief, 0.5);
  ASSERT_TRUE(SaveRasterBmp(*blended, Path("expected.bmp")));
  EXPECT_EQ(ReadAll(Path("s.bmp")), ReadAll(Path("expected.bmp")));
}

TEST_F(SlopeAspectCli, AspectWritesImageAndDirectionTable) {
  ASSERT_EQ(Run(OnSample({"aspect", "--out", Path("a.bmp"), "--histogram", Path("a.xls")})), 0) << err;
  TAspectParams p;
  p.table = AspectPaintingPalette();
  auto aspect = ComputeAspect(*dem_, p);
  ASSERT_TRUE(aspect);
  EXPECT_EQ(ReadAll(Path("a.xls")), DirectionTable(aspect->histogram));
  ASSERT_TRUE(SaveRasterBmp(*aspect->image, Path("expected.bmp")));
  EXPECT_EQ(ReadAll(Path("a.bmp")), ReadAll(Path("expected.bmp")));
}

TEST_F(SlopeAspectCli, RefusesWhatTheDialogsCannotSetWithStatusTwo) {
  EXPECT_EQ(Run(OnSample({"slope", "--norm", "100", "--out", Path("x.bmp")})), 2);
  EXPECT_EQ(Run(OnSample({"slope", "--norm", "255", "--out", Path("x.bmp")})), 2);
  EXPECT_NE(err.find("--norm"), std::string::npos);
  EXPECT_EQ(Run(OnSample({"slope", "--out", Path("x.raw")})), 2);  // colour
  EXPECT_EQ(Run(OnSample({"aspect", "--norm", "90", "--out", Path("x.bmp")})), 2);
  EXPECT_EQ(Run(OnSample({"aspect", "--palette", "gray", "--shade", "--out", Path("x.bmp")})), 2);
  EXPECT_FALSE(std::filesystem::exists(Path("x.bmp")));
  EXPECT_FALSE(std::filesystem::exists(Path("x.raw")));
}

TEST_F(SlopeAspectCli, GrayHistogramOfAParameterImageInsideItsMargin) {
  ASSERT_EQ(Run(OnSample({"aspect", "--palette", "gray", "--norm", "90", "--out", Path("g.raw")})), 0) << err;
  ASSERT_EQ(Run({"gray-histogram", "--param", Path("g.raw"), "--margin", "1", "--histogram", Path("g.xls")}), 0)
      << err;
  TAspectParams p;
  p.grayTones = true;
  p.normalization = 90;
  auto aspect = ComputeAspect(*dem_, p);
  ASSERT_TRUE(aspect);
  const std::string table = ReadAll(Path("g.xls"));
  EXPECT_EQ(table, GrayHistogramTable(GrayLevelHistogram(*aspect->image, 1)));
  // Margin 1 leaves out the black ring: no level 0 from the border.
  TGrayHistogram inner = GrayLevelHistogram(*aspect->image, 1);
  TGrayHistogram all = GrayLevelHistogram(*aspect->image, 0);
  EXPECT_EQ(all[0] - inner[0], 2 * (344 + 403) - 4);
  EXPECT_EQ(Run({"gray-histogram", "--param", Path("g.raw"), "--margin", "-1", "--histogram", Path("h.xls")}), 2);
}

}  // namespace
}  // namespace orvane::cli
