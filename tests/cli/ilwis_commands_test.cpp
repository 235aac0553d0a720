#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "support/cli_run.h"

namespace orvane::cli {
namespace {

TEST(IlwisCommands, ExportThenImportGivesBackTheSampleDem) {
  TempDir dir;
  CliRun run = Cli(OnSample({"export-ilwis", "--name", "jb", "--dir", dir.path(), "--xmin", "500000", "--xmax",
                             "536270"}));
  ASSERT_EQ(run.status, kExitOk) << run.err;
  EXPECT_EQ(run.out, "min=236\nmax=1076\n");
  EXPECT_EQ(std::filesystem::file_size(dir.File("jb.mp#")), 344u * 403u * 8u);
  EXPECT_NE(ReadAll(dir.File("jb.grf")).find("MinX=500000.000000\r\n"), std::string::npos);

  run = Cli({"import-ilwis", "--mpr", dir.File("jb.mpr"), "--type", "double", "--name", dir.File("back")});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  EXPECT_NE(run.out.find("elementSize=8\n"), std::string::npos);

  // The imported 32-bit grid holds the sample's 16-bit elevations unchanged.
  const std::string original = ReadAll(testing::SampleDemPath());
  const std::string imported = ReadAll(dir.File("back_m4.raw"));
  ASSERT_EQ(imported.size(), original.size() * 2);
  for (std::size_t i = 0; i < original.size() / 2; ++i) {
    const unsigned v16 = static_cast<unsigned char>(original[2 * i]) |
                         static_cast<unsigned char>(original[2 * i + 1]) << 8;
    std::int32_t v32;
    std::memcpy(&v32, imported.data() + 4 * i, 4);
    ASSERT_EQ(static_cast<std::int32_t>(v16), v32) << i;
  }

  run = Cli({"info", "--dem", dir.File("back_m4.raw"), "--pixel", "90"});
  ASSERT_EQ(run.status, kExitOk);
  EXPECT_NE(run.out.find("min=236\nmax=1076\n"), std::string::npos);

  EXPECT_EQ(Cli({"import-ilwis", "--mpr", dir.File("jb.mpr"), "--type", "long", "--name", "x"}).status,
            kExitUsage);
  EXPECT_EQ(Cli({"import-ilwis", "--mpr", dir.File("none.mpr"), "--type", "int", "--name", "x"}).status,
            kExitFailure);
}

}  // namespace
}  // namespace orvane::cli
