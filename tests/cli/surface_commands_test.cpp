#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "core/surface/circular_window.h"
#include "core/surface/contour_lines.h"
#include "core/surface/convexity.h"
#include "core/terrain/dem_model.h"

namespace orvane::cli {
namespace {

const std::string kSample = std::string(ORVANE_SAMPLE_DIR) + "/jacksboro_m2.raw";

struct CliRun {
  int status;
  std::string out;
  std::string err;
};

CliRun Cli(std::vector<std::string> args) {
  std::ostringstream out, err;
  const int status = RunCli(args, out, err);
  return {status, out.str(), err.str()};
}

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The sample as the core sees it once opened: stored metres, 90 m pixels.
std::unique_ptr<TDemModel> Sample() {
  const std::vector<std::uint8_t> bytes = ReadBytes(kSample);
  auto dem = std::make_unique<TDemModel>(403, 344, kDemInt32);
  for (int l = 0; l < 344; ++l)
    for (int c = 0; c < 403; ++c) {
      const std::size_t k = (static_cast<std::size_t>(l) * 403 + c) * 2;
      dem->Int32Row(l)[c] = bytes[k] | (bytes[k + 1] << 8);
    }
  dem->pixelSizeX = dem->pixelSizeY = 90.0f;
  dem->UpdateMinMax();
  return dem;
}

std::vector<std::uint8_t> Pixels(const TRasterImage& image) {
  std::vector<std::uint8_t> bytes;
  for (int l = 0; l < image.lines; ++l) bytes.insert(bytes.end(), image.Row(l), image.Row(l) + image.columns);
  return bytes;
}

class SurfaceCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("orvane_surface_cli_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string Out(const std::string& name) const { return (dir_ / name).string(); }
  std::filesystem::path dir_;
};

TEST_F(SurfaceCommands, RawOutputsHoldTheCoreResults) {
  auto dem = Sample();
  ASSERT_EQ(Cli({"convexity", "--dem", kSample, "--pixel", "90", "--range", "3", "--dynamism", "255",
                 "--out", Out("convex.raw")}).status, 0);
  EXPECT_EQ(ReadBytes(Out("convex.raw")), Pixels(*ComputeConvexity(*dem, {3, 255})->image));

  ASSERT_EQ(Cli({"circular", "--dem", kSample, "--pixel", "90", "--stat", "3", "--radius", "6", "--out",
                 Out("sd.raw")}).status, 0);
  EXPECT_EQ(ReadBytes(Out("sd.raw")), Pixels(*ComputeCircularWindow(*dem, {6, 3})->image));

  ASSERT_EQ(Cli({"contours", "--dem", kSample, "--pixel", "90", "--first", "300", "--last", "1000",
                 "--interval", "100", "--out", Out("lines.raw")}).status, 0);
  EXPECT_EQ(ReadBytes(Out("lines.raw")), Pixels(*ComputeContourLines(*dem, {300, 1000, 100, 1})->image));

  for (std::string command : {"concavity", "horizontal"})
    EXPECT_EQ(Cli({command, "--dem", kSample, "--pixel", "90", "--range", "2", "--out", Out(command + ".bmp")}).status, 0);
  EXPECT_EQ(Cli({"horizontal", "--dem", kSample, "--pixel", "90", "--range", "2", "--binarize", "--out",
                 Out("flat.bmp")}).status, 0);
  for (std::string tiling : {"grid", "moving"})
    EXPECT_EQ(Cli({"contour-density", "--dem", kSample, "--pixel", "90", "--window", "21", "--interval", "20",
                   "--tiling", tiling, "--out", Out(tiling + ".bmp")}).status, 0);
}

TEST_F(SurfaceCommands, GlobalFractalPrintsBothNumbers) {
  const CliRun run = Cli({"global-fractal", "--dem", kSample, "--pixel", "90"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out.rfind("D=", 0), 0u);
  EXPECT_NE(run.out.find("\nr="), std::string::npos);
}

TEST_F(SurfaceCommands, RefusedParametersGiveTheDialogMessagesAndStatusTwo) {
  const CliRun window = Cli({"contour-density", "--dem", kSample, "--pixel", "90", "--window", "0", "--interval", "10",
                          "--out", Out("d.bmp")});
  EXPECT_EQ(window.status, 2);
  EXPECT_NE(window.err.find("Window range not specified"), std::string::npos);
  const CliRun interval = Cli({"contour-density", "--dem", kSample, "--pixel", "90", "--window", "5", "--interval",
                            "0", "--out", Out("d.bmp")});
  EXPECT_NE(interval.err.find("Hypsometric interval not specified"), std::string::npos);
  EXPECT_EQ(Cli({"contours", "--dem", kSample, "--pixel", "90", "--first", "100", "--last", "300", "--interval",
                 "0", "--out", Out("c.bmp")}).status, 2);
  EXPECT_EQ(Cli({"circular", "--dem", kSample, "--pixel", "90", "--stat", "0", "--radius", "3", "--out",
                 Out("c.bmp")}).status, 2);
  EXPECT_EQ(Cli({"convexity", "--dem", kSample, "--pixel", "90", "--range", "2", "--dynamism", "50", "--out",
                 Out("c.bmp")}).status, 2);
  EXPECT_FALSE(std::filesystem::exists(Out("c.bmp")));
}

}  // namespace
}  // namespace orvane::cli
