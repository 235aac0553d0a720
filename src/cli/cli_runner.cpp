// RunCli: builds the CLI11 application from the command table, parses, runs one command.
#include <algorithm>
#include <exception>
#include <map>
#include <new>
#include <sstream>

#include "core/common/grid_memory.h"
#include "cli/command.h"

namespace orvane::cli {

namespace {

// The command's status; an exception that escapes it is reported as a failure.
int RunCommand(Command& command, CommandContext& context) {
  std::ostream& err = context.err;
  try {
    return command.Run(context);
  } catch (const GridAllocationError& e) {
    err << "orvane-cli: " << e.what() << '\n';
    return kExitFailure;
  } catch (const std::bad_alloc&) {
    err << "orvane-cli: " << command.Name() << ": not enough memory\n";
    return kExitFailure;
  } catch (const std::exception& e) {
    err << "orvane-cli: " << command.Name() << ": " << e.what() << '\n';
    return kExitFailure;
  }
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           bool errIsTerminal) {
  const PhaseTimer::Clock::time_point started = PhaseTimer::Clock::now();
  CLI::App app{"ORVANE: morphometric analysis of Digital Elevation Models, without a window.",
               "orvane-cli"};
  app.set_version_flag("--version", std::string("orvane-cli ") + ORVANE_VERSION);
  bool progressFlag = false;
  bool quiet = false;
  bool timing = false;
  app.add_flag("--progress", progressFlag, "draw a progress bar on stderr even when it is not a terminal");
  app.add_flag("--quiet", quiet, "never draw a progress bar");
  bool json = false;
  app.add_flag("--json", json, "print the command's key=value results as one JSON object");
  app.add_flag("--timing", timing,
               "print the wall time spent reading, computing and writing on stderr");
  app.require_subcommand(1);
  app.footer("\nEvery command prints its options and examples with: orvane-cli COMMAND --help\n"
             "Exit status: 0 success, 1 input or output failure, 2 bad usage.");

  std::vector<std::unique_ptr<Command>> commands;
  for (CommandFactory factory : CommandTable()) commands.push_back(factory());
  // Only the command named on the line declares its options: declaring those of every
  // command took half the time of a short run. The global flags take no value, so the first
  // word that is no option is the command; without one (--help, --version) no command needs
  // its options, and with a word that names none every command declares them, for CLI11's
  // messages.
  const auto word = std::find_if(args.begin(), args.end(),
                                 [](const std::string& a) { return !a.empty() && a[0] != '-'; });
  const bool named = word != args.end() &&
                     std::any_of(commands.begin(), commands.end(),
                                 [&](const auto& command) { return command->Name() == *word; });
  std::map<const CLI::App*, Command*> bySubcommand;
  for (const auto& owned : commands) {
    Command& command = *owned;
    CLI::App* sub = app.add_subcommand(command.Name(), command.Summary());
    sub->fallthrough();  // --progress, --quiet, --json and --timing may follow the command
    if (word != args.end() && (!named || command.Name() == *word)) {
      command.AddOptions(*sub);
      sub->footer(command.Examples());
    }
    bySubcommand[sub] = &command;
  }

  // A first word that is no option must name a command.
  if (!args.empty() && !args.front().empty() && args.front()[0] != '-' &&
      bySubcommand.end() == std::find_if(bySubcommand.begin(), bySubcommand.end(), [&](const auto& entry) {
        return entry.second->Name() == args.front();
      })) {
    err << "orvane-cli: unknown command '" << args.front() << "' (see orvane-cli --help)\n";
    return kExitUsage;
  }

  std::vector<const char*> argv;
  argv.push_back("orvane-cli");
  for (const std::string& a : args) argv.push_back(a.c_str());
  try {
    app.parse(static_cast<int>(argv.size()), argv.data());
  } catch (const CLI::ParseError& e) {
    if (e.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success)) {
      app.exit(e, out, err);  // --help, COMMAND --help, --version
      return kExitOk;
    }
    if (dynamic_cast<const CLI::RequiredError*>(&e) && app.get_subcommands().empty())
      err << "orvane-cli: a command is required (see orvane-cli --help)\n";
    else
      err << "orvane-cli: " << e.what() << '\n';
    return kExitUsage;
  }

  const auto selected = app.get_subcommands();
  if (selected.empty()) {
    err << "orvane-cli: a command is required (see --help)\n";
    return kExitUsage;
  }
  Command* command = bySubcommand.at(selected.front());
  TerminalProgress bar(err);
  std::ostringstream captured;
  CommandContext context{json ? captured : out, err,
                         (!quiet && (progressFlag || errIsTerminal)) ? &bar : nullptr};
  context.timing.Start(started);
  int status = kExitFailure;
  {
    ActivePhaseTimer active(context.timing);
    status = RunCommand(*command, context);
    if (json && status == kExitOk) out << KeyValuesToJson(captured.str());
  }
  if (timing) err << context.timing.Summary() << '\n';
  return status;
}

}  // namespace orvane::cli
