// orvane-cli run in-process for the command-line tests: its status and what it printed, the
// sample DEM's options, and a fixture with a scratch directory.
#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "support/files.h"
#include "support/sample_dem.h"

namespace orvane::cli {

struct CliRun {
  int status = -1;
  std::string out, err;
};

// `terminal` stands for a standard error that is a terminal.
inline CliRun Cli(const std::vector<std::string>& args, bool terminal = false) {
  std::ostringstream out, err;
  const int status = RunCli(args, out, err, terminal);
  return {status, out.str(), err.str()};
}

// A command and its options, run on the sample DEM (90 m pixels, metres).
inline std::vector<std::string> OnSample(std::vector<std::string> args) {
  args.insert(args.begin() + 1, {"--dem", testing::SampleDemPath(), "--pixel", "90"});
  return args;
}

// Commands writing into a scratch directory that goes with the test; the last run's output
// stays in `out` and `err`.
class CliTest : public ::testing::Test {
 protected:
  int Run(const std::vector<std::string>& args) {
    CliRun run = Cli(args);
    out = std::move(run.out);
    err = std::move(run.err);
    return run.status;
  }
  std::string Path(const std::string& name) const { return scratch.File(name); }

  TempDir scratch;
  std::string out, err;
};

}  // namespace orvane::cli
