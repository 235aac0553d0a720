// The table of orvane-cli commands: "info", then every declared treatment in the order of
// AllTreatments() (core/treatment/treatment_registry.cpp), each a command built from its
// declaration, then the hand-written commands that are not treatments. A command that is not a
// treatment is a class deriving from Command (cli/commands/<name>_command.cpp) with a factory
// listed below with ORVANE_CLI_COMMAND.
#include "cli/command.h"

namespace orvane::cli {

#define ORVANE_CLI_COMMAND(factory) std::unique_ptr<Command> factory();
ORVANE_CLI_COMMAND(MakeExportIlwisCommand)
ORVANE_CLI_COMMAND(MakeImportIlwisCommand)
ORVANE_CLI_COMMAND(MakeImportGdalCommand)
ORVANE_CLI_COMMAND(MakeExportGeoTiffCommand)
ORVANE_CLI_COMMAND(MakeInfoCommand)
#undef ORVANE_CLI_COMMAND

const std::vector<CommandFactory>& CommandTable() {
  static const std::vector<CommandFactory> table = [] {
    std::vector<CommandFactory> entries{MakeInfoCommand};
    for (const TreatmentDescriptor* treatment : AllTreatments())
      entries.emplace_back([treatment] { return MakeTreatmentCommand(*treatment); });
    for (auto factory : {MakeExportIlwisCommand, MakeImportIlwisCommand, MakeImportGdalCommand,
                         MakeExportGeoTiffCommand})
      entries.emplace_back(factory);
    return entries;
  }();
  return table;
}

}  // namespace orvane::cli
