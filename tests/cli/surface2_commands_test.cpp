#include <gtest/gtest.h>

#include <filesystem>
#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

#include "../core/surface/surface2_dems.h"
#include "cli/cli.h"
#include "core/surface/local_fractal.h"
#include "core/surface/surface3d.h"
#include "core/surface/total_depth.h"
#include "core/terrain/bmp_file.h"

namespace orvane {
namespace {

namespace fs = std::filesystem;

struct CliRun {
  int status = 0;
  std::string out, err;
};

CliRun Cli(std::vector<std::string> args) {
  std::ostringstream out, err;
  CliRun run;
  run.status = cli::RunCli(args, out, err);
  run.out = out.str();
  run.err = err.str();
  return run;
}

std::string Bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class Surface2Commands : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("orvane_surface2_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
            "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
    dem_ = testing::SampleDem();
    ASSERT_NE(dem_, nullptr);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::vector<std::string> Args(const std::string& command) const {
    return {command, "--dem", std::string(ORVANE_SAMPLE_DIR) + "/jacksboro_m2.raw", "--pixel", "90"};
  }
  // The bitmap the application saves for `image`.
  std::string Expected(TRasterImage& image) {
    const fs::path path = dir_ / "expected.bmp";
    EXPECT_TRUE(SaveRasterBmp(image, path.string()));
    return Bytes(path);
  }

  fs::path dir_;
  std::unique_ptr<TDemModel> dem_;
};

TEST_F(Surface2Commands, LocalFractalWritesImageExtremesAndDiagram) {
  auto args = Args("local-fractal");
  const fs::path out = dir_ / "lf.bmp", table = dir_ / "lf.xls";
  args.insert(args.end(), {"--h", "0.1", "--out", out.string(), "--histogram", table.string()});
  const CliRun run = Cli(args);
  ASSERT_EQ(run.status, 0) << run.err;
  auto core = ComputeLocalFractal(*dem_, {12, 0.1, 1, 90});
  ASSERT_TRUE(core);
  EXPECT_NE(run.out.find("min="), std::string::npos);
  EXPECT_NE(run.out.find("max="), std::string::npos);
  EXPECT_EQ(Bytes(out), Expected(core->image));
  const std::string rows = Bytes(table);
  const auto count = std::count(rows.begin(), rows.end(), '\n');
  EXPECT_EQ(count, core->diagramUpper - core->diagramStart);  // as the diagram window saves
  EXPECT_EQ(rows.rfind(std::to_string(core->diagramStart / 100) + ".", 0), 0u) << rows.substr(0, 20);
}

TEST_F(Surface2Commands, LocalFractalRefusesZeroFactorAndOtherWindows) {
  auto args = Args("local-fractal");
  args.insert(args.end(), {"--h", "0", "--out", (dir_ / "x.bmp").string()});
  CliRun run = Cli(args);
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("adaptive factor H"), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(dir_ / "x.bmp"));
  args = Args("local-fractal");
  args.insert(args.end(), {"--h", "1", "--window", "16", "--out", (dir_ / "x.bmp").string()});
  run = Cli(args);
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("--window"), std::string::npos) << run.err;
}

TEST_F(Surface2Commands, TotalDepthMatchesCoreAndRefusesRaw) {
  auto args = Args("total-depth");
  const fs::path out = dir_ / "td.bmp";
  args.insert(args.end(), {"--window", "11", "--palette", "gray", "--scale", "--smooth", "--out",
                           out.string()});
  const CliRun run = Cli(args);
  ASSERT_EQ(run.status, 0) << run.err;
  auto relief = ComputeTotalDepthRelief(*dem_, 11);
  ASSERT_TRUE(relief);
  EXPECT_EQ(run.out, "min=" + std::to_string(relief->minimum) + "\nmax=" +
                         std::to_string(relief->maximum) + "\n");
  const TClassTable table = TotalDepthClassTable(kDepthGray, true, relief->minimum, relief->maximum);
  TRasterImage image = RenderTotalDepth(*relief, kDepthGray, table, true);
  EXPECT_EQ(Bytes(out), Expected(image));

  args = Args("total-depth");
  args.insert(args.end(), {"--window", "11", "--out", (dir_ / "td.raw").string()});
  const CliRun raw = Cli(args);
  EXPECT_EQ(raw.status, 2);
  EXPECT_TRUE(raw.out.empty());
  EXPECT_FALSE(fs::exists(dir_ / "td.raw"));
}

TEST_F(Surface2Commands, Surface3DMatchesCoreAndChecksWindow) {
  auto args = Args("surface3d");
  const fs::path out = dir_ / "s3.raw";
  args.insert(args.end(), {"--window", "7", "--out", out.string()});
  const CliRun run = Cli(args);
  ASSERT_EQ(run.status, 0) << run.err;
  auto core = ComputeSurface3D(*dem_, {7});
  ASSERT_TRUE(core);
  const std::string raw = Bytes(out);
  ASSERT_EQ(raw.size(), static_cast<std::size_t>(dem_->lines) * dem_->columns);
  for (int l = 0; l < dem_->lines; ++l)
    ASSERT_EQ(0, std::memcmp(raw.data() + static_cast<std::size_t>(l) * dem_->columns,
                             core->image.Row(l), static_cast<std::size_t>(dem_->columns)));
  args = Args("surface3d");
  args.insert(args.end(), {"--window", "0", "--out", out.string()});
  EXPECT_EQ(Cli(args).status, 2);
}

}  // namespace
}  // namespace orvane
