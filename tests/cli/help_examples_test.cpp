// Every command's --help ends with examples that name the command itself (the manual page is
// made from these texts), every declared treatment is a command, and every example runs.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sstream>

#include "cli/command.h"
#include "core/treatment/treatment.h"
#include "support/cli_run.h"

namespace orvane::cli {
namespace {

std::vector<std::string> Words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

TEST(HelpExamples, EveryCommandShowsExamplesOfItself) {
  for (const CommandFactory& factory : CommandTable()) {
    const std::string name = factory()->Name();
    const CliRun help = Cli({name, "--help"});
    ASSERT_EQ(help.status, kExitOk) << name;
    const std::string& text = help.out;
    const std::size_t examples = text.find("\nExamples:\n");
    ASSERT_NE(examples, std::string::npos) << name;
    EXPECT_NE(text.find("  orvane-cli " + name + " ", examples), std::string::npos) << name;
  }
  EXPECT_EQ(CommandExamples("no-such-command"), "");
}

TEST(HelpExamples, EveryDeclaredTreatmentIsACommandWhoseExamplesRun) {
  std::set<std::string> commands;
  for (const CommandFactory& factory : CommandTable()) commands.insert(factory()->Name());
  TempDir dir;
  std::filesystem::create_directory(dir.File("data"));
  for (const char* file : {"jacksboro_m2.raw", "jacksboro_m2.txt"})
    std::filesystem::copy_file(std::string(ORVANE_SAMPLE_DIR) + "/" + file, dir.File("data/") + file);
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  // In the order of --help, so the network and images later examples read exist by then.
  for (const TreatmentDescriptor* treatment : AllTreatments()) {
    EXPECT_TRUE(commands.count(treatment->id)) << treatment->id << " has no command";
    ASSERT_FALSE(treatment->examples.empty()) << treatment->id;
    std::istringstream lines(treatment->examples);
    for (std::string line; std::getline(lines, line);) {
      std::vector<std::string> args = Words(line);
      ASSERT_GE(args.size(), 2u);
      EXPECT_EQ(args[1], treatment->id) << line;
      args.erase(args.begin());
      args.push_back("--quiet");
      const CliRun run = Cli(args);
      EXPECT_EQ(run.status, kExitOk) << line << "\n" << run.err;
    }
  }
  std::filesystem::current_path(previous);
}

}  // namespace
}  // namespace orvane::cli
