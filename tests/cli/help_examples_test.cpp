// Every command's --help ends with examples that name the command itself (the manual page is
// made from these texts).
#include <gtest/gtest.h>

#include <sstream>

#include "cli/cli.h"
#include "cli/command.h"

namespace orvane::cli {
namespace {

TEST(HelpExamples, EveryCommandShowsExamplesOfItself) {
  for (CommandFactory factory : CommandTable()) {
    const std::string name = factory()->Name();
    std::ostringstream out, err;
    ASSERT_EQ(RunCli({name, "--help"}, out, err), kExitOk) << name;
    const std::string text = out.str();
    const std::size_t examples = text.find("\nExamples:\n");
    ASSERT_NE(examples, std::string::npos) << name;
    EXPECT_NE(text.find("  orvane-cli " + name + " ", examples), std::string::npos) << name;
  }
  EXPECT_EQ(CommandExamples("no-such-command"), "");
}

}  // namespace
}  // namespace orvane::cli
