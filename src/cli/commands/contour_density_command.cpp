// contour-density: length of contour lines per square window (blocks or moving window).
#include "cli/command.h"
#include "core/surface/contour_density.h"

namespace orvane::cli {

namespace {

class ContourDensityCommand : public Command {
 public:
  std::string Name() const override { return "contour-density"; }
  std::string Summary() const override { return "Contour-line density image"; }
  void AddOptions(CLI::App& app) override {
    dem_.Add(app);
    app.add_option("--window", window_, "Window size S in pixels")->required()->check(CLI::Range(0, kMaxDemSide));
    app.add_option("--interval", interval_, "Hypsometric interval I in metres")
        ->required()
        ->check(CLI::Range(0, 1000000));
    app.add_option("--dynamism", dynamism_, "Gray level of the densest window")->check(CLI::IsMember({100, 255}));
    app.add_option("--tiling", tiling_, "grid: S x S blocks; moving: a window around every cell")
        ->check(CLI::IsMember({"grid", "moving"}));
    AddOutputOption(app, out_);
  }
  int Run(CommandContext& context) override {
    ContourDensityParams params;
    params.window = window_;
    params.interval = interval_;
    params.dynamism = dynamism_;
    params.tiling = tiling_ == "moving" ? DensityTiling::kMovingWindow : DensityTiling::kSquaredGrid;
    if (Status status = CheckContourDensityParams(params); !status) return Report(context, status);
    auto dem = LoadDem(dem_, context);
    if (!dem) return Report(context, dem.error());
    params.unitDivisor = dem->unitFactor;
    auto result = ComputeContourDensity(*dem->model, params, context.progress);
    if (!result) return Report(context, result.error());
    return Report(context, WriteRasterOutput(*result->image, out_, *dem));
  }

 private:
  DemOptions dem_;
  int window_ = 0;
  int interval_ = 0;
  int dynamism_ = 100;
  std::string tiling_ = "grid";
  std::string out_;
};

}  // namespace

std::unique_ptr<Command> MakeContourDensityCommand() { return std::make_unique<ContourDensityCommand>(); }

}  // namespace orvane::cli
