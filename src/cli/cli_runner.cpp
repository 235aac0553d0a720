// RunCli: builds the CLI11 application from the command table, parses, runs one command.
#include <algorithm>
#include <exception>
#include <map>
#include <new>
#include <sstream>

#include "core/common/grid_memory.h"
#include "cli/command.h"

namespace orvane::cli {


int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           bool errIsTerminal) {
  CLI::App app{"ORVANE: morphometric analysis of Digital Elevation Models, without a window.",
               "orvane-cli"};
  app.set_version_flag("--version", std::string("orvane-cli ") + ORVANE_VERSION);
  bool progressFlag = false;
  bool quiet = false;
  app.add_flag("--progress", progressFlag, "draw a progress bar on stderr even when it is not a terminal");
  app.add_flag("--quiet", quiet, "never draw a progress bar");
  bool json = false;
  app.add_flag("--json", json, "print the command's key=value results as one JSON object");
  app.require_subcommand(1);
  app.footer("\nEvery command prints its options and examples with: orvane-cli COMMAND --help\n"
             "Exit status: 0 success, 1 input or output failure, 2 bad usage.");

  std::vector<std::unique_ptr<Command>> commands;
  std::map<const CLI::App*, Command*> bySubcommand;
  for (CommandFactory factory : CommandTable()) {
    commands.push_back(factory());
    Command& command = *commands.back();
    CLI::App* sub = app.add_subcommand(command.Name(), command.Summary());
    sub->fallthrough();  // --progress and --quiet may follow the command
    command.AddOptions(*sub);
    sub->footer(command.Examples());
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
  try {
    const int status = command->Run(context);
    if (json && status == kExitOk) out << KeyValuesToJson(captured.str());
    return status;
  } catch (const GridAllocationError& e) {
    err << "orvane-cli: " << e.what() << '\n';
    return kExitFailure;
  } catch (const std::bad_alloc&) {
    err << "orvane-cli: " << command->Name() << ": not enough memory\n";
    return kExitFailure;
  } catch (const std::exception& e) {
    err << "orvane-cli: " << command->Name() << ": " << e.what() << '\n';
    return kExitFailure;
  }
}

}  // namespace orvane::cli
