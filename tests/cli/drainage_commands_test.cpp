#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/cli.h"
#include "core/drainage/drainage_extraction.h"
#include "core/terrain/raster_file.h"

namespace orvane::cli {
namespace {

namespace fs = std::filesystem;

class DrainageCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("orvane_drainage_cli_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
            "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  int Run(std::vector<std::string> args) {
    out_.str("");
    err_.str("");
    return RunCli(args, out_, err_);
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  std::vector<std::string> Dem() const {
    return {"--dem", std::string(ORVANE_SAMPLE_DIR) + "/jacksboro_m2.raw", "--pixel", "90"};
  }
  std::vector<std::string> With(std::vector<std::string> head, const std::vector<std::string>& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
  }

  fs::path dir_;
  std::ostringstream out_;
  std::ostringstream err_;
};

TEST_F(DrainageCommands, ExtractionWritesTheNetworkAndRefusesBadRanges) {
  ASSERT_EQ(Run(With({"extract-drainage"}, With(Dem(), {"--upper", "4", "--colour", "green",
                                                         "--out", Path("net.bmp")}))),
            kExitOk)
      << err_.str();
  EXPECT_NE(out_.str().find("networkCells="), std::string::npos);
  auto bmp = LoadRasterFile(Path("net.bmp"));
  ASSERT_TRUE(bmp.has_value());
  EXPECT_EQ((*bmp)->kind, kRasterRgb);

  // The raw form holds the gray values: 255 background, 85 for a green network.
  ASSERT_EQ(Run(With({"extract-drainage"}, With(Dem(), {"--upper", "4", "--colour", "green",
                                                         "--out", Path("net.raw")}))),
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

  EXPECT_EQ(Run(With({"extract-drainage"}, With(Dem(), {"--upper", "2", "--lower", "3", "--out",
                                                         Path("x.bmp")}))),
            kExitUsage);
  EXPECT_NE(err_.str().find("The Upper Range is not greater than the Lower Range"), std::string::npos);
  EXPECT_EQ(Run(With({"extract-drainage"}, With(Dem(), {"--upper", "5", "--lower", "0", "--out",
                                                         Path("x.bmp")}))),
            kExitUsage);
  EXPECT_NE(err_.str().find("No Lower Range"), std::string::npos);
  EXPECT_FALSE(fs::exists(Path("x.bmp")));
}

TEST_F(DrainageCommands, DensitiesFromAnExtractedNetwork) {
  ASSERT_EQ(Run(With({"extract-drainage"}, With(Dem(), {"--upper", "4", "--out", Path("net.raw")}))),
            kExitOk);
  ASSERT_EQ(Run(With({"dissection", "--drainage", Path("net.raw"), "--tiling", "moving", "--measure",
                      "length", "--window", "15", "--palette", "gray255", "--histogram",
                      Path("dd.xls"), "--out", Path("dd.raw")},
                     Dem())),
            kExitOk)
      << err_.str();
  const std::string printed = out_.str();
  const auto maxAt = printed.find("max=");
  ASSERT_NE(maxAt, std::string::npos);
  const double maximum = std::stod(printed.substr(maxAt + 4));
  std::ifstream table(Path("dd.xls"), std::ios::binary);
  std::string row;
  int rows = 0;
  while (std::getline(table, row)) {
    ASSERT_EQ(row.back(), '\r');
    ++rows;
  }
  EXPECT_EQ(rows, std::min(255, static_cast<int>(10 * maximum)));
  auto dd = LoadRasterFile(Path("dd.raw"));
  ASSERT_TRUE(dd.has_value());
  int corner;
  (*dd)->GetValue(0, 0, corner);
  EXPECT_EQ(corner, 255);  // the moving window's border is never written

  // A colour result cannot be written as raw.
  EXPECT_EQ(Run(With({"dissection", "--drainage", Path("net.raw"), "--tiling", "grid", "--measure",
                      "pixels", "--window", "10", "--out", Path("c.raw")},
                     Dem())),
            kExitUsage);

  ASSERT_EQ(Run(With({"headwaters", "--drainage", Path("net.raw"), "--hws", "6", "--scale", "255",
                      "--out", Path("hw.raw")},
                     Dem())),
            kExitOk)
      << err_.str();
  EXPECT_NE(out_.str().find("headwaters="), std::string::npos);
  EXPECT_EQ(Run(With({"headwaters", "--drainage", Path("net.raw"), "--hws", "6", "--scale", "99",
                      "--out", Path("h2.raw")},
                     Dem())),
            kExitUsage);

  // Incrusting the network into the headwaters image, then again: the same bytes.
  ASSERT_EQ(Run({"incrust", "--drainage", Path("net.raw"), "--param", Path("hw.raw"), "--out",
                 Path("i1.raw")}),
            kExitOk)
      << err_.str();
  ASSERT_EQ(Run({"incrust", "--drainage", Path("net.raw"), "--param", Path("i1.raw"), "--out",
                 Path("i2.raw")}),
            kExitOk);
  std::ifstream a(Path("i1.raw"), std::ios::binary), b(Path("i2.raw"), std::ios::binary);
  const std::string sa((std::istreambuf_iterator<char>(a)), {});
  const std::string sb((std::istreambuf_iterator<char>(b)), {});
  EXPECT_EQ(sa.size(), 344u * 403u);
  EXPECT_EQ(sa, sb);
  EXPECT_EQ(Run({"incrust", "--drainage", Path("net.raw"), "--param", Path("missing.raw"), "--out",
                 Path("i3.raw")}),
            kExitFailure);
}

TEST_F(DrainageCommands, HeadwatersRefuseANetworkLargerThanTheDem) {
  TRasterImage big(500, 400, kRasterGray);
  big.Fill(TColor{255, 255, 255});
  ASSERT_TRUE(SaveRasterRawFiles(big, Path("big.raw"), Path("big.txt"), 90).ok());
  EXPECT_EQ(Run(With({"headwaters", "--drainage", Path("big.raw"), "--hws", "3", "--out",
                      Path("hw.bmp")},
                     Dem())),
            kExitFailure);
  EXPECT_NE(err_.str().find("larger than the DEM"), std::string::npos);
}

}  // namespace
}  // namespace orvane::cli
