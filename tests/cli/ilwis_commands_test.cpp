#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <cstring>
#include <sstream>

#include "cli/cli.h"

namespace orvane::cli {
namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(IlwisCommands, ExportThenImportGivesBackTheSampleDem) {
  const fs::path dir = fs::temp_directory_path() / "orvane_ilwis_cli";
  fs::remove_all(dir);
  fs::create_directories(dir);
  const std::string sample = std::string(ORVANE_SAMPLE_DIR) + "/jacksboro_m2.raw";
  std::ostringstream out, err;
  ASSERT_EQ(RunCli({"export-ilwis", "--dem", sample, "--pixel", "90", "--name", "jb", "--dir",
                    dir.string(), "--xmin", "500000", "--xmax", "536270"},
                   out, err),
            kExitOk)
      << err.str();
  EXPECT_EQ(out.str(), "min=236\nmax=1076\n");
  EXPECT_EQ(fs::file_size(dir / "jb.mp#"), 344u * 403u * 8u);
  EXPECT_NE(Slurp(dir / "jb.grf").find("MinX=500000.000000\r\n"), std::string::npos);

  out.str("");
  ASSERT_EQ(RunCli({"import-ilwis", "--mpr", (dir / "jb.mpr").string(), "--type", "double",
                    "--name", (dir / "back").string()},
                   out, err),
            kExitOk)
      << err.str();
  EXPECT_NE(out.str().find("elementSize=8\n"), std::string::npos);

  // The imported 32-bit grid holds the sample's 16-bit elevations unchanged.
  const std::string original = Slurp(sample);
  const std::string imported = Slurp(dir / "back_m4.raw");
  ASSERT_EQ(imported.size(), original.size() * 2);
  for (std::size_t i = 0; i < original.size() / 2; ++i) {
    const unsigned v16 = static_cast<unsigned char>(original[2 * i]) |
                         static_cast<unsigned char>(original[2 * i + 1]) << 8;
    std::int32_t v32;
    std::memcpy(&v32, imported.data() + 4 * i, 4);
    ASSERT_EQ(static_cast<std::int32_t>(v16), v32) << i;
  }

  out.str("");
  ASSERT_EQ(RunCli({"info", "--dem", (dir / "back_m4.raw").string(), "--pixel", "90"}, out, err),
            kExitOk);
  EXPECT_NE(out.str().find("min=236\nmax=1076\n"), std::string::npos);

  EXPECT_EQ(RunCli({"import-ilwis", "--mpr", (dir / "jb.mpr").string(), "--type", "long",
                    "--name", "x"},
                   out, err),
            kExitUsage);
  EXPECT_EQ(RunCli({"import-ilwis", "--mpr", (dir / "none.mpr").string(), "--type", "int",
                    "--name", "x"},
                   out, err),
            kExitFailure);
  fs::remove_all(dir);
}

}  // namespace
}  // namespace orvane::cli
