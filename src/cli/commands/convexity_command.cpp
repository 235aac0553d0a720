// convexity: the share of neighbours lower than each cell in the largest window of half-size R that fits.
#include "cli/command.h"
#include "core/surface/convexity.h"

namespace orvane::cli {

namespace {

class ConvexityCommand : public Command {
 public:
  std::string Name() const override { return "convexity"; }
  std::string Summary() const override { return "Convexity image (share of lower neighbours)"; }
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
    auto result = ComputeConvexity(*dem->model, {range_, dynamism_}, context.progress);
    if (!result) return Report(context, result.error());
    return Report(context, WriteRasterOutput(*result->image, out_, *dem));
  }

 private:
  DemOptions dem_;
  int range_ = 0;
  int dynamism_ = 100;
  std::string out_;
};

}  // namespace

std::unique_ptr<Command> MakeConvexityCommand() { return std::make_unique<ConvexityCommand>(); }

}  // namespace orvane::cli
