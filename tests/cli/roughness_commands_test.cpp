// local-fractal, total-depth and surface3d against the core results on the sample DEM.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "core/surface/local_fractal.h"
#include "core/terrain/bmp_file.h"
#include "core/surface/surface3d.h"
#include "core/surface/total_depth.h"
#include "support/cli_run.h"

namespace orvane::cli {
namespace {

class RoughnessCommands : public CliTest {
 protected:
  void SetUp() override { ASSERT_NE(dem_, nullptr); }
  // The bitmap the application saves for `image`.
  std::string Expected(TRasterImage& image) {
    const std::filesystem::path path = Path("expected.bmp");
    EXPECT_TRUE(SaveRasterBmp(image, path.string()));
    return ReadAll(path);
  }

  std::unique_ptr<TDemModel> dem_ = testing::LoadSampleDem();
};

TEST_F(RoughnessCommands, LocalFractalWritesImageExtremesAndDiagram) {
  ASSERT_EQ(Run(OnSample({"local-fractal", "--h", "0.1", "--out", Path("lf.bmp"), "--histogram",
                          Path("lf.xls")})),
            0)
      << err;
  auto core = ComputeLocalFractal(*dem_, {12, 0.1, 1, 90});
  ASSERT_TRUE(core);
  EXPECT_NE(out.find("min="), std::string::npos);
  EXPECT_NE(out.find("max="), std::string::npos);
  EXPECT_EQ(ReadAll(Path("lf.bmp")), Expected(core->image));
  const std::string rows = ReadAll(Path("lf.xls"));
  const auto count = std::count(rows.begin(), rows.end(), '\n');
  EXPECT_EQ(count, core->diagramUpper - core->diagramStart + 1);  // through the maximum's class
  EXPECT_EQ(rows.rfind(std::to_string(core->diagramStart / 100) + ".", 0), 0u) << rows.substr(0, 20);
}

TEST_F(RoughnessCommands, LocalFractalRefusesZeroFactorAndOtherWindows) {
  EXPECT_EQ(Run(OnSample({"local-fractal", "--h", "0", "--out", Path("x.bmp")})), 2);
  EXPECT_NE(err.find("adaptive factor H"), std::string::npos) << err;
  EXPECT_FALSE(std::filesystem::exists(Path("x.bmp")));
  EXPECT_EQ(Run(OnSample({"local-fractal", "--h", "1", "--window", "16", "--out", Path("x.bmp")})), 2);
  EXPECT_NE(err.find("--window"), std::string::npos) << err;
}

TEST_F(RoughnessCommands, TotalDepthMatchesCoreAndRefusesRaw) {
  ASSERT_EQ(Run(OnSample({"total-depth", "--window", "11", "--palette", "gray", "--scale", "--smooth",
                          "--out", Path("td.bmp")})),
            0)
      << err;
  auto relief = ComputeTotalDepthRelief(*dem_, 11);
  ASSERT_TRUE(relief);
  EXPECT_EQ(out, "min=" + std::to_string(relief->minimum) + "\nmax=" + std::to_string(relief->maximum) + "\n");
  const TClassTable table = TotalDepthClassTable(kDepthGray, true, relief->minimum, relief->maximum);
  TRasterImage image = RenderTotalDepth(*relief, kDepthGray, table, true);
  EXPECT_EQ(ReadAll(Path("td.bmp")), Expected(image));

  EXPECT_EQ(Run(OnSample({"total-depth", "--window", "11", "--out", Path("td.raw")})), 2);
  EXPECT_TRUE(out.empty());
  EXPECT_FALSE(std::filesystem::exists(Path("td.raw")));
}

TEST_F(RoughnessCommands, Surface3DMatchesCoreAndChecksWindow) {
  ASSERT_EQ(Run(OnSample({"surface3d", "--window", "7", "--out", Path("s3.raw")})), 0) << err;
  auto core = ComputeSurface3D(*dem_, {7});
  ASSERT_TRUE(core);
  const std::string raw = ReadAll(Path("s3.raw"));
  ASSERT_EQ(raw.size(), static_cast<std::size_t>(dem_->lines) * dem_->columns);
  for (int l = 0; l < dem_->lines; ++l)
    ASSERT_EQ(0, std::memcmp(raw.data() + static_cast<std::size_t>(l) * dem_->columns,
                             core->image.Row(l), static_cast<std::size_t>(dem_->columns)));
  EXPECT_EQ(Run(OnSample({"surface3d", "--window", "0", "--out", Path("s3.raw")})), 2);
}

}  // namespace
}  // namespace orvane::cli
