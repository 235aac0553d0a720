#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/surface/circular_window.h"
#include "core/surface/contour_lines.h"
#include "core/surface/convexity.h"
#include "support/cli_run.h"

namespace orvane::cli {
namespace {

std::vector<std::uint8_t> Pixels(const TRasterImage& image) {
  std::vector<std::uint8_t> bytes;
  for (int l = 0; l < image.lines; ++l) bytes.insert(bytes.end(), image.Row(l), image.Row(l) + image.columns);
  return bytes;
}

class SurfaceCommands : public CliTest {};

TEST_F(SurfaceCommands, RawOutputsHoldTheCoreResults) {
  auto dem = testing::LoadSampleDem();
  ASSERT_TRUE(dem);
  ASSERT_EQ(Run(OnSample({"convexity", "--range", "3", "--dynamism", "255", "--out", Path("convex.raw")})), 0);
  EXPECT_EQ(ReadBytes(Path("convex.raw")), Pixels(*ComputeConvexity(*dem, {3, 255})->image));

  ASSERT_EQ(Run(OnSample({"circular", "--stat", "3", "--radius", "6", "--out", Path("sd.raw")})), 0);
  EXPECT_EQ(ReadBytes(Path("sd.raw")), Pixels(*ComputeCircularWindow(*dem, {6, 3})->image));

  ASSERT_EQ(Run(OnSample({"contours", "--first", "300", "--last", "1000", "--interval", "100", "--out",
                          Path("lines.raw")})),
            0);
  EXPECT_EQ(ReadBytes(Path("lines.raw")), Pixels(*ComputeContourLines(*dem, {300, 1000, 100, 1})->image));

  for (std::string command : {"concavity", "horizontal"})
    EXPECT_EQ(Run(OnSample({command, "--range", "2", "--out", Path(command + ".bmp")})), 0);
  EXPECT_EQ(Run(OnSample({"horizontal", "--range", "2", "--binarize", "--out", Path("flat.bmp")})), 0);
  for (std::string tiling : {"grid", "moving"})
    EXPECT_EQ(Run(OnSample({"contour-density", "--window", "21", "--interval", "20", "--tiling", tiling, "--out",
                            Path(tiling + ".bmp")})),
              0);
}

TEST_F(SurfaceCommands, GlobalFractalPrintsBothNumbers) {
  ASSERT_EQ(Run(OnSample({"global-fractal"})), 0) << err;
  EXPECT_EQ(out.rfind("D=", 0), 0u);
  EXPECT_NE(out.find("\nr="), std::string::npos);
}

TEST_F(SurfaceCommands, RefusedParametersGiveTheDialogMessagesAndStatusTwo) {
  EXPECT_EQ(Run(OnSample({"contour-density", "--window", "0", "--interval", "10", "--out", Path("d.bmp")})), 2);
  EXPECT_NE(err.find("Window range not specified"), std::string::npos);
  EXPECT_EQ(Run(OnSample({"contour-density", "--window", "5", "--interval", "0", "--out", Path("d.bmp")})), 2);
  EXPECT_NE(err.find("Hypsometric interval not specified"), std::string::npos);
  EXPECT_EQ(Run(OnSample({"contours", "--first", "100", "--last", "300", "--interval", "0", "--out",
                          Path("c.bmp")})),
            2);
  EXPECT_EQ(Run(OnSample({"circular", "--stat", "0", "--radius", "3", "--out", Path("c.bmp")})), 2);
  EXPECT_EQ(Run(OnSample({"convexity", "--range", "2", "--dynamism", "50", "--out", Path("c.bmp")})), 2);
  EXPECT_FALSE(std::filesystem::exists(Path("c.bmp")));
}

}  // namespace
}  // namespace orvane::cli
