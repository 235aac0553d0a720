// info: the size, elevation range, pixel sizes and unit of a DEM as the application opens it.
#include "cli/command.h"

namespace orvane::cli {

namespace {

class InfoCommand : public Command {
 public:
  std::string Name() const override { return "info"; }
  std::string Summary() const override {
    return "Size, elevation range, pixel sizes and unit of a DEM";
  }
  void AddOptions(CLI::App& app) override { dem_.Add(app); }
  int Run(CommandContext& context) override {
    auto dem = LoadDem(dem_, context);
    if (!dem) return Report(context, dem.error());
    const TDemModel& model = *dem->model;
    PrintValue(context.out, "lines", model.lines);
    PrintValue(context.out, "columns", model.columns);
    PrintValue(context.out, "min", model.minElevation);
    PrintValue(context.out, "max", model.maxElevation);
    // Reported as a map reader names them: X across (a column step, the cell's width),
    // Y down (a line step, its height). The model names them the other way round.
    PrintValue(context.out, "pixelSizeX", model.pixelSizeY);
    PrintValue(context.out, "pixelSizeY", model.pixelSizeX);
    PrintValue(context.out, "unit", dem->unitName);
    // Which unit a real-valued raster was read in when --unit was not given, and why.
    if (dem->unitChosen) PrintValue(context.out, "unitChosen", dem->unitName);
    PrintValue(context.out, "nodata", static_cast<std::int64_t>(model.NoDataCount()));
    return kExitOk;
  }

 private:
  DemOptions dem_;
};

}  // namespace

std::unique_ptr<Command> MakeInfoCommand() { return std::make_unique<InfoCommand>(); }

}  // namespace orvane::cli
