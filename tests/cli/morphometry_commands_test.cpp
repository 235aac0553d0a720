#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "core/drainage/drainage_extraction.h"
#include "core/morphometry/dissection_density_3d.h"
#include "core/morphometry/drainage_fractal.h"
#include "core/morphometry/ratio_depth.h"
#include "core/terrain/raster_file.h"
#include "support/cli_run.h"
#include "support/compare.h"

namespace orvane::cli {
namespace {

// The sample DEM and the network extracted from it, saved as net.bmp.
class MorphometryCommands : public CliTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dem_);
    ExtractionParams params;
    params.lowerRange = 1;
    params.upperRange = 4;
    network_ = std::move(ExtractDrainage(*dem_, params)->network);
    ASSERT_TRUE(SaveRasterBmp(*network_, Path("net.bmp")).ok());
  }
  // A command on the sample DEM and a network.
  std::vector<std::string> OnNetwork(std::vector<std::string> args, const std::string& network = "net.bmp") const {
    args = OnSample(std::move(args));
    args.insert(args.end(), {"--drainage", Path(network)});
    return args;
  }
  // The image written to `name`, read back.
  TRasterImage Written(const std::string& name) const {
    auto written = LoadRasterFile(Path(name));
    EXPECT_TRUE(written.has_value()) << name;
    return written ? std::move(**written) : TRasterImage();
  }

  std::unique_ptr<TDemModel> dem_ = testing::LoadSampleDem();
  std::unique_ptr<TRasterImage> network_;
};

TEST_F(MorphometryCommands, DrainageFractalWritesTheImageAndItsTable) {
  ASSERT_EQ(Run({"drainage-fractal", "--drainage", Path("net.bmp"), "--mode", "segments", "--window", "24",
                 "--scale", "255", "--out", Path("d.raw"), "--histogram", Path("d.xls")}),
            kExitOk)
      << err;
  auto expected = ComputeDrainageFractal(*network_, {FractalMode::kSegments, 24, 255});
  ASSERT_TRUE(expected);
  testing::ExpectSameImage(Written("d.raw"), expected->image);
  const std::string table = ReadAll(Path("d.xls"));
  EXPECT_EQ(table, FractalDiagramTable(*expected));
  EXPECT_EQ(table.rfind("1.010000\t", 0), 0u);
  // Rows 1.01 through the maximum's class: the densest dimensions are counted too.
  EXPECT_EQ(std::count(table.begin(), table.end(), '\n'), expected->upperBound - 100);
  EXPECT_NE(out.find("max="), std::string::npos);

  EXPECT_EQ(Run({"drainage-fractal", "--drainage", Path("net.bmp"), "--mode", "global", "--window", "16", "--out",
                 Path("x.bmp")}),
            kExitUsage);
  EXPECT_FALSE(std::filesystem::exists(Path("x.bmp")));
}

TEST_F(MorphometryCommands, Dissection3DMatchesTheCoreAndReportsItsRange) {
  ASSERT_EQ(Run(OnNetwork({"dissection3d", "--window", "11", "--palette", "gray255", "--out", Path("dd.bmp"),
                           "--histogram", Path("dd.xls")})),
            kExitOk)
      << err;
  auto expected = ComputeDissection3D(*dem_, *network_, {11, 1, 90});
  ASSERT_TRUE(expected);
  testing::ExpectSameImage(Written("dd.bmp"), Dissection3DImage(*expected, 2, TClassTable(), false));
  EXPECT_NE(out.find("min="), std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(Path("dd.xls")));
  // Colour results cannot be raw; a pixel below one metre leaves no whole-metre pixel size.
  EXPECT_EQ(Run(OnNetwork({"dissection3d", "--window", "11", "--out", Path("c.raw")})), kExitUsage);
  EXPECT_EQ(Run({"dissection3d", "--dem", testing::SampleDemPath(), "--pixel", "0.5", "--drainage", Path("net.bmp"),
                 "--window", "11", "--out", Path("c.bmp")}),
            kExitUsage);
  EXPECT_NE(err.find("pixel size"), std::string::npos);
}

TEST_F(MorphometryCommands, RatioDepthMatchesTheCoreAndRefusesAnEmptyNetwork) {
  ASSERT_EQ(Run(OnNetwork({"ratio-depth", "--window", "9", "--out", Path("r.raw")})), kExitOk) << err;
  auto expected = ComputeRatioDepth(*dem_, *network_, {9, 255});
  ASSERT_TRUE(expected);
  testing::ExpectSameImage(Written("r.raw"), expected->image);

  TRasterImage white(dem_->columns, dem_->lines, kRasterGray);
  white.Fill(TColor{255, 255, 255});
  ASSERT_TRUE(SaveRasterBmp(white, Path("white.bmp")).ok());
  EXPECT_EQ(Run(OnNetwork({"ratio-depth", "--window", "9", "--out", Path("w.bmp")}, "white.bmp")), kExitFailure);
  EXPECT_NE(err.find("every pixel"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(Path("w.bmp")));
}

}  // namespace
}  // namespace orvane::cli
