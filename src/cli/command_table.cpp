// The table of orvane-cli commands.
//
// To add a command:
//   1. write src/cli/commands/<name>_command.cpp with a class deriving from Command
//      (cli/command.h) and a factory
//          namespace orvane::cli {
//          std::unique_ptr<Command> MakeSlopeCommand() { return std::make_unique<SlopeCommand>(); }
//          }
//      Use the shared helpers: DemOptions/LoadDem for the DEM, AddRasterInputOption/
//      LoadRasterInput for --drainage/--param, AddOutputOption/WriteRasterOutput for --out,
//      AddHistogramOption/WriteTextOutput for --histogram, PrintValue for key=value lines,
//      Report for every failure (status 2 for kBadParameter, else 1);
//   2. add one line ORVANE_CLI_COMMAND(MakeSlopeCommand) below (the order is that of --help);
//   3. re-run cmake so the new file is compiled.
#include "cli/command.h"

namespace orvane::cli {

namespace {

std::vector<CommandFactory>& MutableTable() {
  static std::vector<CommandFactory> table;
  return table;
}

bool Register(CommandFactory factory) {
  MutableTable().push_back(factory);
  return true;
}

}  // namespace

const std::vector<CommandFactory>& CommandTable() { return MutableTable(); }

// Declares the factory and registers it; static initialisation keeps the order of the lines.
#define ORVANE_CLI_COMMAND(factory)   \
  std::unique_ptr<Command> factory(); \
  [[maybe_unused]] static const bool registered_##factory = Register(factory);

ORVANE_CLI_COMMAND(MakeInfoCommand)
ORVANE_CLI_COMMAND(MakeSlopeCommand)
ORVANE_CLI_COMMAND(MakeAspectCommand)
ORVANE_CLI_COMMAND(MakeShadeCommand)
ORVANE_CLI_COMMAND(MakeSlicesCommand)
ORVANE_CLI_COMMAND(MakeConvexityCommand)
ORVANE_CLI_COMMAND(MakeConcavityCommand)
ORVANE_CLI_COMMAND(MakeHorizontalCommand)
ORVANE_CLI_COMMAND(MakeContourDensityCommand)
ORVANE_CLI_COMMAND(MakeContoursCommand)
ORVANE_CLI_COMMAND(MakeGlobalFractalCommand)
ORVANE_CLI_COMMAND(MakeCircularCommand)
ORVANE_CLI_COMMAND(MakeExtractDrainageCommand)
ORVANE_CLI_COMMAND(MakeDissectionCommand)
ORVANE_CLI_COMMAND(MakeDissection3DCommand)
ORVANE_CLI_COMMAND(MakeHeadwatersCommand)
ORVANE_CLI_COMMAND(MakeDrainageFractalCommand)
ORVANE_CLI_COMMAND(MakeRatioDepthCommand)
ORVANE_CLI_COMMAND(MakeIncrustCommand)
ORVANE_CLI_COMMAND(MakeGrayHistogramCommand)
ORVANE_CLI_COMMAND(MakePaletteCommand)
ORVANE_CLI_COMMAND(MakeRender3dCommand)
ORVANE_CLI_COMMAND(MakeLocalFractalCommand)
ORVANE_CLI_COMMAND(MakeTotalDepthCommand)
ORVANE_CLI_COMMAND(MakeSurface3DCommand)
ORVANE_CLI_COMMAND(MakeExportIlwisCommand)
ORVANE_CLI_COMMAND(MakeImportIlwisCommand)
ORVANE_CLI_COMMAND(MakeImportGdalCommand)
ORVANE_CLI_COMMAND(MakeExportGeoTiffCommand)

#undef ORVANE_CLI_COMMAND

}  // namespace orvane::cli
