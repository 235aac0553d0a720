#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/drainage/drainage_extraction.h"
#include "core/terrain/raster_file.h"
#include "support/cli_run.h"

namespace orvane::cli {
namespace {

class DrainageCommands : public CliTest {};

TEST_F(DrainageCommands, ExtractionWritesTheNetworkAndRefusesBadRanges) {
  ASSERT_EQ(Run(OnSample({"extract-drainage", "--upper", "4", "--colour", "green", "--out", Path("net.bmp")})),
            kExitOk)
      << err;
  EXPECT_NE(out.find("networkCells="), std::string::npos);
  auto bmp = LoadRasterFile(Path("net.bmp"));
  ASSERT_TRUE(bmp.has_value());
  EXPECT_EQ((*bmp)->kind, kRasterRgb);

  // The raw form holds the gray values: 255 background, 85 for a green network.
  ASSERT_EQ(Run(OnSample({"extract-drainage", "--upper", "4", "--colour", "green", "--out", Path("net.raw")})),
            kExitOk);
  auto raw = LoadRasterFile(Path("net.raw"));
  ASSERT_TRUE(raw.has_value());
  for (int y = 0; y < (*raw)->lines; ++y) {
    for (int x = 0; x < (*raw)->columns; ++x) {
      int g, c;
      (*raw)->GetValue(x, y, g);
      (*bmp)->GetValue(x, y, c);
      ASSERT_EQ(g, c);
      ASSERT_TRUE(g == 255 || g == 85);
    }
  }

  EXPECT_EQ(Run(OnSample({"extract-drainage", "--upper", "2", "--lower", "3", "--out", Path("x.bmp")})),
            kExitUsage);
  EXPECT_NE(err.find("The Upper Range is not greater than the Lower Range"), std::string::npos);
  EXPECT_EQ(Run(OnSample({"extract-drainage", "--upper", "5", "--lower", "0", "--out", Path("x.bmp")})),
            kExitUsage);
  EXPECT_NE(err.find("No Lower Range"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(Path("x.bmp")));
}

TEST_F(DrainageCommands, DensitiesFromAnExtractedNetwork) {
  ASSERT_EQ(Run(OnSample({"extract-drainage", "--upper", "4", "--out", Path("net.raw")})), kExitOk);
  ASSERT_EQ(Run(OnSample({"dissection", "--drainage", Path("net.raw"), "--tiling", "moving", "--measure", "length",
                          "--window", "15", "--palette", "gray255", "--histogram", Path("dd.xls"), "--out",
                          Path("dd.raw")})),
            kExitOk)
      << err;
  const auto maxAt = out.find("max=");
  ASSERT_NE(maxAt, std::string::npos);
  const double maximum = std::stod(out.substr(maxAt + 4));
  std::ifstream table(Path("dd.xls"), std::ios::binary);
  std::string row;
  int rows = 0;
  while (std::getline(table, row)) {
    ASSERT_EQ(row.back(), '\r');
    ++rows;
  }
  EXPECT_EQ(rows, static_cast<int>(10 * maximum) + 1);  // every window, the densest class too
  auto dd = LoadRasterFile(Path("dd.raw"));
  ASSERT_TRUE(dd.has_value());
  int corner;
  (*dd)->GetValue(0, 0, corner);
  EXPECT_EQ(corner, 255);  // the moving window's border is never written

  // A colour result cannot be written as raw.
  EXPECT_EQ(Run(OnSample({"dissection", "--drainage", Path("net.raw"), "--tiling", "grid", "--measure", "pixels",
                          "--window", "10", "--out", Path("c.raw")})),
            kExitUsage);

  ASSERT_EQ(Run(OnSample({"headwaters", "--drainage", Path("net.raw"), "--hws", "6", "--scale", "255", "--out",
                          Path("hw.raw")})),
            kExitOk)
      << err;
  EXPECT_NE(out.find("headwaters="), std::string::npos);
  EXPECT_EQ(Run(OnSample({"headwaters", "--drainage", Path("net.raw"), "--hws", "6", "--scale", "99", "--out",
                          Path("h2.raw")})),
            kExitUsage);

  // Incrusting the network into the headwaters image, then again: the same bytes.
  ASSERT_EQ(Run({"incrust", "--drainage", Path("net.raw"), "--param", Path("hw.raw"), "--out",
                 Path("i1.raw")}),
            kExitOk)
      << err;
  ASSERT_EQ(Run({"incrust", "--drainage", Path("net.raw"), "--param", Path("i1.raw"), "--out",
                 Path("i2.raw")}),
            kExitOk);
  const std::string once = ReadAll(Path("i1.raw"));
  EXPECT_EQ(once.size(), 344u * 403u);
  EXPECT_EQ(once, ReadAll(Path("i2.raw")));
  EXPECT_EQ(Run({"incrust", "--drainage", Path("net.raw"), "--param", Path("missing.raw"), "--out",
                 Path("i3.raw")}),
            kExitFailure);
}

TEST_F(DrainageCommands, HeadwatersRefuseANetworkLargerThanTheDem) {
  TRasterImage big(500, 400, kRasterGray);
  big.Fill(TColor{255, 255, 255});
  ASSERT_TRUE(SaveRasterRawFiles(big, Path("big.raw"), Path("big.txt"), 90).ok());
  EXPECT_EQ(Run(OnSample({"headwaters", "--drainage", Path("big.raw"), "--hws", "3", "--out", Path("hw.bmp")})),
            kExitFailure);
  EXPECT_NE(err.find("larger than the DEM"), std::string::npos);
}

}  // namespace
}  // namespace orvane::cli
