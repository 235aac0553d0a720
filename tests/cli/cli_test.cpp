// orvane-cli run in-process: exit statuses, messages, the info command, the output writer.
#include "cli/cli.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "cli/command.h"
#include "core/common/grid_memory.h"
#include "core/terrain/raster_file.h"
#include "support/cli_run.h"

namespace orvane::cli {
namespace {

const std::string kSample = testing::SampleDemPath();

TEST(Cli, InfoOnTheSampleDem) {
  const CliRun run = Cli(OnSample({"info"}));
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out,
            "lines=344\ncolumns=403\nmin=236\nmax=1076\npixelSizeX=90\npixelSizeY=90\nunit=m\n"
            "nodata=0\n");
  EXPECT_EQ(run.err, "");
}

TEST(Cli, UnitAndDecimalPixelScaleThePixelSizes) {
  const CliRun run = Cli({"info", "--dem", kSample, "--pixel", "30.5", "--unit", "dm"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("pixelSizeX=305\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("unit=dm\n"), std::string::npos);
}

TEST(Cli, UsageErrorsGiveTwoAndNameTheOption) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"info", "--dem", kSample}, "--pixel"},
      {{"info", "--dem", kSample, "--pixel", "-3"}, "--pixel"},
      {{"info", "--dem", kSample, "--pixel", "90", "--bytes", "3"}, "--bytes"},
      {{"info", "--dem", kSample, "--pixel", "90", "--unit", "km"}, "--unit"},
      {{"info", "--dem", kSample, "--pixel", "90", "--frobnicate"}, "--frobnicate"},
      {{"nosuchcommand"}, "nosuchcommand"},
      {{}, "required"},
  };
  for (const auto& [args, mention] : cases) {
    const CliRun run = Cli(args);
    EXPECT_EQ(run.status, 2) << mention;
    EXPECT_EQ(run.err.rfind("orvane-cli: ", 0), 0u) << run.err;
    EXPECT_NE(run.err.find(mention), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
  }
}

TEST(Cli, BytesAreRequiredForNamesWithoutTheSuffix) {
  TempDir dir;
  WriteAll(dir.File("plain.raw"), std::string(8, '\0'));
  WriteAll(dir.File("plain.txt"), "2 2");
  const CliRun missing = Cli({"info", "--dem", dir.File("plain.raw"), "--pixel", "1"});
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.err.find("--bytes"), std::string::npos);
  const CliRun given = Cli({"info", "--dem", dir.File("plain.raw"), "--pixel", "1", "--bytes", "2"});
  EXPECT_EQ(given.status, 0) << given.err;
  EXPECT_NE(given.out.find("lines=2\ncolumns=2\n"), std::string::npos);
}

TEST(Cli, AGridThatCannotBeAllocatedGivesOneAndNamesItsSize) {
  ScopedGridByteCeiling ceiling(1000);  // stands for a full memory
  const CliRun run = Cli(OnSample({"info"}));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "orvane-cli: not enough memory for a grid of 344 x 403\n");
  EXPECT_EQ(run.out, "");
}

TEST(Cli, InputFailuresGiveOneAndNameTheFile) {
  TempDir dir;
  const CliRun absent = Cli({"info", "--dem", dir.File("gone_m2.raw"), "--pixel", "90"});
  EXPECT_EQ(absent.status, 1);
  EXPECT_NE(absent.err.find("gone_m2.txt"), std::string::npos) << absent.err;

  WriteAll(dir.File("short_m2.raw"), std::string(10, '\0'));
  WriteAll(dir.File("short_m2.txt"), "3 5");
  const CliRun shortFile = Cli({"info", "--dem", dir.File("short_m2.raw"), "--pixel", "90"});
  EXPECT_EQ(shortFile.status, 1);
  EXPECT_NE(shortFile.err.find("short_m2.raw"), std::string::npos) << shortFile.err;

  WriteAll(dir.File("garbled_m2.txt"), "lines columns");
  WriteAll(dir.File("garbled_m2.raw"), std::string(10, '\0'));
  const CliRun garbled = Cli({"info", "--dem", dir.File("garbled_m2.raw"), "--pixel", "90"});
  EXPECT_EQ(garbled.status, 1);
  EXPECT_NE(garbled.err.find("garbled_m2.txt"), std::string::npos) << garbled.err;

  const CliRun settings = Cli(OnSample({"info", "--settings", dir.File("none.ini")}));
  EXPECT_EQ(settings.status, 1);
  EXPECT_NE(settings.err.find("none.ini"), std::string::npos);
}

TEST(Cli, GivenSizeReplacesAMissingHeader) {
  TempDir dir;
  WriteAll(dir.File("g_m2.raw"), std::string("\x01\x00\x02\x00\x03\x00\x04\x00\x05\x00\x06\x00", 12));
  const CliRun run = Cli({"info", "--dem", dir.File("g_m2.raw"), "--pixel", "1", "--lines", "2", "--columns", "3"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("lines=2\ncolumns=3\nmin=1\nmax=6\n"), std::string::npos) << run.out;
}

TEST(Cli, HelpAndVersion) {
  const CliRun help = Cli({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("info"), std::string::npos);
  const CliRun commandHelp = Cli({"info", "--help"});
  EXPECT_EQ(commandHelp.status, 0);
  EXPECT_NE(commandHelp.out.find("--pixel"), std::string::npos);
  const CliRun version = Cli({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_NE(version.out.find("orvane-cli 1.0"), std::string::npos);
}

TEST(Cli, ProgressBarOnlyWhenAskedOrOnATerminal) {
  // info itself reports no progress; the flags must still parse everywhere.
  EXPECT_EQ(Cli(OnSample({"info", "--progress"})).status, 0);
  EXPECT_EQ(Cli({"--quiet", "info", "--dem", kSample, "--pixel", "90"}, true).status, 0);
}

class OutputWriter : public ::testing::Test {
 protected:
  TempDir dir;
  std::ostringstream out, err;
  CommandContext context{out, err, nullptr};
};

TEST_F(OutputWriter, ChoosesTheFormatByExtension) {
  TRasterImage gray(3, 2, kRasterGray);
  gray.SetValue(1, 1, 9);
  ASSERT_TRUE(WriteRasterOutput(gray, dir.File("g.raw"), 90));
  EXPECT_EQ(ReadAll(dir.File("g.txt")), "2\r\n3\r\n1\r\n0\r\n255\r\n90\r\n");
  EXPECT_EQ(ReadBytes(dir.File("g.raw")), (std::vector<std::uint8_t>{0, 0, 0, 0, 9, 0}));
  ASSERT_TRUE(WriteRasterOutput(gray, dir.File("g.bmp"), 90));
  EXPECT_EQ(ReadBytes(dir.File("g.bmp")).size(), 1078u + 8u);

  const Status other = WriteRasterOutput(gray, dir.File("g.png"), 90);
  EXPECT_EQ(other.code(), kBadParameter);
  EXPECT_EQ(Report(context, other), 2);
}

TEST_F(OutputWriter, ColourResultCannotBeRaw) {
  TRasterImage colour(2, 2, kRasterRgb);
  const Status refused = WriteRasterOutput(colour, dir.File("c.raw"), 90);
  EXPECT_EQ(Report(context, refused), 2);
  EXPECT_NE(err.str().find("orvane-cli: --out"), std::string::npos) << err.str();
  EXPECT_EQ(FileCount(dir.path()), 0);
  // A drainage network is colour-typed but saved as its gray values.
  EXPECT_TRUE(WriteRasterOutput(colour, dir.File("net.raw"), 90, false));
  EXPECT_TRUE(WriteRasterOutput(colour, dir.File("c.bmp"), 90));
}

TEST_F(OutputWriter, WriteFailureGivesOneAndKeepsTheTarget) {
  TRasterImage gray(2, 2, kRasterGray);
  const Status failed = WriteRasterOutput(gray, dir.File("missing/x.bmp"), 90);
  EXPECT_EQ(Report(context, failed), 1);
  EXPECT_NE(err.str().find("missing/x.bmp"), std::string::npos);
}

TEST_F(OutputWriter, RasterInputWarnsAboutShortFiles) {
  WriteBytes(dir.File("n.raw"), {255, 0});
  WriteAll(dir.File("n.txt"), "2 2\r\n");
  auto raster = LoadRasterInput(dir.File("n.raw"), context);
  ASSERT_TRUE(raster);
  EXPECT_NE(err.str().find("lacks 2 bytes"), std::string::npos) << err.str();
}

TEST(CliPrint, ShortestExactNumbers) {
  std::ostringstream out;
  PrintValue(out, "a", 90.0f);
  PrintValue(out, "b", 0.1f);
  PrintValue(out, "c", 2.5);
  PrintValue(out, "d", -3);
  PrintValue(out, "e", "m");
  EXPECT_EQ(out.str(), "a=90\nb=0.1\nc=2.5\nd=-3\ne=m\n");
}

TEST(CliProgress, BarRedrawsOnPercentChangesAndEndsTheLine) {
  std::ostringstream err;
  TerminalProgress bar(err);
  bar.Begin();
  bar.Step(0.5);
  bar.Step(0.501);  // same percentage: not redrawn
  bar.Begin();      // nested work keeps one bar
  bar.End();
  bar.End();
  const std::string text = err.str();
  EXPECT_NE(text.find(" 50%"), std::string::npos);
  EXPECT_EQ(text.find(" 50%"), text.rfind(" 50%"));
  ASSERT_GE(text.size(), 7u);
  EXPECT_EQ(text.substr(text.size() - 7), "] 100%\n");
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1);
}

TEST(CliDem, ThirtyTwoBitNamesAndPresentHeaders) {
  TempDir dir;
  // _m4.raw: signed 32-bit, the width taken from the name.
  const std::int32_t values[] = {-12, 40, 7, 1000};
  WriteAll(dir.File("neg_m4.raw"), std::string(reinterpret_cast<const char*>(values), sizeof values));
  WriteAll(dir.File("neg_m4.txt"), "2 2\r\n");
  const CliRun run = Cli({"info", "--dem", dir.File("neg_m4.raw"), "--pixel", "25"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("min=-12\nmax=1000\n"), std::string::npos) << run.out;
  // Only one of --lines and --columns: the header still gives the size.
  const CliRun partial = Cli({"info", "--dem", dir.File("neg_m4.raw"), "--pixel", "25", "--lines", "1"});
  EXPECT_NE(partial.out.find("lines=2\ncolumns=2\n"), std::string::npos) << partial.out;
  // Both: they win over the header.
  const CliRun both = Cli({"info", "--dem", dir.File("neg_m4.raw"), "--pixel", "25", "--lines", "1", "--columns", "4"});
  EXPECT_NE(both.out.find("lines=1\ncolumns=4\n"), std::string::npos) << both.out;
}

}  // namespace
}  // namespace orvane::cli
