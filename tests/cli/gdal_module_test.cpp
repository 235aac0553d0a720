// The installed program run as a separate process: a raw DEM never loads GDAL, a GeoTIFF does,
// and without the GDAL module a GeoTIFF is refused with the reason while raw DEMs still work.
// --timing's line.
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "support/cli_run.h"

namespace orvane::cli {
namespace {

const std::string kSample = testing::SampleDemPath();

struct ProcessRun {
  int status = -1;
  std::string output;  // stdout and stderr together
};

// Runs orvane-cli with `environment` ("NAME=value ...") and `arguments`, through the shell.
ProcessRun RunProgram(const std::string& environment, const std::string& arguments) {
  const std::string command =
      "env " + environment + " '" ORVANE_CLI_PROGRAM "' " + arguments + " 2>&1";
  ProcessRun run;
  std::FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    run.output.append(buffer, n);
  const int status = ::pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

bool LoadsGdal(const std::string& ldDebugOutput) {
  return ldDebugOutput.find("libgdal") != std::string::npos;
}

TEST(GdalModule, OnlyAGdalRasterLoadsGdal) {
  TempDir dir;
  const std::string tif = dir.File("sample.tif");
  const ProcessRun exported =
      RunProgram("LD_DEBUG=libs", "export-geotiff --dem '" + kSample + "' --pixel 90 --out '" + tif + "'");
  ASSERT_EQ(exported.status, 0) << exported.output;
  EXPECT_TRUE(LoadsGdal(exported.output));  // the check below can see GDAL

  const ProcessRun raw = RunProgram("LD_DEBUG=libs", "info --dem '" + kSample + "' --pixel 90");
  EXPECT_EQ(raw.status, 0) << raw.output;
  EXPECT_NE(raw.output.find("lines=344"), std::string::npos);
  EXPECT_FALSE(LoadsGdal(raw.output)) << raw.output;
}

TEST(GdalModule, WithoutItGeoTiffsAreRefusedAndRawDemsWork) {
  TempDir dir;
  const std::string missing = "ORVANE_GDAL_MODULE=" + dir.File("none/liborvane_gdal.so");
  const ProcessRun tif = RunProgram(missing, "info --dem '" + dir.File("site.tif") + "'");
  EXPECT_EQ(tif.status, 1);
  EXPECT_NE(tif.output.find("GeoTIFF and other GDAL rasters need the GDAL module"),
            std::string::npos) << tif.output;
  EXPECT_NE(tif.output.find("none/liborvane_gdal.so"), std::string::npos) << tif.output;

  const ProcessRun raw = RunProgram(missing, "slope --dem '" + kSample + "' --pixel 90 --out '" +
                                                 dir.File("slope.bmp") + "'");
  EXPECT_EQ(raw.status, 0) << raw.output;
  const ProcessRun tifOut = RunProgram(missing, "slope --dem '" + kSample + "' --pixel 90 --out '" +
                                                    dir.File("slope.tif") + "'");
  EXPECT_EQ(tifOut.status, 1);
  EXPECT_NE(tifOut.output.find("need the GDAL module"), std::string::npos) << tifOut.output;
}

TEST(Timing, PrintsTheThreePhasesAndTheirTotal) {
  TempDir dir;
  const CliRun run = Cli(OnSample({"slope", "--out", dir.File("s.bmp"), "--timing"}));
  ASSERT_EQ(run.status, 0);
  // Parsed by hand: std::regex trips GCC 12's uninitialised-use warning in sanitizer builds.
  const std::string& line = run.err;
  double read = -1, compute = -1, write = -1, total = -1;
  char end = 0;
  ASSERT_EQ(std::sscanf(line.c_str(), "timing: read %lf s, compute %lf s, write %lf s, total %lf s%c",
                        &read, &compute, &write, &total, &end),
            5)
      << line;
  EXPECT_EQ(end, '\n');
  EXPECT_GE(std::min({read, compute, write}), 0.0) << line;
  // Rounded to milliseconds, the phases add up to the total.
  EXPECT_NEAR(read + compute + write, total, 0.0021);
}

}  // namespace
}  // namespace orvane::cli
