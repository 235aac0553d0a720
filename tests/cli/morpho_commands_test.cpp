#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/cli.h"
#include "core/drainage/drainage_extraction.h"
#include "core/morphometry/dissection_density_3d.h"
#include "core/morphometry/drainage_fractal.h"
#include "core/morphometry/ratio_depth.h"
#include "core/terrain/raster_file.h"

namespace orvane::cli {
namespace {

namespace fs = std::filesystem;

// The sample DEM as the tests of the core read it (metres, pixel 90 m).
std::unique_ptr<TDemModel> SampleModel() {
  std::ifstream in(std::string(ORVANE_SAMPLE_DIR) + "/jacksboro_m2.raw", std::ios::binary);
  const int lines = 344, columns = 403;
  std::vector<std::uint16_t> raw(static_cast<std::size_t>(lines) * columns);
  in.read(reinterpret_cast<char*>(raw.data()), static_cast<std::streamsize>(raw.size() * 2));
  auto dem = std::make_unique<TDemModel>(columns, lines, kDemInt32);
  for (int l = 0; l < lines; ++l)
    for (int c = 0; c < columns; ++c) dem->Int32Row(l)[c] = raw[static_cast<std::size_t>(l) * columns + c];
  dem->pixelSizeX = dem->pixelSizeY = 90.0f;
  return dem;
}

class MorphoCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("orvane_morpho_cli_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    dem_ = SampleModel();
    ExtractionParams params;
    params.lowerRange = 1;
    params.upperRange = 4;
    network_ = std::move(ExtractDrainage(*dem_, params)->network);
    ASSERT_TRUE(SaveRasterBmp(*network_, Path("net.bmp")).ok());
  }
  void TearDown() override { fs::remove_all(dir_); }

  int Run(std::vector<std::string> args) {
    out_.str("");
    err_.str("");
    return RunCli(args, out_, err_);
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  static std::vector<std::string> With(std::vector<std::string> head,
                                       const std::vector<std::string>& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
  }
  std::vector<std::string> Dem() const {
    return {"--dem", std::string(ORVANE_SAMPLE_DIR) + "/jacksboro_m2.raw", "--pixel", "90",
            "--drainage", Path("net.bmp")};
  }
  static void ExpectSameGray(const TRasterImage& a, const TRasterImage& b) {
    ASSERT_EQ(a.columns, b.columns);
    ASSERT_EQ(a.lines, b.lines);
    for (int y = 0; y < a.lines; ++y)
      for (int x = 0; x < a.columns; ++x) {
        int u, v;
        a.GetValue(x, y, u);
        b.GetValue(x, y, v);
        ASSERT_EQ(u, v) << x << "," << y;
      }
  }

  fs::path dir_;
  std::ostringstream out_;
  std::ostringstream err_;
  std::unique_ptr<TDemModel> dem_;
  std::unique_ptr<TRasterImage> network_;
};

TEST_F(MorphoCommands, DrainageFractalWritesTheImageAndItsTable) {
  ASSERT_EQ(Run({"drainage-fractal", "--drainage", Path("net.bmp"), "--mode", "segments",
                 "--window", "24", "--scale", "255", "--out", Path("d.raw"), "--histogram",
                 Path("d.xls")}),
            kExitOk)
      << err_.str();
  auto expected = ComputeDrainageFractal(*network_, {FractalMode::kSegments, 24, 255});
  ASSERT_TRUE(expected);
  auto written = LoadRasterFile(Path("d.raw"));
  ASSERT_TRUE(written.has_value());
  ExpectSameGray(**written, expected->image);
  std::ifstream table(Path("d.xls"), std::ios::binary);
  std::stringstream text;
  text << table.rdbuf();
  EXPECT_EQ(text.str(), FractalDiagramTable(*expected));
  EXPECT_EQ(text.str().rfind("1.010000\t", 0), 0u);
  EXPECT_NE(out_.str().find("max="), std::string::npos);

  EXPECT_EQ(Run({"drainage-fractal", "--drainage", Path("net.bmp"), "--mode", "global",
                 "--window", "16", "--out", Path("x.bmp")}),
            kExitUsage);
  EXPECT_FALSE(fs::exists(Path("x.bmp")));
}

TEST_F(MorphoCommands, Dissection3DMatchesTheCoreAndReportsItsRange) {
  ASSERT_EQ(Run(With({"dissection3d"}, With(Dem(), {"--window", "11", "--palette", "gray255",
                                                     "--out", Path("dd.bmp"), "--histogram",
                                                     Path("dd.xls")}))),
            kExitOk)
      << err_.str();
  auto expected = ComputeDissection3D(*dem_, *network_, {11, 1, 90});
  ASSERT_TRUE(expected);
  auto written = LoadRasterFile(Path("dd.bmp"));
  ASSERT_TRUE(written.has_value());
  ExpectSameGray(**written, Dissection3DImage(*expected, 2, TClassTable(), false));
  EXPECT_NE(out_.str().find("min="), std::string::npos);
  EXPECT_TRUE(fs::exists(Path("dd.xls")));
  // Colour results cannot be raw; a pixel below one metre leaves no whole-metre pixel size.
  EXPECT_EQ(Run(With({"dissection3d"}, With(Dem(), {"--window", "11", "--out", Path("c.raw")}))),
            kExitUsage);
  auto tiny = Dem();
  tiny[3] = "0.5";
  EXPECT_EQ(Run(With({"dissection3d"}, With(tiny, {"--window", "11", "--out", Path("c.bmp")}))),
            kExitUsage);
  EXPECT_NE(err_.str().find("pixel size"), std::string::npos);
}

TEST_F(MorphoCommands, RatioDepthMatchesTheCoreAndRefusesAnEmptyNetwork) {
  ASSERT_EQ(Run(With({"ratio-depth"}, With(Dem(), {"--window", "9", "--out", Path("r.raw")}))),
            kExitOk)
      << err_.str();
  auto expected = ComputeRatioDepth(*dem_, *network_, {9, 255});
  ASSERT_TRUE(expected);
  auto written = LoadRasterFile(Path("r.raw"));
  ASSERT_TRUE(written.has_value());
  ExpectSameGray(**written, expected->image);

  TRasterImage white(dem_->columns, dem_->lines, kRasterGray);
  white.Fill(TColor{255, 255, 255});
  ASSERT_TRUE(SaveRasterBmp(white, Path("white.bmp")).ok());
  auto args = Dem();
  args[5] = Path("white.bmp");
  EXPECT_EQ(Run(With({"ratio-depth"}, With(args, {"--window", "9", "--out", Path("w.bmp")}))),
            kExitFailure);
  EXPECT_NE(err_.str().find("every pixel"), std::string::npos);
  EXPECT_FALSE(fs::exists(Path("w.bmp")));
}

}  // namespace
}  // namespace orvane::cli
