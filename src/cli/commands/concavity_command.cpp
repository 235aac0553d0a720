// concavity: the share of neighbours higher than each cell in the largest window of half-size R that fits.
#include "cli/command.h"
#include "core/surface/convexity.h"

namespace orvane::cli {

namespace {

class ConcavityCommand : public Command {
 public:
  std::string Name() const override { return "concavity"; }
  std::string Summary() const override { return "Concavity image (share of higher neighbours)"; }
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
    auto result = ComputeConcavity(*dem->model, {range_, dynamism_}, context.progress);
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

std::unique_ptr<Command> MakeConcavityCommand() { return std::make_unique<ConcavityCommand>(); }

}  // namespace orvane::cli
