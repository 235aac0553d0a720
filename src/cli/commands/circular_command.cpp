// circular: one of six elevation statistics in a disc of radius R around every cell.
#include "cli/command.h"
#include "core/surface/circular_window.h"

namespace orvane::cli {

namespace {

class CircularCommand : public Command {
 public:
  std::string Name() const override { return "circular"; }
  std::string Summary() const override { return "Circular moving window statistic image"; }
  void AddOptions(CLI::App& app) override {
    dem_.Add(app);
    app.add_option("--stat", statistic_,
                   "1 mean, 2 difference from mean, 3 standard deviation, 4 range, 5 deviation "
                   "from mean, 6 percentile")
        ->required()
        ->check(CLI::Range(1, 6));
    app.add_option("--radius", radius_, "Radius R in pixels")->required()->check(CLI::Range(1, kMaxDemSide));
    AddOutputOption(app, out_);
  }
  int Run(CommandContext& context) override {
    auto dem = LoadDem(dem_, context);
    if (!dem) return Report(context, dem.error());
    auto result = ComputeCircularWindow(*dem->model, {radius_, statistic_}, context.progress);
    if (!result) return Report(context, result.error());
    return Report(context, WriteRasterOutput(*result->image, out_, *dem));
  }

 private:
  DemOptions dem_;
  int statistic_ = 0;
  int radius_ = 0;
  std::string out_;
};

}  // namespace

std::unique_ptr<Command> MakeCircularCommand() { return std::make_unique<CircularCommand>(); }

}  // namespace orvane::cli
