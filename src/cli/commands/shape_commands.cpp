// convexity and concavity: the share of neighbours lower (convexity) or higher (concavity) than
// each cell in the largest window of half-size R that fits. One command class serves both.
#include "cli/command.h"
#include "core/surface/convexity.h"

namespace orvane::cli {

namespace {

using ShapeTreatment = Expected<ShapeResult> (*)(const TDemModel&, const ShapeParams&,
                                                 ProgressSink*);

class ShapeCommand : public Command {
 public:
  ShapeCommand(std::string name, std::string summary, ShapeTreatment treatment)
      : name_(std::move(name)), summary_(std::move(summary)), treatment_(treatment) {}

  std::string Name() const override { return name_; }
  std::string Summary() const override { return summary_; }
  void AddOptions(CLI::App& app) override {
    dem_.Add(app);
    app.add_option("--range", range_, "Half-size R of the largest window (0 computes nothing)")
        ->required()
        ->check(CLI::Range(0, kMaxDemSide));
    app.add_option("--dynamism", dynamism_, "Gray level of a full share")->check(CLI::IsMember({100, 255}));
    AddOutputOption(app, out_);
  }
  int Run(CommandContext& context) override {
    auto dem = LoadDem(dem_, context);
    if (!dem) return Report(context, dem.error());
    auto result = treatment_(*dem->model, {range_, dynamism_}, context.progress);
    if (!result) return Report(context, result.error());
    return Report(context, WriteRasterOutput(*result->image, out_, *dem));
  }

 private:
  std::string name_;
  std::string summary_;
  ShapeTreatment treatment_;
  DemOptions dem_;
  int range_ = 0;
  int dynamism_ = 100;
  std::string out_;
};

}  // namespace

std::unique_ptr<Command> MakeConvexityCommand() {
  return std::make_unique<ShapeCommand>("convexity", "Convexity image (share of lower neighbours)",
                                        &ComputeConvexity);
}

std::unique_ptr<Command> MakeConcavityCommand() {
  return std::make_unique<ShapeCommand>("concavity", "Concavity image (share of higher neighbours)",
                                        &ComputeConcavity);
}

}  // namespace orvane::cli
