// global-fractal: one fractal dimension for the whole DEM and the correlation of its fit.
#include "cli/command.h"
#include "core/surface/global_fractal.h"

namespace orvane::cli {

namespace {

class GlobalFractalCommand : public Command {
 public:
  std::string Name() const override { return "global-fractal"; }
  std::string Summary() const override { return "Global fractal dimension D and correlation r"; }
  void AddOptions(CLI::App& app) override { dem_.Add(app); }
  int Run(CommandContext& context) override {
    auto dem = LoadDem(dem_, context);
    if (!dem) return Report(context, dem.error());
    auto result = ComputeGlobalFractal(*dem->model);
    if (!result) return Report(context, Error{kWrongFormat, result.error().message});
    PrintValue(context.out, "D", result->dimension);
    PrintValue(context.out, "r", result->correlation);
    return kExitOk;
  }

 private:
  DemOptions dem_;
};

}  // namespace

std::unique_ptr<Command> MakeGlobalFractalCommand() { return std::make_unique<GlobalFractalCommand>(); }

}  // namespace orvane::cli
