// The table of orvane-cli commands: the declared treatments (core/treatment/treatment.h), each a
// command built from its declaration, and the hand-written commands that are not treatments.
//
// A treatment's command is built from its declaration; its id below places it in --help (a
// declared treatment missing here has no command, which the help examples test reports). A
// command that is not a treatment is a class deriving from Command
// (cli/commands/<name>_command.cpp) with a factory listed below with ORVANE_CLI_COMMAND.
#include "cli/command.h"

namespace orvane::cli {

#define ORVANE_CLI_COMMAND(factory) std::unique_ptr<Command> factory();
ORVANE_CLI_COMMAND(MakeExportIlwisCommand)
ORVANE_CLI_COMMAND(MakeImportIlwisCommand)
ORVANE_CLI_COMMAND(MakeImportGdalCommand)
ORVANE_CLI_COMMAND(MakeExportGeoTiffCommand)
ORVANE_CLI_COMMAND(MakeInfoCommand)
#undef ORVANE_CLI_COMMAND

namespace {

// Commands in the order of --help: a treatment's id, or a hand-written command's factory for
// the commands not declared as treatments (yet).
struct TableEntry {
  const char* treatment;
  std::unique_ptr<Command> (*factory)();
};

const TableEntry kEntries[] = {
    {nullptr, MakeInfoCommand},
    {"slope", nullptr},
    {"aspect", nullptr},
    {"shade", nullptr},
    {"slices", nullptr},
    {"convexity", nullptr},
    {"concavity", nullptr},
    {"horizontal", nullptr},
    {"contour-density", nullptr},
    {"contours", nullptr},
    {"global-fractal", nullptr},
    {"circular", nullptr},
    {"extract-drainage", nullptr},
    {"dissection", nullptr},
    {"dissection3d", nullptr},
    {"headwaters", nullptr},
    {"drainage-fractal", nullptr},
    {"ratio-depth", nullptr},
    {"incrust", nullptr},
    {"gray-histogram", nullptr},
    {"palette", nullptr},
    {"render3d", nullptr},
    {"local-fractal", nullptr},
    {"total-depth", nullptr},
    {"surface3d", nullptr},
    {nullptr, MakeExportIlwisCommand},
    {nullptr, MakeImportIlwisCommand},
    {nullptr, MakeImportGdalCommand},
    {nullptr, MakeExportGeoTiffCommand},
};

}  // namespace

const std::vector<CommandFactory>& CommandTable() {
  static const std::vector<CommandFactory> table = [] {
    std::vector<CommandFactory> entries;
    for (const TableEntry& entry : kEntries) {
      if (entry.factory) {
        entries.emplace_back(entry.factory);
      } else if (const TreatmentDescriptor* treatment = FindTreatment(entry.treatment)) {
        entries.emplace_back([treatment] { return MakeTreatmentCommand(*treatment); });
      }
    }
    return entries;
  }();
  return table;
}

}  // namespace orvane::cli
