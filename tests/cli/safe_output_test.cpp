// Outputs onto targets that cannot be written: status 1, a message naming the file and the
// reason, and the file already there untouched (no write bit counts as read-only even for root).
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "support/cli_run.h"

namespace orvane::cli {
namespace {

class SafeOutputCli : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string grid;
    for (int i = 0; i < 20 * 16; ++i) {
      const int v = 300 + (i % 20) * 3 + (i / 20) * 5;
      grid += static_cast<char>(v & 255);
      grid += static_cast<char>(v >> 8);
    }
    WriteAll(dir.File("site_m2.raw"), grid);
    WriteAll(dir.File("site_m2.txt"), "16\r\n20\r\n");
  }
  std::vector<std::string> Aspect(std::vector<std::string> outputs) const {
    std::vector<std::string> args = {"aspect", "--dem", dir.File("site_m2.raw"), "--pixel", "90"};
    args.insert(args.end(), outputs.begin(), outputs.end());
    return args;
  }
  // Fills `readOnly` with old bytes, marks it read-only and runs the command.
  void ExpectRefused(const std::vector<std::string>& args, const std::string& readOnly) {
    WriteAll(readOnly, "old bytes");
    ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);
    const CliRun run = Cli(args);
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_NE(run.err.find(readOnly), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("Permission denied"), std::string::npos) << run.err;
    EXPECT_EQ(ReadAll(readOnly), "old bytes");
  }
  TempDir dir;
};

TEST_F(SafeOutputCli, EveryOutputKindOntoAReadOnlyFileGivesOneAndKeepsTheFile) {
  ExpectRefused(Aspect({"--out", dir.File("a.bmp")}), dir.File("a.bmp"));
  ExpectRefused(Aspect({"--out", dir.File("a.tif")}), dir.File("a.tif"));
  ExpectRefused(Aspect({"--palette", "gray", "--out", dir.File("g.raw")}), dir.File("g.raw"));
  // The raw file's header read-only: the data beside it is not replaced either.
  WriteAll(dir.File("h.raw"), "old data");
  ExpectRefused(Aspect({"--palette", "gray", "--out", dir.File("h.raw")}), dir.File("h.txt"));
  EXPECT_EQ(ReadAll(dir.File("h.raw")), "old data");
  ExpectRefused(Aspect({"--out", dir.File("i.bmp"), "--histogram", dir.File("i.xls")}),
                dir.File("i.xls"));
}

TEST_F(SafeOutputCli, AnOutputInAReadOnlyDirectoryGivesOne) {
  const std::string locked = dir.File("locked");
  std::filesystem::create_directory(locked);
  WriteAll(locked + "/a.bmp", "old bytes");
  ASSERT_EQ(::chmod(locked.c_str(), 0555), 0);
  const CliRun run = Cli(Aspect({"--out", locked + "/a.bmp"}));
  ::chmod(locked.c_str(), 0755);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find(locked + "/a.bmp"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("Permission denied"), std::string::npos) << run.err;
  EXPECT_EQ(ReadAll(locked + "/a.bmp"), "old bytes");
  EXPECT_EQ(FileCount(locked), 1);
}

}  // namespace
}  // namespace orvane::cli
